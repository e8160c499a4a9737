#pragma once

#include <string>
#include <vector>

class CMesh3d;

namespace orvex {

// Half-edge form of a triangle mesh for the degree-and-offset coder, with
// every boundary closed by one dummy vertex (the last vertex index). Half
// edge h = 3 f + k runs from corner k of face f to corner k + 1; faces at or
// after NbRealFace() are the dummy's. Only oriented manifold meshes are
// accepted, so every half-edge has a twin.
class CStructureMesh {
public:
  // Reads the mesh (left untouched). Returns 0 with a message for a face
  // with a missing or repeated corner, an edge shared by more than two faces
  // or by two faces of the same direction, a vertex whose faces form more
  // than one fan, or a vertex with fewer than three neighbours.
  int Build(const CMesh3d& mesh, std::string& error);
  // The same from index triples (nbVertex vertices).
  int Build(int nbVertex, const std::vector<int>& triangles, std::string& error);

  int NbVertex() const { return m_NbVertex; } // the mesh's, the dummy excluded
  int NbRealFace() const { return m_NbRealFace; }
  int NbFace() const { return static_cast<int>(m_Head.size() / 3); }
  bool HasDummy() const { return NbFace() > m_NbRealFace; }
  int Dummy() const { return m_NbVertex; }

  static int Face(int h) { return h / 3; }
  static int Next(int h) { return h % 3 == 2 ? h - 2 : h + 1; }
  static int Prev(int h) { return h % 3 == 0 ? h + 2 : h - 1; }
  int Head(int h) const { return m_Head[h]; }
  int Tail(int h) const { return m_Head[Prev(h)]; }
  int Twin(int h) const { return m_Twin[h]; }
  // One half-edge leaving v (-1 for an isolated vertex).
  int Out(int v) const { return m_Out[v]; }
  // The half-edge leaving v after h around v (counter-clockwise).
  int RotateOut(int h) const { return m_Twin[Prev(h)]; }
  int Degree(int v) const { return m_Degree[v]; }
  // The half-edge from a to b, -1 when there is none (walks a's ring).
  int Find(int a, int b) const;

private:
  int CheckFans(std::string& error);
  int CloseBoundaries(std::string& error);

  int m_NbVertex = 0;
  int m_NbRealFace = 0;
  std::vector<int> m_Head;
  std::vector<int> m_Twin;
  std::vector<int> m_Out;
  std::vector<int> m_Degree;
};

} // namespace orvex
