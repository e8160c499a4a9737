#pragma once

// Face marks seen from a camera, shared by the vector export, the command
// panel and the silhouette commands: back faces, silhouette faces split
// into front and back ones, and the depth ramp (flags 0 ... 255 from the
// nearest face to the farthest).

#include "geometry/Vector3d.h"

class CMesh3d;

// Gives key to every face that does not face the camera; returns how many.
int MarkBackFaces(CMesh3d* mesh, const CVector3d& camera, int key);

// Gives frontKey or backKey to the faces around the silhouette edges
// (those FlagSilhouette flags), by whether they face the camera; other
// faces keep their flags. Returns how many faces were marked.
int MarkSilhouetteFaces(CMesh3d* mesh, const CVector3d& camera, int frontKey, int backKey);

// Flags every face with the distance from the camera to its centroid
// mapped onto 0 (nearest) ... 255 (farthest). Returns the faces flagged.
int MarkDepthRamp(CMesh3d* mesh, const CVector3d& camera);
