#pragma once

// Memory forecasts of the subdivision commands, so that a request such as
// 30 Loop steps is refused up front instead of exhausting memory.

// Element counts of a mesh, as reals so that forecasts cannot overflow.
struct CMeshCount {
  double faces = 0.0;
  double vertices = 0.0;
};

// Counts after `steps` uniform splits of every face into facesPerFace faces
// (4 for Loop and 1-to-4, 6 for the fractal split), with one new vertex per
// edge (at most 3F/2 + F/8, boundaries included) and `extraPerFace` more
// vertices per face (the fractal apex).
CMeshCount CountAfterSplits(CMeshCount count, int steps, int facesPerFace, int extraPerFace);

// Bytes that a rebuilt mesh of these counts occupies (objects, arrays,
// adjacency lists and the scratch of one step).
double MeshBytes(CMeshCount count);

// Bytes the system can still give this process (MemAvailable, bounded by a
// control-group limit); a very large value when it cannot be told.
double AvailableMemoryBytes();

// 1 when meshes of `bytes` in total, the largest holding `largestFaces`
// faces, fit: the counts stay in range of the arrays and the bytes within
// four fifths of `available`.
int MemoryAllows(double bytes, double largestFaces, double available);
