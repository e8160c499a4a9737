#pragma once

// The camera seen from a mesh and the silhouette marks that drive adaptive
// refinement and colouring.

#include <array>

#include "geometry/Vector3d.h"

class CMesh3d;
class CFace3d;

// The eye point of a view whose model transform is translate, rotate about
// X, Y, Z (degrees), scale, mapped back into the mesh's coordinates: the
// negated translation with the rotations undone in turn, then the scale
// (an axis scaled by 0 is left as it is).
CVector3d CameraPosition(const std::array<float, 3>& rotation,
                         const std::array<float, 3>& translation,
                         const std::array<float, 3>& scale);

// A face faces the camera when its normal points against the vector from
// the camera to its first corner.
bool FacesCamera(const CFace3d* f, const CVector3d& camera);

// For every edge whose two faces lie on either side of the silhouette (the
// products of their normals with the vector from the camera to the first
// face's first corner differ in sign), flags 1 every face around either end
// of the edge. Returns the number of silhouette edges found (each seen from
// both faces).
int FlagSilhouette(CMesh3d* mesh, const CVector3d& camera);

// Gives `value` to every face that faces the camera; returns how many.
int FlagFrontFaces(CMesh3d* mesh, const CVector3d& camera, int value);
