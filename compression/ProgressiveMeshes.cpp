#include "compression/ProgressiveMeshes.h"

#include <unordered_map>

#include "compression/ProgressiveEncoder.h"
#include "compression/ProgressiveMesh.h"
#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/WriteVrml.h"

namespace orvex {

namespace {} // namespace

void Assemble(const std::vector<double>& xyz, const std::vector<int>& triangles, CMesh3d& out) {
  out.DeleteContents();
  const int nv = static_cast<int>(xyz.size() / 3), nf = static_cast<int>(triangles.size() / 3);
  out.GetArrayVertex()->Reserve(nv);
  out.GetArrayFace()->Reserve(nf);
  for (int i = 0; i < nv; ++i)
    out.AddVertex(new CVertex3d(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]));
  for (int i = 0; i < nf; ++i)
    out.AddFace(new CFace3d(out.GetVertex(triangles[3 * i]), out.GetVertex(triangles[3 * i + 1]),
                            out.GetVertex(triangles[3 * i + 2])));
  out.Rebuild();
}

namespace {

// The vertices a level's faces use, renumbered in order.
void Compact(const std::vector<int>& faces, const std::vector<double>& positions,
             std::vector<double>& xyz, std::vector<int>& triangles) {
  std::vector<int> index(positions.size() / 3, -1);
  xyz.clear();
  triangles.clear();
  for (int v : faces) {
    if (index[v] < 0) {
      index[v] = static_cast<int>(xyz.size() / 3);
      xyz.insert(xyz.end(), &positions[3 * v], &positions[3 * v] + 3);
    }
    triangles.push_back(index[v]);
  }
}

} // namespace

void MeshArrays(const CMesh3d& mesh, std::vector<double>& positions, std::vector<int>& triangles) {
  positions.clear();
  triangles.clear();
  std::unordered_map<const CVertex3d*, int> index;
  index.reserve(mesh.NbVertex());
  positions.reserve(3 * size_t(mesh.NbVertex()));
  for (int i = 0; i < mesh.NbVertex(); ++i) {
    const CVertex3d* v = mesh.GetVertex(i);
    if (!v) continue; // an empty slot takes no index
    index[v] = static_cast<int>(positions.size() / 3);
    positions.insert(positions.end(), {v->x, v->y, v->z});
  }
  triangles.reserve(3 * size_t(mesh.NbFace()));
  for (int i = 0; i < mesh.NbFace(); ++i) {
    const CFace3d* f = mesh.GetFace(i);
    if (!f) continue;
    auto a = index.find(f->v(0)), b = index.find(f->v(1)), c = index.find(f->v(2));
    // a face whose corner is not one of the mesh's vertices is left out
    if (a == index.end() || b == index.end() || c == index.end()) continue;
    triangles.insert(triangles.end(), {a->second, b->second, c->second});
  }
}

void FillMesh(const CProgressiveMesh& source, const CQuantizer& quantizer, CMesh3d& out) {
  std::vector<int> index(source.NbVertex(), -1);
  std::vector<double> xyz;
  for (int v = 0; v < source.NbVertex(); ++v) {
    if (!source.VertexAlive(v)) continue;
    index[v] = static_cast<int>(xyz.size() / 3);
    double p[3];
    quantizer.Dequantize(source.Position(v), p);
    xyz.insert(xyz.end(), p, p + 3);
  }
  std::vector<int> triangles = source.Triangles();
  for (int& corner : triangles) corner = index[corner];
  Assemble(xyz, triangles, out);
}

int WriteLevels(const CProgressiveEncoding& encoding, const std::vector<double>& positions,
                const std::string& fileName, std::string& error) {
  std::vector<double> dequantized(encoding.m_Positions.size());
  for (size_t v = 0; v < encoding.m_Positions.size() / 3; ++v)
    encoding.m_Quantizer.Dequantize(&encoding.m_Positions[3 * v], &dequantized[3 * v]);
  // pinched vertices split by the encoder sit where their original was
  std::vector<double> original = dequantized;
  for (size_t v = 0; v < encoding.m_Origin.size(); ++v)
    for (int k = 0; k < 3; ++k) original[3 * v + k] = positions[3 * encoding.m_Origin[v] + k];
  CSceneGraph3d scene;
  std::vector<double> xyz;
  std::vector<int> triangles;
  for (size_t level = 0; level < encoding.m_Levels.size(); ++level) {
    if (!encoding.m_EndsPair[level]) continue;
    Compact(encoding.m_Levels[level], level == 0 ? original : dequantized, xyz, triangles);
    CMesh3d* mesh = new CMesh3d;
    Assemble(xyz, triangles, *mesh);
    scene.Add(mesh);
  }
  int ok = WriteVRML(&scene, fileName, error);
  scene.Free();
  return ok;
}

} // namespace orvex
