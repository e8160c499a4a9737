#pragma once

#include <string>
#include <vector>

class CMesh3d;

namespace orvex {

class CProgressiveMesh;
struct CProgressiveEncoding;
struct CQuantizer;

// The triangle mesh as flat arrays: x, y, z per vertex (array order, empty
// slots left out) and three vertex indices per face.
void MeshArrays(const CMesh3d& mesh, std::vector<double>& positions, std::vector<int>& triangles);

// Replaces the vertices and faces of out (its transform and material stay)
// by the given vertices (x, y, z each) and faces; rebuilds adjacency and
// normals.
void Assemble(const std::vector<double>& xyz, const std::vector<int>& triangles, CMesh3d& out);

// Replaces the contents of out by the coder's mesh: its live vertices in
// order at their dequantized positions, and its faces; rebuilds adjacency
// and normals.
void FillMesh(const CProgressiveMesh& source, const CQuantizer& quantizer, CMesh3d& out);

// Writes the levels of the encoding into one VRML file, the finest first:
// the mesh as given, then the mesh after each decimation and cleaning
// pair, dequantized. Needs the levels kept by the encoder.
int WriteLevels(const CProgressiveEncoding& encoding, const std::vector<double>& positions,
                const std::string& fileName, std::string& error);

} // namespace orvex
