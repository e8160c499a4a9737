#pragma once

#include <functional>

class CMesh3d;

// Vertex smoothing of triangle meshes by Loop's vertex mask: a vertex of n
// neighbours moves to (alpha(n) v + sum of its neighbours) / (alpha(n) + n),
// alpha being LoopAlpha. Every new position comes from the old positions.
// Vertices without neighbours stay in place.

// One smoothing step of every vertex, or of the interior vertices only when
// moveBoundaries is 0; the mesh's current neighbour lists give the one-rings.
// Ends with Rebuild. Returns 1.
int Smooth(CMesh3d* mesh, int moveBoundaries);

// `steps` smoothing steps, each giving the same positions and normals as
// Smooth: the first is Smooth itself; smoothing keeps the connectivity, so
// the later ones reuse the adjacency it rebuilt and only recompute the face
// and vertex normals. When afterStep is given, the mesh holds each step's
// positions and normals when it is called (for views to follow); otherwise
// the mesh is written once, after the last step.
void SmoothRepeatedly(CMesh3d* mesh, int moveBoundaries, int steps,
                      const std::function<void(int step)>& afterStep = nullptr);
