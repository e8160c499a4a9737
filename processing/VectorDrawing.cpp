#include "processing/VectorDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "geometry/Matrix44.h"
#include "geometry/Mesh3d.h"
#include "io/ColorRamp.h"

namespace {

// The mesh's own transform as its drawing applies it: translate, scale,
// then rotate about its axis (no rotation about a zero axis).
void MeshMatrix(const CTransform& t, double out[16]) {
  Matrix44Identity(out);
  out[12] = t.m_Translation.x;
  out[13] = t.m_Translation.y;
  out[14] = t.m_Translation.z;
  double s[16];
  Matrix44Identity(s);
  s[0] = t.m_Scale.x;
  s[5] = t.m_Scale.y;
  s[10] = t.m_Scale.z;
  Matrix44Multiply(out, s, out);
  const CVector3d& a = t.m_RotationAxis;
  const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
  if (length == 0.0 || t.m_RotationAngle == 0.0f) return;
  const double x = a.x / length, y = a.y / length, z = a.z / length;
  double r[16];
  Matrix44Rotation(t.m_RotationAngle, x, y, z, r);
  Matrix44Multiply(out, r, out);
}

// Clip coordinates of every vertex (x, y, z, w in a flat array) and the
// index of every vertex, so that faces and edges share one projection.
struct CProjectedMesh {
  std::vector<double> clip;
  std::unordered_map<const CVertex3d*, uint32_t> index;
  double matrix[16];
  const int* viewport;

  CProjectedMesh(const CMesh3d& mesh, const CVectorView& view) : viewport(view.viewport) {
    double model[16];
    MeshMatrix(mesh.m_Transform, model);
    Matrix44Multiply(view.projection, view.modelView, matrix);
    Matrix44Multiply(matrix, model, matrix);
    const int n = mesh.NbVertex();
    clip.resize(size_t(n) * 4);
    index.reserve(size_t(n));
    for (int i = 0; i < n; i++) {
      const CVertex3d* v = mesh.GetVertex(i);
      if (!v) continue;
      index.emplace(v, uint32_t(i));
      double* c = clip.data() + size_t(i) * 4;
      for (int row = 0; row < 4; row++)
        c[row] =
            matrix[row] * v->x + matrix[4 + row] * v->y + matrix[8 + row] * v->z + matrix[12 + row];
    }
  }

  // Index of a face's corner; false when it is not one of the mesh's.
  bool Corner(const CFace3d* f, int k, uint32_t& i) const {
    const CVertex3d* v = f->v(k);
    auto it = v ? index.find(v) : index.end();
    if (it == index.end()) return false;
    i = it->second;
    return true;
  }

  // Window coordinates of clip coordinates c: false when the point is
  // behind the eye or outside the viewport. The point is returned upright
  // in view pixels.
  bool Window(const double* c, CVectorPoint& p, double& z) const {
    if (!(c[3] > 0.0)) return false;
    const double x = viewport[0] + viewport[2] * (c[0] / c[3] + 1.0) / 2.0;
    const double y = viewport[1] + viewport[3] * (c[1] / c[3] + 1.0) / 2.0;
    z = (c[2] / c[3] + 1.0) / 2.0;
    if (!(x >= viewport[0] && x <= viewport[2] && y >= viewport[1] && y <= viewport[3]))
      return false;
    p.x = x - viewport[0];
    p.y = viewport[3] - (y - viewport[1]);
    return true;
  }
  bool Window(uint32_t i, CVectorPoint& p) const {
    double z;
    return Window(clip.data() + size_t(i) * 4, p, z);
  }
};

bool Usable(const CFace3d* f) {
  return f && !f->HasNullVertex();
}

CColor RampColor(const CColorRamp& ramp, int i) {
  return CColor(ramp.Red(i), ramp.Green(i), ramp.Blue(i));
}

// The fill a face's mark selects.
CColor FaceFill(int flag, const CFaceColors& colors) {
  if (flag == colors.frontSilhouetteKey) return colors.frontSilhouette;
  if (flag == colors.backSilhouetteKey) return colors.backSilhouette;
  if (colors.ramp && flag >= 0 && flag <= 255) return RampColor(*colors.ramp, flag);
  return colors.face;
}

} // namespace

int DrawEdgesGdi(const CMesh3d& mesh, const CVectorView& view, const CColor& color,
                 CVectorSink& sink, const int* onlyFlag) {
  const CProjectedMesh projected(mesh, view);
  // every edge once, as the pair of its end indices
  std::vector<uint64_t> edges;
  edges.reserve(size_t(mesh.NbFace()) * 3);
  for (const CFace3d* f : mesh.m_ArrayFace) {
    if (!Usable(f) || (onlyFlag && f->m_Flag != *onlyFlag)) continue;
    uint32_t corner[3];
    if (!projected.Corner(f, 0, corner[0]) || !projected.Corner(f, 1, corner[1]) ||
        !projected.Corner(f, 2, corner[2]))
      continue;
    for (int k = 0; k < 3; k++) {
      const uint32_t a = std::min(corner[k], corner[(k + 1) % 3]);
      const uint32_t b = std::max(corner[k], corner[(k + 1) % 3]);
      edges.push_back(uint64_t(a) << 32 | b);
    }
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  // both ends inside the viewport
  int drawn = 0;
  for (uint64_t e : edges) {
    CVectorPoint a, b;
    if (!projected.Window(uint32_t(e >> 32), a) || !projected.Window(uint32_t(e), b)) continue;
    sink.Line(a, b, color);
    drawn++;
  }
  return drawn;
}

int DrawFacesGdi(const CMesh3d& mesh, const CVectorView& view, const CFaceColors& colors,
                 CVectorSink& sink) {
  const CProjectedMesh projected(mesh, view);
  struct Kept {
    double depth;
    int face;
    CVectorPoint corner[3];
  };
  std::vector<Kept> kept;
  kept.reserve(size_t(mesh.NbFace()));

  // project the centroid and the corners; keep faces wholly inside
  for (int i = 0; i < mesh.NbFace(); i++) {
    const CFace3d* f = mesh.GetFace(i);
    if (!Usable(f) || f->m_Flag == colors.backKey) continue;
    uint32_t corner[3];
    if (!projected.Corner(f, 0, corner[0]) || !projected.Corner(f, 1, corner[1]) ||
        !projected.Corner(f, 2, corner[2]))
      continue;
    double centroid[4] = {0.0, 0.0, 0.0, 0.0};
    for (int k = 0; k < 3; k++)
      for (int c = 0; c < 4; c++) centroid[c] += projected.clip[size_t(corner[k]) * 4 + c] / 3.0;
    Kept face;
    face.face = i;
    CVectorPoint middle;
    if (!projected.Window(centroid, middle, face.depth)) continue;
    bool inside = true;
    for (int k = 0; k < 3 && inside; k++) inside = projected.Window(corner[k], face.corner[k]);
    if (inside) kept.push_back(face);
  }

  // farthest first (a stable sort keeps equal depths in face order); the
  // sort moves small (depth, index) pairs, not the faces
  std::vector<std::pair<double, uint32_t>> order(kept.size());
  for (size_t i = 0; i < kept.size(); i++) order[i] = {kept[i].depth, uint32_t(i)};
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& entry : order) {
    const Kept& face = kept[entry.second];
    sink.Polygon(face.corner, 3, FaceFill(mesh.GetFace(face.face)->m_Flag, colors), true,
                 colors.line);
  }
  return int(kept.size());
}

void TextureMapExtent(const CTextureMapLayout& layout, int& width, int& height) {
  const int m = int((layout.width - 10) * layout.scale);
  width = layout.left + m + int(10 * layout.scale);
  height = layout.top + int(layout.scale * layout.height);
}

int DrawTextureMapGdi(const CMesh3d& mesh, const CColor& line, const CColor& back, int key,
                      const CColorRamp& ramp, const CTextureMapLayout& layout, CVectorSink& sink) {
  const int nbFaces = std::min(mesh.NbFace(), mesh.m_NbTextureCoordinateIndex);
  if (!mesh.m_pTextureCoordinate || !mesh.m_pTextureCoordinateIndex || nbFaces <= 0 ||
      layout.width <= 10 || layout.height <= 0 || !(layout.scale > 0.0))
    return 0;
  const double w = layout.width - 10;
  const int m = int(w * layout.scale);
  const double s = layout.scale;
  int right = 0, bottom = 0;
  TextureMapExtent(layout, right, bottom);
  if (layout.clear) {
    const CVectorPoint box[4] = {{double(layout.left), double(layout.top)},
                                 {double(right), double(layout.top)},
                                 {double(right), double(bottom)},
                                 {double(layout.left), double(bottom)}};
    sink.Polygon(box, 4, CColor(0, 0, 0), false, CColor(0, 0, 0));
  }

  // faces in texture space, filled by their mark
  int drawn = 0;
  for (int i = 0; i < nbFaces; i++) {
    const CFace3d* f = mesh.GetFace(i);
    if (!f) continue;
    const int flag = f->m_Flag;
    if (flag != key && (flag < 0 || flag > 255)) continue;
    CVectorPoint corner[3];
    bool valid = true;
    for (int k = 0; k < 3 && valid; k++) {
      const int t = mesh.m_pTextureCoordinateIndex[size_t(i) * 3 + k];
      valid = t >= 0 && t < mesh.m_NbTextureCoordinate;
      if (!valid) break;
      const double u = mesh.m_pTextureCoordinate[size_t(t) * 2];
      double v = mesh.m_pTextureCoordinate[size_t(t) * 2 + 1];
      if (layout.flipV) v = 1.0 - v;
      corner[k].x = layout.left + int(s * u * w);
      corner[k].y = layout.top + int(s * v * layout.height);
    }
    if (!valid) continue;
    sink.Polygon(corner, 3, flag == key ? back : RampColor(ramp, flag), true, line);
    drawn++;
  }

  // the legend: 256 bands of the ramp
  const int x0 = layout.left + m, x1 = layout.left + m + int(10 * s);
  for (int i = 0; i < 256; i++) {
    const double y0 = layout.top + int(s * layout.height * i / 256);
    const double y1 = layout.top + int(s * layout.height * (i + 1) / 256);
    const CVectorPoint band[4] = {
        {double(x0), y0}, {double(x1), y0}, {double(x1), y1}, {double(x0), y1}};
    const CColor color = RampColor(ramp, i);
    sink.Polygon(band, 4, color, false, color);
  }
  return drawn;
}
