#pragma once

#include <string>
#include <vector>

// The faces of the Inventor shape nodes as polygons over their point list,
// with the numbers the material bindings count by: a colour PER_FACE goes
// by face (a strip's triangle, a quad), PER_PART by part (a strip, a
// polygon, a row of quads), PER_VERTEX by vertex in the order the shape
// visits them, PER_VERTEX_INDEXED by the corner's place in the index list.
struct CShapeFaces {
  std::vector<int> corner;   // point of each corner
  std::vector<int> vertexNo; // per corner: its vertex in visiting order
  std::vector<int> indexNo;  // per corner: its place in the index list, -1 without one
  std::vector<int> size;     // corners of each face
  std::vector<int> faceNo;   // per face
  std::vector<int> partNo;   // per face
  long long degenerate = 0;  // strip triangles with a repeated corner, left out
  long long skipped = 0;     // faces whose points are beyond the list, left out
};

// IndexedFaceSet: polygons of the index list, each ended by a negative
// index (or the list's end).
void IndexedPolygons(const std::vector<int>& index, CShapeFaces& out);

// IndexedTriangleStripSet: strips of the index list, each ended by a
// negative index; the triangles of a strip alternate their orientation so
// that all face the same way.
void IndexedStrips(const std::vector<int>& index, CShapeFaces& out);

// FaceSet (strips false) and TriangleStripSet (strips true): parts of
// numVertices consecutive points from start; -1 takes the points left.
// Parts beyond the nbPoint points are left out and counted; false with
// error for another negative count or a negative start.
bool CountedParts(const std::vector<int>& numVertices, int start, int nbPoint, bool strips,
                  CShapeFaces& out, std::string& error);

// QuadMesh: perColumn rows of perRow points from start, row after row;
// each quad is one four-corner face (two triangles once split). A grid
// beyond the points is left out and counted; false with error for a
// negative size or start.
bool QuadGrid(int perRow, int perColumn, int start, int nbPoint, CShapeFaces& out,
              std::string& error);
