#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "geometry/Camera3d.h"
#include "geometry/DrawOptions.h"
#include "geometry/Random15.h"
#include "geometry/SceneGraph3d.h"

class CMesh3d;
struct CIsoVolume;

namespace orvex {
class CDocumentWorker;
class CUserInterface;
class CUndoHistory;
} // namespace orvex

// Display state that the shading, polygon-mode, lighting and texture
// commands set on the document; every render view of the document applies
// it to its own context before drawing (glApplyDisplayState).
struct COrvexDisplayState {
  enum PolygonMode { Fill, Line, Point };
  PolygonMode m_PolygonMode = Fill;
  int m_bSmoothShading = 1; // GL_SMOOTH until Mode/Flat
  int m_bTexture2D = 0;     // Textures/View
  // Radio buttons and check box of the command panel that the mode
  // commands set ("Vertex", "Wireframe", "Face", "Gouraud").
  int m_PanelVertex = 0;
  int m_PanelWireframe = 0;
  int m_PanelFace = 1;
  int m_PanelGouraud = 0;
  // Switches of the command panel.
  int m_bCulling = 0;      // back faces culled
  int m_bAntialiasing = 0; // smooth lines with blending
  int m_bTexture2DOff = 0; // textures hidden ("View" unchecked)
  // The eight lights: light 0 is on from the start with the view's colors;
  // the panel's "Update" places a light in eye space and turns it on.
  struct Light {
    int m_bEnabled = 0;
    int m_bPlaced = 0; // position and direction set by the panel
    float m_Position[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    float m_Direction[3] = {0.0f, 0.0f, -1.0f};
    float m_Ambient[4] = {0.7f, 0.7f, 0.7f, 1.0f};
    float m_Diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float m_Specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  };
  static constexpr int kNbLight = 8;
  Light m_Lights[kNbLight];
  COrvexDisplayState() { m_Lights[0].m_bEnabled = 1; }
};

// Data of the "Properties" dialog for one object of the scene.
struct CObjectProperties {
  int m_Type = 0;
  std::string m_TypeName;
  int m_NbVertex = 0;
  int m_NbFace = 0;
  // tilings only
  int m_NbTile = 0;
  int m_NbPolygon = 0;
};

// The document: one scene graph and its display options. It opens and saves
// scene files by extension, draws itself inside a view's model transform,
// and is the target of the document commands (run through CCommandDispatcher).
class COrvexDoc {
public:
  CSceneGraph3d m_SceneGraph;
  // Workspace of the isosurface coder: the volume last opened (null when
  // none).
  std::shared_ptr<CIsoVolume> m_pIsoWorkspace;
  CCamera3d m_Camera;
  int m_bGlobalColorOverlay = 0;
  int m_HighlightVertexIndex = 0;
  int m_HighlightSecondVertexIndex = 0;
  int m_HighlightFaceIndex = 0;
  int m_bHighlightFace = 0;
  int m_bHighlightVertex = 0;
  int m_bHighlightSecondVertex = 0;
  float m_HighlightSize = 0.2f;
  int m_bWireframeOverlay = 0;
  float m_OverlayLineOffset = -1.0f;
  float m_FillOffset = 0.0f;
  int m_bLighting = 1;
  float m_LineWidth = 1.0f;
  std::string m_BasePath;

  COrvexDisplayState m_Display;

  explicit COrvexDoc(orvex::CUserInterface* ui = nullptr);
  COrvexDoc(const COrvexDoc&) = delete;
  COrvexDoc& operator=(const COrvexDoc&) = delete;
  ~COrvexDoc();

  orvex::CUserInterface* GetUserInterface() const { return m_pUI; }
  void SetUserInterface(orvex::CUserInterface* ui) { m_pUI = ui; }

  // document operations
  int OnNewDocument();
  // Opens a file into the document (see OpenFile.cpp for the rules by
  // extension). 0 on failure with the reason in GetLastError; the document
  // then keeps what it had.
  int OpenByExtension(const std::string& path);
  // Asks "Save moodifications ?", then writes ".wrl" or ".raw" atomically.
  // 0 when declined, for any other extension (with a message) or when the
  // writer fails.
  int SaveByExtension(const std::string& path);
  const std::string& GetLastError() const { return m_LastError; }
  const std::string& GetPathName() const { return m_PathName; }
  void SetPathName(const std::string& path) { m_PathName = path; }
  // Title of the document's windows: the file name without folders.
  std::string GetTitle() const;
  // The folder of the document's file; the current directory when it has
  // no file yet.
  std::string GetFolder() const;
  // Where a command writes a file named without a file dialog: a relative
  // name goes into the document's folder (two documents, or a batch run
  // started elsewhere, each write beside their own file); an absolute or
  // empty name stays as it is.
  std::string OutputPath(const std::string& name) const;

  // Set by the dispatcher when a command changed the scene; nothing asks to
  // save because of it, closing never asks.
  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

  // The steps that undo and redo the commands run on this document.
  orvex::CUndoHistory& UndoHistory() const;

  // The document's own generator: commands that draw (Visual mode, random
  // seeds, random refinement) continue one sequence per document, started
  // from seed 1, so one document's results never depend on another's.
  CRandom15& Random() { return m_Random; }

  // scene helpers
  // Object 0 when it is a triangle mesh, else null.
  CMesh3d* GetFirstMesh() const;
  int NbTriangleMeshes() const;
  // Adjacency, face normals and vertex normals of every triangle mesh.
  void RunPostLoadSteps();
  // Keeps the highlight indices inside the first object (face index 0 when
  // not below the face count, vertex indices likewise).
  void ClampHighlightIndices();
  CObjectProperties GetObjectProperties(int index) const;

  // drawing (inside the view's model transform, with its context current).
  // Drawing only reads the document: it may run while other readers look
  // at it; the GL resources it makes are the objects' render-side caches.
  void glApplyDisplayState() const;
  // Triangle meshes draw through their cached display lists, rebuilt after
  // SetModified, except while a command runs. A highlight index outside the
  // first object is not drawn.
  void glDraw(const CDrawOptions& options = CDrawOptions()) const;
  // The scene again as lines, pulled towards the eye by the given polygon
  // offset (factor, units) so that they show over its faces; lighting off.
  void glDrawAsLines(const CDrawOptions& options, float factor, float units) const;

  // Every command runs between these two (the dispatcher brackets them).
  // While a command runs, meshes are drawn immediately: one that shows its
  // progress redraws a mesh it is changing. When a command that may have
  // changed the scene ends, every object rebuilds its display list on its
  // next draw; the others keep their lists. The end of the last command
  // also puts the meshes back in display-list mode (not while the
  // visual-mode chooser is shown), brings the highlight indices back into
  // the first object and, under the wireframe overlay in one global color,
  // switches the meshes' own mesh color off.
  void BeginCommand();
  void EndCommand(bool sceneMayHaveChanged = true);
  bool IsCommandRunning() const { return m_CommandDepth > 0; }

  void SetLastError(const std::string& error) { m_LastError = error; }

  // Work running on the scene outside the user-interface thread (one at a
  // time, see app/DocumentWorker.h). While it runs the commands that change
  // the scene are refused; painting, saving and the command brackets take
  // SceneLock; closing the document stops it and waits first.
  orvex::CDocumentWorker& Worker();
  bool IsBusy() const;
  std::mutex& SceneLock() const { return m_SceneLock; }
  // Called from the worker's thread when it asks for a redraw or ends: the
  // front end serves it in its own thread (ServeWorker). Empty: nothing is
  // posted (a batch run waits instead).
  void SetWorkerNotifier(std::function<void()> notify) { m_WorkerNotify = std::move(notify); }
  const std::function<void()>& WorkerNotifier() const { return m_WorkerNotify; }
  // Shows the report of a worker that has ended through the document's user
  // interface (a failure as a message) and returns true; with wait, waits
  // for a running worker first.
  bool ServeWorker(bool wait);

private:
  orvex::CUserInterface* m_pUI = nullptr;
  std::string m_PathName;
  std::string m_LastError;
  bool m_bModified = false;
  int m_CommandDepth = 0;
  CRandom15 m_Random;
  mutable std::unique_ptr<orvex::CUndoHistory> m_pUndoHistory;
  mutable std::mutex m_SceneLock;
  std::function<void()> m_WorkerNotify;
  std::unique_ptr<orvex::CDocumentWorker> m_pWorker;

  void glDrawHighlights(const CMesh3d& mesh) const;
  void glDrawWireframeOverlay(const CDrawOptions& options) const;
  void SetMeshDisplayLists(int on);
  void SwitchOffMeshColors();
};
