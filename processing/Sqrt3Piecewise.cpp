// The sharp-edge preserving sqrt(3) step and the face selections that drive
// adaptive steps (large faces, faces near a seed vertex).

#include <algorithm>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/Mesh3dIndexer.h"
#include "processing/Sqrt3Subdivision.h"

// Degrees to radians as the piecewise step converts its angles (3.14155 / 180).
constexpr double kPiecewiseDegree = 0.017453055555555555;

namespace {

// Per face: bit k when edge k is sharp, bit k + 3 when it is also split.
// Faces are selected (flag 1) when a corner bends by more than `flat`.
std::vector<unsigned char> MarkSharpEdges(CMesh3d* mesh, double sharp, double flat,
                                          int splitSharpEdges) {
  const int nv = mesh->NbVertex(), nf = mesh->NbFace();
  std::vector<unsigned char> mask(static_cast<size_t>(nf), 0);
  CVertexIndexer indexer(mesh->m_ArrayVertex);

  // bend of every vertex: the largest angle between neighbouring faces
  std::vector<double> bend(static_cast<size_t>(nv), 0.0);
  for (int i = 0; i < nv; i++)
    if (const CVertex3d* v = mesh->GetVertex(i)) bend[i] = v->MaxNormalAngle();
  auto bendOf = [&](const CVertex3d* v) {
    int i = indexer.IndexOf(v);
    return i >= 0 ? bend[i] : 0.0;
  };

  for (int fi = 0; fi < nf; fi++) {
    CFace3d* f = mesh->GetFace(fi);
    if (!f || f->HasNullVertex()) continue;
    double largest = 0.0;
    for (int k = 0; k < 3; k++) largest = std::max(largest, bendOf(f->m_pVertex[k]));
    f->m_Flag = largest > flat ? kSqrt3Selected : 0;

    // sharp edges: both ends bend and the two faces meet at a sharp angle
    for (int k = 0; k < 3; k++) {
      CVertex3d* a = f->m_pVertex[k];
      CVertex3d* b = f->m_pVertex[(k + 1) % 3];
      CFace3d* g = f->m_pFace[k];
      if (!g || bendOf(a) <= sharp || bendOf(b) <= sharp || NormalAngle(f, g) <= sharp) continue;
      mask[fi] |= static_cast<unsigned char>(1u << k);
      if (splitSharpEdges && a->SharpCount(sharp) == 2 && b->SharpCount(sharp) == 2)
        mask[fi] |= static_cast<unsigned char>(8u << k);
    }
  }
  return mask;
}

} // namespace

int SubdivisionSqrt3Piecewise(CMesh3d* mesh, double sharp, double flat, const Sqrt3Redraw& redraw,
                              int splitSharpEdges, bool* linksKept) {
  if (!mesh) return 0;
  mesh->SetFlagOnVertices(0);
  mesh->SetFlagOnFaces(0);
  std::vector<unsigned char> mask =
      MarkSharpEdges(mesh, sharp * kPiecewiseDegree, flat * kPiecewiseDegree, splitSharpEdges);
  CSqrt3Options options;
  options.adaptive = true;
  options.redraw = redraw;
  options.sharpEdges = &mask;
  options.linksKept = linksKept;
  return SubdivisionSqrt3(mesh, options);
}

int FlagLargeFaces(CMesh3d* mesh, double x, int value) {
  if (!mesh) return 0;
  auto area = [](const CFace3d* f) { return f && !f->HasNullVertex() ? f->Area() : 0.0; };
  int count = 0;
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f || f->HasNullVertex()) continue;
    const double a = area(f);
    double smallest = a;
    for (const CFace3d* g : f->m_pFace)
      if (g) smallest = std::min(smallest, area(g));
    // a face next to a zero area would be flagged whatever refinement does
    if (smallest <= 0.0 || !(a > x * smallest)) continue;
    f->m_Flag = value;
    count++;
  }
  return count;
}

int FlagNearSeed(CMesh3d* mesh, int seed, int value, double r) {
  if (!mesh || seed < 0 || seed >= mesh->NbVertex() || !mesh->GetVertex(seed)) return -1;
  const CVertex3d* s = mesh->GetVertex(seed);

  // reach: the largest distance from the seed to a first corner
  double reach = 0.0;
  for (const CFace3d* f : mesh->m_ArrayFace)
    if (f && f->m_pVertex[0]) reach = std::max(reach, Distance(s, f->m_pVertex[0]));

  int count = 0;
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    f->m_Flag = 0;
    if (f->HasNullVertex()) continue;
    CVector3d c = f->Center();
    CVector3d d(c.x - s->x, c.y - s->y, c.z - s->z);
    if (d.Length() < r * reach) {
      f->m_Flag = value;
      count++;
    }
  }
  return count;
}
