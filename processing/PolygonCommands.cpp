// The commands of quad and polygon meshes and the predefined meshes, on a
// scene: type checks on the first object, the conversion, what replaces
// what in the scene, and the texts the user sees.

#include "processing/PolygonCommands.h"

#include <algorithm>
#include <memory>

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/SceneGraph3d.h"
#include "processing/PolygonConversions.h"
#include "processing/QuadSubdivision.h"
#include "processing/SubdivisionMemory.h"
#include "processing/TriangleToQuad.h"

namespace {

// Bytes of a quad mesh of these counts: the quads with their adjacency
// rows, the vertices with theirs, and the scratch of one split.
double QuadMeshBytes(double quads, double vertices) {
  return quads * (sizeof(CQuadFace) + 2 * 16.0) + vertices * (sizeof(CQuadVertex) + 2 * 4.0 + 12.0);
}

bool Fits(double bytes, double largestFaces) {
  return MemoryAllows(bytes, largestFaces, AvailableMemoryBytes()) != 0;
}

CSubdivisionOutcome Refused(const char* message) {
  CSubdivisionOutcome outcome;
  outcome.message = message;
  return outcome;
}

CSubdivisionOutcome Changed(std::string status = std::string()) {
  CSubdivisionOutcome outcome;
  outcome.changed = 1;
  outcome.status = std::move(status);
  return outcome;
}

// The first object when it has the given type, else null.
template <class T> T* FirstOfType(CSceneGraph3d* scene, int type) {
  CObject3d* first = scene->GetAt(0);
  return first && first->GetType() == type ? static_cast<T*>(first) : nullptr;
}

// The scene emptied (objects and textures) and holding only object.
CSubdivisionOutcome Replace(CSceneGraph3d* scene, CObject3d* object, std::string status = {}) {
  scene->Free();
  scene->Add(object);
  return Changed(std::move(status));
}

// Maps the coordinate c of every vertex of the quad mesh onto [lo, hi];
// a coordinate that does not vary is only moved to lo.
void RangeQuads(CQuadMesh& mesh, int c, float lo, float hi) {
  if (mesh.m_Vertices.empty()) return;
  auto coord = [c](CQuadVertex& v) -> float& { return c == 0 ? v.x : c == 1 ? v.y : v.z; };
  float min = coord(mesh.m_Vertices[0]), max = min;
  for (CQuadVertex& v : mesh.m_Vertices) {
    min = std::min(min, coord(v));
    max = std::max(max, coord(v));
  }
  // a flat coordinate goes to the middle of the range, as for triangles
  if (max == min) {
    for (CQuadVertex& v : mesh.m_Vertices) coord(v) = 0.5f * (lo + hi);
    return;
  }
  const float scale = (hi - lo) / (max - min);
  for (CQuadVertex& v : mesh.m_Vertices) coord(v) = lo + (coord(v) - min) * scale;
}

} // namespace

CSubdivisionOutcome CommandTriangleToQuad(CSceneGraph3d* scene) {
  auto* mesh = FirstOfType<CMesh3d>(scene, TYPE_MESH3D);
  if (!mesh) return Refused(kNoMeshText);
  CQuadMesh* quads = ToQuadMesh(*mesh);
  if (!quads) {
    CSubdivisionOutcome outcome;
    outcome.status = "Triangle -> quad: no face is flagged, nothing converted";
    return outcome;
  }
  scene->Add(quads);
  scene->DeleteAt(0);
  return Changed("Mesh conversion....");
}

CSubdivisionOutcome CommandPolygonToTriangles(CSceneGraph3d* scene, bool regular) {
  auto* polygons = FirstOfType<CPolygonMesh>(scene, TYPE_POLYGON_MESH);
  if (!polygons) return Refused(kNoMeshText);
  CMesh3d* mesh = regular ? ToTriangleRegular(*polygons) : ToTriangleStar(*polygons);
  return Replace(scene, mesh);
}

CSubdivisionOutcome CommandPolygonToQuadsAndTriangles(CSceneGraph3d* scene) {
  auto* polygons = FirstOfType<CPolygonMesh>(scene, TYPE_POLYGON_MESH);
  if (!polygons) return Refused(kNoMeshText);
  SplitIntoQuadsAndTriangles(*polygons);
  return Changed("Convert polygons to quad and triangles....done");
}

CSubdivisionOutcome CommandTriangleToPolygon(CSceneGraph3d* scene) {
  auto* mesh = FirstOfType<CMesh3d>(scene, TYPE_MESH3D);
  if (!mesh) return Refused(kNoMeshText);
  auto* polygons = new CPolygonMesh;
  FromTriangleMesh(*polygons, *mesh);
  scene->Add(polygons);
  scene->DeleteAt(0);
  return Changed("Triangle to polygon....done");
}

CSubdivisionOutcome CommandQuadToPolygon(CSceneGraph3d* scene) {
  auto* quads = FirstOfType<CQuadMesh>(scene, TYPE_QUAD_MESH);
  if (!quads) return Refused(kNoMeshText);
  auto* polygons = new CPolygonMesh;
  FromQuadMesh(*polygons, *quads);
  scene->Add(polygons);
  scene->DeleteAt(0);
  return Changed("Quad to polygon....done");
}

CSubdivisionOutcome CommandWeldPolygons(CSceneGraph3d* scene) {
  auto* polygons = FirstOfType<CPolygonMesh>(scene, TYPE_POLYGON_MESH);
  if (!polygons) return CSubdivisionOutcome();
  Weld(*polygons);
  return Changed("Weld....done");
}

CSubdivisionOutcome CommandQuadSubdivision(CSceneGraph3d* scene, bool kobbelt) {
  // the meshes and what they will need, before anything changes
  double bytes = 0.0, largest = 0.0;
  int before = 0, meshes = 0;
  for (int i = 0; i < scene->NbObject(); i++) {
    if (scene->GetAt(i)->GetType() != TYPE_QUAD_MESH) continue;
    const auto* quads = static_cast<const CQuadMesh*>(scene->GetAt(i));
    const double faces = 4.0 * quads->NbFace();
    bytes += QuadMeshBytes(faces, quads->NbVertex() + 3.0 * quads->NbFace());
    largest = std::max(largest, faces);
    before += quads->NbFace();
    meshes++;
  }
  if (meshes == 0) return Refused(kNoMeshText);
  if (!Fits(bytes, largest)) return Refused(kInsufficientMemoryText);
  int after = 0;
  for (int i = 0; i < scene->NbObject(); i++) {
    if (scene->GetAt(i)->GetType() != TYPE_QUAD_MESH) continue;
    auto* quads = static_cast<CQuadMesh*>(scene->GetAt(i));
    if (kobbelt)
      SubdivisionKobbelt(*quads);
    else
      SubdivisionCatmullClark(*quads);
    after += quads->NbFace();
  }
  return Changed(std::string(kobbelt ? "Kobbelt" : "Catmull-Clark") + " done, " +
                 std::to_string(before) + " -> " + std::to_string(after) + " quads");
}

int SmoothQuadMeshes(CSceneGraph3d* scene) {
  int count = 0;
  for (int i = 0; i < scene->NbObject(); i++)
    if (scene->GetAt(i)->GetType() == TYPE_QUAD_MESH) {
      SmoothQuads(*static_cast<CQuadMesh*>(scene->GetAt(i)));
      count++;
    }
  return count;
}

CSubdivisionOutcome CommandQuadBox(CSceneGraph3d* scene) {
  return Replace(scene, MakeQuadBox());
}

CSubdivisionOutcome CommandMushroom(CSceneGraph3d* scene, const CMushroomParams& params) {
  // 14 quads, four times as many per step
  double faces = 14.0;
  for (int i = 0; i < params.Steps; i++) faces *= 4.0;
  if (!Fits(QuadMeshBytes(faces, faces + 2.0), faces)) return Refused(kInsufficientMemoryText);
  return Replace(scene, MakeMushroom(params));
}

// A new triangle mesh made by make, rebuilt as the document's post-load
// steps do.
template <class Make> static CSubdivisionOutcome ReplaceByMesh(CSceneGraph3d* scene, Make make) {
  auto mesh = std::make_unique<CMesh3d>();
  make(*mesh);
  mesh->BuildAdjacency();
  mesh->CalculateNormalPerFace();
  mesh->CalculateNormalPerVertex();
  return Replace(scene, mesh.release());
}

CSubdivisionOutcome CommandTetrahedron(CSceneGraph3d* scene) {
  return ReplaceByMesh(scene, [](CMesh3d& mesh) { mesh.MakeTetrahedron(); });
}

CSubdivisionOutcome CommandBox(CSceneGraph3d* scene) {
  return ReplaceByMesh(scene, [](CMesh3d& mesh) { mesh.MakeBox(10.0f, 10.0f, 10.0f); });
}

// Room for a grid of columns x rows vertices and two triangles per cell.
static bool GridFits(double columns, double rows) {
  CMeshCount count;
  count.vertices = columns * rows;
  count.faces = 2.0 * columns * rows;
  return Fits(MeshBytes(count), count.faces);
}

CSubdivisionOutcome CommandMap(CSceneGraph3d* scene, int nx, int nz, float min, float max,
                               bool peaks) {
  if (nx < 1 || nz < 1) return CSubdivisionOutcome();
  if (!GridFits(nx, nz)) return Refused(kInsufficientMemoryText);
  return ReplaceByMesh(scene, [&](CMesh3d& mesh) {
    if (peaks)
      mesh.MakePeaksMap(nx, nz, min, max);
    else
      mesh.MakeCosineMap(nx, nz, min, max);
  });
}

CSubdivisionOutcome CommandMapFromImage(CSceneGraph3d* scene, const CTextureImage& image,
                                        int columns, int rows, bool useColors, bool quads,
                                        float yRange) {
  if (columns < 1 || rows < 1) return CSubdivisionOutcome();
  if (!GridFits(columns, rows)) return Refused(kInsufficientMemoryText);
  if (quads) {
    CQuadMesh* mesh = QuadMeshFromImage(image, columns, rows, useColors);
    RangeQuads(*mesh, 0, -1.0f, 1.0f);
    RangeQuads(*mesh, 1, -yRange, yRange);
    RangeQuads(*mesh, 2, -1.0f, 1.0f);
    mesh->Rebuild();
    return Replace(scene, mesh);
  }
  auto mesh = std::make_unique<CMesh3d>();
  mesh->BuildFromImage(&image, columns, rows, useColors);
  if (mesh->NbVertex() > 0) {
    mesh->Range(0, -1.0f, 1.0f);
    mesh->Range(1, -yRange, yRange);
    mesh->Range(2, -1.0f, 1.0f);
    mesh->CalculateNormalPerFace();
    mesh->CalculateNormalPerVertex();
  }
  return Replace(scene, mesh.release());
}
