#pragma once

// Conversions between triangle, quad and polygon meshes, and the polygon
// weld.

class CMesh3d;
class CPolygonMesh;
class CQuadMesh;

// A new triangle mesh: every vertex copied (vertex flag 0, the polygon
// vertex remembers the copy's index); a polygon of 3 corners becomes one
// triangle, a larger one a fan of triangles (P_i, P_i+1, centre) around a
// new vertex (flag 1) at the mean of its corners. Adjacency and normals
// are rebuilt.
CMesh3d* ToTriangleStar(CPolygonMesh& polygons);

// A new triangle mesh with no vertex added: each polygon is cut along the
// diagonal whose ends come closest to valence 6 (counters start at the
// vertex valences and grow with every diagonal cut), recursively.
CMesh3d* ToTriangleRegular(CPolygonMesh& polygons);

// In place: every polygon of more than 4 corners becomes, recursively, the
// quad (P0, P1, P2, P3) and the polygon (P3, …, Pn-1, P0).
void SplitIntoQuadsAndTriangles(CPolygonMesh& polygons);

// Empties polygons and fills it with one polygon per triangle (per quad),
// the vertices copied in order.
void FromTriangleMesh(CPolygonMesh& polygons, const CMesh3d& triangles);
void FromQuadMesh(CPolygonMesh& polygons, const CQuadMesh& quads);

// Every vertex is redirected to the last vertex with exactly the same
// coordinates (the later vertex wins); the corners follow and the vertices
// left unused are removed. A hash table of positions makes it linear
// (expected). Returns the number
// of vertices removed.
int Weld(CPolygonMesh& polygons);
