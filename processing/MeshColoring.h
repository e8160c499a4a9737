#pragma once

// Colouring of triangle meshes by a measure through a colour ramp, from the
// incident faces, and by vertex valence. The flag colouring is in
// FaceColoring.h.

#include <vector>

#include "geometry/Color.h"

class CMesh3d;
class CColorRamp;

// What ColorByMeasure shows. The first three colour vertices, the last faces.
enum class CMeasure {
  Curvature,   // largest angle between neighbouring incident faces
  NormalSpace, // largest normal deviation (sine) between them
  Height,      // the y coordinate
  Compacity    // face compacity 4 pi area / perimeter^2
};

// Ramp indices of measures: m is the smallest counted value (from 1.7e308),
// M the largest (from 0), m raised to 0 when negative if raiseMinToZero;
// the index of a coloured value s is trunc((s - m) / (M - m) * 255), taken
// modulo 256 (a negative one wraps); 256 and more, or a value that is not
// finite, take the index of the previous coloured value (0 for the first);
// every index is 0 when M = m. Values not coloured get -1.
std::vector<int> RampIndices(const std::vector<double>& values, const std::vector<char>& counted,
                             const std::vector<char>& colored, bool raiseMinToZero);

// Largest NormalAngle over pairs of incident faces that are neighbours of
// each other, for every vertex by index (0 with fewer than two faces). The
// face normals stay as they were.
std::vector<double> MaxNormalAngles(CMesh3d* mesh);

// Colours the vertices (faces for Compacity) by the measure through the
// ramp. "Curvature" takes m and M over the vertices none of whose
// neighbours is on the boundary and leaves boundary vertices their colour.
// Marks the mesh modified.
void ColorByMeasure(CMesh3d* mesh, CMeasure measure, const CColorRamp& ramp);

// Each vertex with an incident face takes, per channel (red, green, blue),
// the truncated mean of its incident faces' colours.
void ColorVerticesFromFaces(CMesh3d* mesh);

// Every face having exactly k corners whose neighbour count is n takes the
// colour. Marks the mesh modified.
void ColorFacesByValence(CMesh3d* mesh, int k, int n, const CColor& color);
