#pragma once

// Subdivision and smoothing of quad meshes. Both subdivisions split every
// quad into four: corner k of quad f gives the quad (corner k, edge point
// of edge k, face point, edge point of edge k - 1), quad 4f + k. The old
// vertices keep their indices, the face points follow (one per quad, in
// quad order), then the edge points (in order of first use, shared with
// the quad across the edge).

class CQuadMesh;

// One Catmull-Clark step, in single precision.
void SubdivisionCatmullClark(CQuadMesh& mesh);

// One step of Kobbelt's interpolating scheme: the old vertices stay, the
// new points come from the tensor product of the four-point rule where the
// grid around them is regular, else from the mean of their corners.
void SubdivisionKobbelt(CQuadMesh& mesh);

// Every vertex to the mean of itself and its neighbours (old positions),
// then normals; returns the number of vertices moved.
int SmoothQuads(CQuadMesh& mesh);
