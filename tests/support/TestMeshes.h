#pragma once

// Procedural meshes for tests and benchmarks. Every function returns a new
// mesh (the caller deletes it) on which Rebuild has run unless stated.

#include <vector>

class CMesh3d;
class CVertex3d;
class CFace3d;
class CQuadMesh;

namespace testmeshes {

// Mesh from coordinates (x, y, z per vertex) and index triples.
CMesh3d* MakeMesh(const std::vector<double>& xyz, const std::vector<int>& triangles,
                  bool rebuild = true);

// Appends a new vertex or face to the mesh and returns it.
CVertex3d* AddVertex(CMesh3d& mesh, double x, double y, double z);
CFace3d* AddFace(CMesh3d& mesh, CVertex3d* a, CVertex3d* b, CVertex3d* c);

// Subdivided icosahedron on the unit sphere: 20 * 4^level faces, closed.
CMesh3d* MakeIcoSphere(int level);

// Torus grid of nu x nv quads split into 2 triangles each (genus 1, closed).
CMesh3d* MakeTorus(int nu, int nv, double majorRadius = 1.0, double minorRadius = 0.3);
// Every vertex moved along its normal by a uniform amount in [-amplitude,
// amplitude] (std::mt19937 seeded with seed), then Rebuild: the range noise
// of a scan, or costs that differ.
void AddNormalNoise(CMesh3d* mesh, double amplitude, unsigned seed);

// The same torus as nu x nv quads (closed, every vertex of valence 4).
CQuadMesh* MakeQuadTorus(int nu, int nv, double majorRadius = 1.0, double minorRadius = 0.3);
// Open planar grid of nx x ny quads in z = 0.
CQuadMesh* MakeQuadGrid(int nx, int ny);

// Open planar grid of nx x ny quads (2 triangles each) in z = 0, with one
// boundary loop.
CMesh3d* MakeGrid(int nx, int ny);

// Grid of nx x ny quads with `holes` square holes of one quad each punched
// along its diagonal (each hole gives one more boundary loop).
CMesh3d* MakeGridWithHoles(int nx, int ny, int holes);

// Closed mesh made of an open mesh and its mirror image below it, joined
// by a band along every boundary: a grid with h holes gives a closed
// surface of genus h.
CMesh3d* MakeDoubled(const CMesh3d* open);

// `blades` triangles sharing the edge (0, 1): a non-manifold fan.
CMesh3d* MakeNonManifoldFan(int blades);

// Copy of `mesh` in which every face has three vertices of its own (a
// triangle soup, as written by many exporters). No adjacency is built.
CMesh3d* MakeSoup(const CMesh3d* mesh);

// `faces` random triangles of size up to 5% of the unit cube, scaled by
// `scale` and moved by `offset` on every axis; in turn a regular triangle,
// one with two equal corners, three collinear corners, a sliver, a tiny one,
// a single point and one listed twice (equal distances). No adjacency.
CMesh3d* MakeAwkwardSoup(int faces, unsigned seed, double scale = 1.0, double offset = 0.0);

// Number of edges with exactly one incident face.
int CountBoundaryEdges(const CMesh3d* mesh);

} // namespace testmeshes
