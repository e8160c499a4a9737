// Measures of vertices and faces shown through a colour ramp; colours
// carried from faces to vertices; faces picked by the valence of their
// corners.

#include "processing/MeshColoring.h"

#include <cmath>

#include "geometry/Mesh3d.h"
#include "geometry/Mesh3dIndexer.h"
#include "io/ColorRamp.h"

// Start values of the smallest and largest measure.
constexpr double kNoMinimum = 1.7e308;
constexpr double kRampTop = 255.0;

std::vector<int> RampIndices(const std::vector<double>& values, const std::vector<char>& counted,
                             const std::vector<char>& colored, bool raiseMinToZero) {
  // range over the counted values
  double m = kNoMinimum, M = 0.0;
  for (size_t i = 0; i < values.size(); i++) {
    if (!counted[i]) continue;
    if (values[i] < m) m = values[i];
    if (values[i] > M) M = values[i];
  }
  if (raiseMinToZero && m < 0.0) m = 0.0;

  // indices of the coloured values
  std::vector<int> index(values.size(), -1);
  int previous = 0;
  for (size_t i = 0; i < values.size(); i++) {
    if (!colored[i]) continue;
    if (M == m) {
      // a constant measure has no spread to scale
      previous = 0;
    } else {
      double t = std::trunc((values[i] - m) / (M - m) * kRampTop);
      // out of the ramp or not a number: the previous value's colour
      if (std::isfinite(t) && t < 256.0) {
        double wrapped = std::fmod(t, 256.0);
        if (wrapped < 0.0) wrapped += 256.0;
        previous = static_cast<int>(wrapped);
      }
    }
    index[i] = previous;
  }
  return index;
}

static CColor RampColor(const CColorRamp& ramp, int i) {
  return CColor(ramp.Red(i), ramp.Green(i), ramp.Blue(i));
}

// NormalAngle and NormalSine of two faces whose normals have just been
// recomputed.
static double AngleOfNormals(const CVector3d& n, const CVector3d& m) {
  if (n.LengthSquared() == 0.0 || m.LengthSquared() == 0.0) return 0.0;
  return AngleBetween(n, m);
}

static double SineOfNormals(const CVector3d& n, const CVector3d& m) {
  double ln = n.Length(), lm = m.Length();
  if (ln == 0.0 || lm == 0.0) return 0.0;
  return (n ^ m).Length() / (ln * lm);
}

// Largest NormalAngle (or NormalSine) over pairs of incident faces that are
// neighbours of each other, for every vertex, by index: each neighbouring
// pair is measured once, through the face links, and counts for the
// corners the two faces share. Every face normal is recomputed once (as
// the measures do) and put back afterwards.
static std::vector<double> VertexCreaseMeasures(CMesh3d* mesh, const CVertexIndexer& indexer,
                                                double (*measure)(const CVector3d&,
                                                                  const CVector3d&)) {
  int nf = mesh->NbFace();
  std::vector<double> value(static_cast<size_t>(mesh->NbVertex()), 0.0);
  std::vector<CVector3d> saved(static_cast<size_t>(nf));
  std::vector<int> flags(static_cast<size_t>(nf));
  for (int i = 0; i < nf; i++)
    if (CFace3d* f = mesh->GetFace(i)) {
      saved[i] = f->m_Normal, flags[i] = f->m_Flag;
      f->CalculateNormal();
      f->m_Flag = i;
    }

  for (int i = 0; i < nf; i++) {
    CFace3d* f = mesh->GetFace(i);
    if (!f) continue;
    for (int e = 0; e < 3; e++) {
      CFace3d* g = f->m_pFace[e];
      // a pair linked both ways is measured from the side of its lower address
      if (!g || g == f || (g < f && g->HasNeighbor(f))) continue;
      double a = -1.0;
      for (int k = 0; k < 3; k++) {
        CVertex3d* v = f->m_pVertex[k];
        int vi = indexer.IndexOf(v);
        if (vi < 0 || !g->HasVertex(v)) continue;
        if (a < 0.0) {
          // a neighbour outside the face array has not been recomputed yet
          int gi = g->m_Flag;
          if (gi < 0 || gi >= nf || mesh->GetFace(gi) != g) g->CalculateNormal();
          a = measure(f->m_Normal, g->m_Normal);
        }
        if (a > value[vi]) value[vi] = a;
      }
    }
  }

  for (int i = 0; i < nf; i++)
    if (CFace3d* f = mesh->GetFace(i)) f->m_Normal = saved[i], f->m_Flag = flags[i];
  return value;
}

// Boundary vertices by index, as IsBoundaryVertex tells them: a corner of a
// boundary edge of one of its incident faces.
static std::vector<char> BoundaryVertices(const CMesh3d* mesh) {
  std::vector<char> boundary(static_cast<size_t>(mesh->NbVertex()), 0);
  for (int i = 0; i < mesh->NbVertex(); i++)
    if (const CVertex3d* v = mesh->GetVertex(i)) boundary[i] = v->IsBoundaryVertex() ? 1 : 0;
  return boundary;
}

// Curvature colouring: only the vertices away from the boundary set the
// range, and boundary vertices keep their colour.
static void CurvatureSelection(const CMesh3d* mesh, const CVertexIndexer& indexer,
                               std::vector<char>& counted, std::vector<char>& colored) {
  std::vector<char> boundary = BoundaryVertices(mesh);
  for (int i = 0; i < mesh->NbVertex(); i++) {
    const CVertex3d* v = mesh->GetVertex(i);
    if (!v) continue;
    colored[i] = !boundary[i];
    int nearBoundary = 0;
    for (const CVertex3d* w : v->m_ArrayVertexNeighbor) {
      int wi = indexer.IndexOf(w);
      if (wi >= 0 ? boundary[wi] : (w && w->IsBoundaryVertex())) nearBoundary = 1;
    }
    counted[i] = !nearBoundary;
  }
}

std::vector<double> MaxNormalAngles(CMesh3d* mesh) {
  if (!mesh) return {};
  CVertexIndexer indexer(mesh->m_ArrayVertex);
  return VertexCreaseMeasures(mesh, indexer, AngleOfNormals);
}

static void ColorFacesByCompacity(CMesh3d* mesh, const CColorRamp& ramp) {
  int nf = mesh->NbFace();
  std::vector<double> value(static_cast<size_t>(nf), 0.0);
  std::vector<char> present(static_cast<size_t>(nf), 0);
  for (int i = 0; i < nf; i++)
    if (const CFace3d* f = mesh->GetFace(i)) value[i] = f->Compacity(), present[i] = 1;
  std::vector<int> index = RampIndices(value, present, present, true);
  for (int i = 0; i < nf; i++)
    if (index[i] >= 0) mesh->GetFace(i)->m_Color = RampColor(ramp, index[i]);
}

void ColorByMeasure(CMesh3d* mesh, CMeasure measure, const CColorRamp& ramp) {
  if (!mesh) return;
  if (measure == CMeasure::Compacity) {
    ColorFacesByCompacity(mesh, ramp);
    mesh->SetModified();
    return;
  }

  // the measure of every vertex
  int nv = mesh->NbVertex();
  std::vector<char> counted(static_cast<size_t>(nv), 0), colored(static_cast<size_t>(nv), 0);
  std::vector<int> index;
  {
    CVertexIndexer indexer(mesh->m_ArrayVertex);
    std::vector<double> value(static_cast<size_t>(nv), 0.0);
    if (measure == CMeasure::Height) {
      for (int i = 0; i < nv; i++)
        if (const CVertex3d* v = mesh->GetVertex(i)) value[i] = v->y;
    } else {
      value = VertexCreaseMeasures(mesh, indexer,
                                   measure == CMeasure::Curvature ? AngleOfNormals : SineOfNormals);
    }
    if (measure == CMeasure::Curvature) {
      CurvatureSelection(mesh, indexer, counted, colored);
    } else {
      for (int i = 0; i < nv; i++) counted[i] = colored[i] = mesh->GetVertex(i) != nullptr;
    }
    index = RampIndices(value, counted, colored, measure != CMeasure::Height);
  }

  // colours through the ramp
  for (int i = 0; i < nv; i++)
    if (index[i] >= 0) mesh->GetVertex(i)->m_Color = RampColor(ramp, index[i]);
  mesh->SetModified();
}

void ColorVerticesFromFaces(CMesh3d* mesh) {
  if (!mesh) return;
  for (CVertex3d* v : mesh->m_ArrayVertex) {
    if (!v) continue;
    int sum[3] = {0, 0, 0}, n = 0;
    for (const CFace3d* f : v->m_ArrayFaceNeighbor) {
      if (!f) continue;
      sum[0] += f->m_Color.r, sum[1] += f->m_Color.g, sum[2] += f->m_Color.b;
      n++;
    }
    if (n == 0) continue;
    v->m_Color.r = static_cast<unsigned char>(sum[0] / n);
    v->m_Color.g = static_cast<unsigned char>(sum[1] / n);
    v->m_Color.b = static_cast<unsigned char>(sum[2] / n);
  }
  mesh->SetModified();
}

void ColorFacesByValence(CMesh3d* mesh, int k, int n, const CColor& color) {
  if (!mesh) return;
  for (CFace3d* f : mesh->m_ArrayFace) {
    if (!f) continue;
    int count = 0;
    for (int c = 0; c < 3; c++)
      if (f->m_pVertex[c] && f->m_pVertex[c]->NbNeighbor() == n) count++;
    if (count == k) f->m_Color = color;
  }
  mesh->SetModified();
}
