// Vertex moves of the volume-based metric: each face around a vertex is
// sampled on a lattice, the signed distances of its samples to the
// reference (along the face normal) give the volume between the face and
// the reference, and the vertex moves along the normals weighted by those
// volumes until the direction settles.

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "geometry/HashTable3d.h"
#include "geometry/Mesh3d.h"
#include "io/WriteVrml.h"
#include "processing/Approximation.h"

namespace {

// Lattice divisions per edge: at most 100 (10,000 samples on a face).
constexpr int kMaxDivisions = 100;

// Mean signed distance from the face's samples to the reference along the
// unit normal n, and the largest sample distance. The samples are the
// centroids of the m x m sub-triangles of a barycentric lattice, which
// weighs every part of the face alike.
struct CFaceSamples {
  double mean = 0.0;
  double largest = 0.0;
};

CFaceSamples SampleFace(const CVector3d& p0, const CVector3d& p1, const CVector3d& p2,
                        const CVector3d& n, int m, const CReferenceSurface& reference) {
  const CVector3d e1 = p1 - p0, e2 = p2 - p0;
  CFaceSamples samples;
  double sum = 0.0;
  auto sample = [&](double u, double v) {
    const CVector3d x = p0 + e1 * (u / m) + e2 * (v / m);
    CVector3d q;
    const double d2 = reference.Closest(x, q);
    if (d2 >= CHashTable3d::kNothing) return;
    sum += (q - x) * n;
    samples.largest = std::max(samples.largest, std::sqrt(d2));
  };
  for (int i = 0; i < m; i++)
    for (int j = 0; i + j < m; j++) {
      sample(i + 1.0 / 3.0, j + 1.0 / 3.0);                    // upward sub-triangle
      if (i + j < m - 1) sample(i + 2.0 / 3.0, j + 2.0 / 3.0); // downward one
    }
  samples.mean = sum / (static_cast<double>(m) * m);
  return samples;
}

// One face of a star: its corners after the moving point, area and unit
// normal.
struct CStarFace {
  CVector3d b, c, normal;
  double area = 0.0;
  double longest = 0.0;
};

std::vector<CStarFace> StarFaces(const CVector3d& p, const std::vector<CVector3d>& ring) {
  std::vector<CStarFace> faces;
  for (size_t i = 0; i + 1 < ring.size(); i += 2) {
    CStarFace f;
    f.b = ring[i];
    f.c = ring[i + 1];
    const CVector3d cross = (f.b - p) ^ (f.c - p);
    const double length = cross.Length();
    f.area = 0.5 * length;
    f.normal = length > 0.0 ? cross * (1.0 / length) : CVector3d(0, 0, 0);
    f.longest = std::sqrt(std::max(
        {(f.b - p).LengthSquared(), (f.c - p).LengthSquared(), (f.c - f.b).LengthSquared()}));
    faces.push_back(f);
  }
  return faces;
}

// The size measure b of a star: the largest face area, replaced by the
// mean area a when 0.2 b is not above a.
double StarSize(const std::vector<CStarFace>& faces) {
  double largest = 0.0, sum = 0.0;
  for (const CStarFace& f : faces) {
    largest = std::max(largest, f.area);
    sum += f.area;
  }
  const double mean = faces.empty() ? 0.0 : sum / faces.size();
  return 0.2 * largest <= mean ? mean : largest;
}

int Divisions(const CStarFace& f, double spacing) {
  if (!(spacing > 0.0)) return 1;
  return std::min(kMaxDivisions, std::max(1, static_cast<int>(std::ceil(f.longest / spacing))));
}

// Direction of the star at p; sample(face index, divisions) gives a face's
// samples (computed, or taken from a cache).
template <class Sample>
CVector3d StarDirection(const std::vector<CStarFace>& faces, int samplesPerFace, Sample&& sample,
                        double* largest) {
  CVector3d g(0.0, 0.0, 0.0);
  if (largest) *largest = 0.0;
  const double b = StarSize(faces);
  // special case: a star without area has no direction
  if (!(b > 0.0) || samplesPerFace < 1) return g;
  const double spacing = std::sqrt(2.0 * b / samplesPerFace);
  for (size_t i = 0; i < faces.size(); i++) {
    const CStarFace& f = faces[i];
    if (!(f.area > 0.0)) continue; // zero-area faces are skipped
    const CFaceSamples s = sample(i, Divisions(f, spacing));
    const double volume = s.mean * f.area;
    // weight: volume per sample, scaled by the density and the face's area
    g += f.normal * (volume * (samplesPerFace / b) * f.area);
    if (largest) *largest = std::max(*largest, s.largest);
  }
  const double length = g.Length();
  return length > 0.0 ? g * (1.0 / length) : g;
}

// The descent shared by a vertex and a trial position: move by step along
// the direction, shrink the step where the direction reverses, stop when
// the move is at most epsilon. apply(p) records each new position.
template <class Apply>
int Descend(CVector3d p, const std::vector<CVector3d>& ring, const CReferenceSurface& reference,
            int samplesPerFace, const CVolumicStep& step, const CApproximationHooks* hooks,
            Apply&& apply) {
  double length = step.initial;
  CVector3d previous(0.0, 0.0, 0.0);
  int iteration = 0;
  for (; iteration <= step.maxIter; iteration++) {
    if (hooks && hooks->Stopped()) break;
    const std::vector<CStarFace> faces = StarFaces(p, ring);
    const CVector3d g = StarDirection(
        faces, samplesPerFace,
        [&](size_t i, int m) {
          return SampleFace(p, faces[i].b, faces[i].c, faces[i].normal, m, reference);
        },
        nullptr);
    if (g.LengthSquared() == 0.0) break;
    p += g * length;
    apply(p);
    const double moved = length;
    if (previous * g < 0.0) length = std::max(length * step.decrease, step.minimum);
    previous = g;
    if (moved <= step.epsilon) break;
  }
  return iteration;
}

} // namespace

CVector3d VolumicDirection(const CVector3d& p, const std::vector<CVector3d>& ring,
                           const CReferenceSurface& reference, int samplesPerFace,
                           double* largest) {
  const std::vector<CStarFace> faces = StarFaces(p, ring);
  return StarDirection(
      faces, samplesPerFace,
      [&](size_t i, int m) {
        return SampleFace(p, faces[i].b, faces[i].c, faces[i].normal, m, reference);
      },
      largest);
}

std::vector<CVector3d> VertexRing(const CVertex3d* v) {
  std::vector<CVector3d> ring;
  for (const CFace3d* f : v->m_ArrayFaceNeighbor) {
    int i = 0;
    if (!f || !f->IsValid() || !f->IndexOfVertex(v, i)) continue;
    ring.push_back(f->v((i + 1) % 3)->Position());
    ring.push_back(f->v((i + 2) % 3)->Position());
  }
  return ring;
}

int OptimizeVolumic(CVertex3d* v, const CReferenceSurface& reference, int samplesPerFace,
                    const CVolumicStep& step, const CApproximationHooks& hooks) {
  CRedrawThrottle throttle(hooks);
  return Descend(v->Position(), VertexRing(v), reference, samplesPerFace, step, &hooks,
                 [&](const CVector3d& p) {
                   {
                     CStepLock lock(hooks);
                     v->Set(p);
                   }
                   throttle.Redraw();
                 });
}

CVector3d OptimizeVolumicTrial(const CTrialVertex& trial, const CVector3d& start,
                               const CReferenceSurface& reference, int samplesPerFace,
                               const CVolumicStep& step) {
  CVector3d end = start;
  Descend(start, trial.ring, reference, samplesPerFace, step, nullptr,
          [&end](const CVector3d& p) { end = p; });
  return end;
}

int OptimizeVolumicGlobal(CMesh3d* mesh, const CReferenceSurface& reference,
                          const CVolumicParams& params, CTextOutput* save,
                          const CApproximationHooks& hooks) {
  const int nv = mesh->NbVertex();
  std::vector<CVertex3d*> vertices(mesh->m_ArrayVertex.begin(), mesh->m_ArrayVertex.end());
  // steps scaled by the mean edge length at each vertex
  std::vector<double> step(nv), minimum(nv);
  std::vector<char> fixed(nv);
  std::vector<CVector3d> direction(nv), previous(nv, CVector3d(0, 0, 0));
  std::vector<double> largest(nv);
  for (int k = 0; k < nv; k++) {
    const double length = vertices[k]->MeanDistanceToNeighbors();
    step[k] = length * params.InitialFraction;
    minimum[k] = length * params.MinFraction;
    fixed[k] = vertices[k]->IsBoundaryVertex();
  }
  CRedrawThrottle throttle(hooks);
  int j = 0;
  for (; j < params.MaxIter && !hooks.Stopped(); j++) {
    if (save && params.SavePeriodOptimization > 0 && j % params.SavePeriodOptimization == 0 &&
        j <= 100)
      WriteVRML(mesh, *save);

    // every direction from the same positions; a face's samples serve the
    // corners that ask for the same lattice
    std::unordered_map<const CFace3d*, std::pair<int, CFaceSamples>> cache;
    for (int k = 0; k < nv && !hooks.Stopped(); k++) {
      CVertex3d* v = vertices[k];
      const CVector3d p = v->Position();
      std::vector<const CFace3d*> owners;
      std::vector<CVector3d> ring;
      for (const CFace3d* f : v->m_ArrayFaceNeighbor) {
        int i = 0;
        if (!f || !f->IsValid() || !f->IndexOfVertex(v, i)) continue;
        owners.push_back(f);
        ring.push_back(f->v((i + 1) % 3)->Position());
        ring.push_back(f->v((i + 2) % 3)->Position());
      }
      const std::vector<CStarFace> faces = StarFaces(p, ring);
      direction[k] = StarDirection(
          faces, params.SamplesPerFace,
          [&](size_t i, int m) {
            auto& entry = cache[owners[i]];
            if (entry.first != m) {
              entry.first = m;
              entry.second = SampleFace(p, faces[i].b, faces[i].c, faces[i].normal, m, reference);
            }
            return entry.second;
          },
          &largest[k]);
    }

    // special case: stopped halfway through the directions, nothing moves
    if (hooks.Stopped()) break;
    // first iteration: the step that covers the largest sample distance
    if (j == 0 && params.Hausdorff)
      for (int k = 0; k < nv; k++)
        if (direction[k].LengthSquared() > 0.0) step[k] = largest[k] / direction[k].Length();
    if (j > 0)
      for (int k = 0; k < nv; k++) {
        if (direction[k] * previous[k] < 0.0) step[k] *= params.Decrease;
        step[k] = std::max(step[k], minimum[k]);
      }
    {
      CStepLock lock(hooks);
      for (int k = 0; k < nv; k++)
        if (!fixed[k]) vertices[k]->Set(vertices[k]->Position() + direction[k] * step[k]);
      mesh->SetModified();
    }
    previous = direction;
    if (params.Update) throttle.Redraw();
  }
  return j;
}
