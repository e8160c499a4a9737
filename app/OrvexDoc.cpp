#include "app/OrvexDoc.h"

#include <filesystem>

#include "app/DocumentWorker.h"
#include "app/UndoHistory.h"
#include "app/UserInterface.h"

#include "geometry/Mesh3d.h"
#include "geometry/PolygonMesh.h"
#include "geometry/QuadMesh.h"
#include "geometry/TilingMesh3d.h"

COrvexDoc::COrvexDoc(orvex::CUserInterface* ui) : m_pUI(ui) {}

COrvexDoc::~COrvexDoc() {
  // the worker changes this scene: it stops before anything goes
  if (m_pWorker) m_pWorker->Stop();
}

orvex::CDocumentWorker& COrvexDoc::Worker() {
  if (!m_pWorker) m_pWorker = std::make_unique<orvex::CDocumentWorker>();
  return *m_pWorker;
}

bool COrvexDoc::IsBusy() const {
  return m_pWorker && m_pWorker->IsRunning();
}

bool COrvexDoc::ServeWorker(bool wait) {
  if (!m_pWorker) return false;
  if (wait) m_pWorker->Wait();
  std::string text;
  bool failed = false;
  if (!m_pWorker->TakeReport(text, failed)) return false;
  m_pWorker->Wait();
  // the scene changed under the worker: every list is rebuilt from it
  m_SceneGraph.SetModifiedAll();
  if (m_pUI) {
    if (failed)
      m_pUI->ShowMessage(text);
    else
      m_pUI->SetStatusText(text);
  }
  return true;
}

orvex::CUndoHistory& COrvexDoc::UndoHistory() const {
  if (!m_pUndoHistory) m_pUndoHistory = std::make_unique<orvex::CUndoHistory>();
  return *m_pUndoHistory;
}

int COrvexDoc::OnNewDocument() {
  if (m_pUndoHistory) m_pUndoHistory->Clear();
  m_SceneGraph.Free();
  m_PathName.clear();
  m_BasePath.clear();
  m_bModified = false;
  return 1;
}

std::string COrvexDoc::GetTitle() const {
  if (m_PathName.empty()) return "Untitled";
  size_t slash = m_PathName.find_last_of("/\\");
  return slash == std::string::npos ? m_PathName : m_PathName.substr(slash + 1);
}

std::string COrvexDoc::GetFolder() const {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (m_PathName.empty()) return fs::current_path(ec).string();
  return fs::absolute(m_PathName, ec).parent_path().string();
}

std::string COrvexDoc::OutputPath(const std::string& name) const {
  namespace fs = std::filesystem;
  if (name.empty() || fs::path(name).is_absolute()) return name;
  return (fs::path(GetFolder()) / name).string();
}

CMesh3d* COrvexDoc::GetFirstMesh() const {
  CObject3d* first = m_SceneGraph.GetAt(0);
  if (!first || first->GetType() != TYPE_MESH3D) return nullptr;
  return static_cast<CMesh3d*>(first);
}

int COrvexDoc::NbTriangleMeshes() const {
  int count = 0;
  for (int i = 0; i < m_SceneGraph.NbObject(); i++)
    if (m_SceneGraph.GetAt(i)->GetType() == TYPE_MESH3D) count++;
  return count;
}

void COrvexDoc::RunPostLoadSteps() {
  for (int i = 0; i < m_SceneGraph.NbObject(); i++) {
    CObject3d* object = m_SceneGraph.GetAt(i);
    if (object->GetType() != TYPE_MESH3D) continue;
    auto* mesh = static_cast<CMesh3d*>(object);
    mesh->BuildAdjacency();
    mesh->CalculateNormalPerFace();
    mesh->CalculateNormalPerVertex();
    mesh->SetModified();
  }
}

static void ClampIndex(int& index, int count) {
  if (index < 0 || index >= count) index = 0;
}

void COrvexDoc::ClampHighlightIndices() {
  CMesh3d* mesh = GetFirstMesh();
  int nbVertex = mesh ? mesh->NbVertex() : 0;
  int nbFace = mesh ? mesh->NbFace() : 0;
  ClampIndex(m_HighlightVertexIndex, nbVertex);
  ClampIndex(m_HighlightSecondVertexIndex, nbVertex);
  ClampIndex(m_HighlightFaceIndex, nbFace);
}

static const char* TypeName(int type) {
  switch (type) {
  case TYPE_MESH3D:
    return "triangle mesh";
  case TYPE_TILING_MESH3D:
    return "tiling mesh";
  case TYPE_QUAD_MESH:
    return "quad mesh";
  case TYPE_POLYGON_MESH:
    return "polygon mesh";
  case TYPE_VECTORSET3D:
    return "vector set";
  case TYPE_CAMERA:
    return "camera";
  case TYPE_VISUAL_CHOOSER:
    return "visual mode";
  default:
    return "object";
  }
}

CObjectProperties COrvexDoc::GetObjectProperties(int index) const {
  CObjectProperties properties;
  CObject3d* object = m_SceneGraph.GetAt(index);
  if (!object) return properties;
  properties.m_Type = object->GetType();
  properties.m_TypeName = TypeName(properties.m_Type);
  if (properties.m_Type == TYPE_MESH3D || properties.m_Type == TYPE_TILING_MESH3D) {
    auto* mesh = static_cast<CMesh3d*>(object);
    properties.m_NbVertex = mesh->NbVertex();
    properties.m_NbFace = mesh->NbFace();
    if (properties.m_Type == TYPE_TILING_MESH3D) {
      auto* tiling = static_cast<CTilingMesh3d*>(object);
      properties.m_NbTile = tiling->NbTile();
      properties.m_NbPolygon = tiling->NbPolygon();
    }
  } else if (properties.m_Type == TYPE_QUAD_MESH) {
    auto* mesh = static_cast<CQuadMesh*>(object);
    properties.m_NbVertex = mesh->NbVertex();
    properties.m_NbFace = mesh->NbFace();
  } else if (properties.m_Type == TYPE_POLYGON_MESH) {
    auto* mesh = static_cast<CPolygonMesh*>(object);
    properties.m_NbVertex = mesh->NbVertex();
    properties.m_NbFace = mesh->NbFace();
  }
  return properties;
}
