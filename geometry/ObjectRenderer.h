#pragma once

// The core objects (meshes, elements, vector sets, cameras, the scene) know
// nothing of OpenGL: their virtual drawing operations forward to the
// renderer the render library installs (geometry/render/InstallRenderers.h).
// Without one, nothing is drawn and the operations return 0, so a program
// that links only the core never references a GL function.

class CCamera3d;
class CColor;
class CFace3d;
class CHashTable3d;
class CMesh3d;
class CPolygonMesh;
class CQuadMesh;
class CSceneGraph3d;
class CTilingMesh3d;
class CTransform;
class CVectorSet3d;
class CVertex3d;
class CVisualModeChooser3d;

// One drawing function per virtual drawing operation of the core classes.
struct CObjectRenderer {
  int (*meshBuild)(const CMesh3d&) = nullptr;
  int (*meshDraw)(const CMesh3d&) = nullptr;
  int (*vertexDraw)(const CVertex3d&) = nullptr;
  void (*faceHighlight)(const CFace3d&, const CColor&, const CTransform*, const CColor*) = nullptr;
  int (*cameraDraw)(const CCamera3d&) = nullptr;
  int (*vectorSetBuild)(const CVectorSet3d&) = nullptr;
  int (*vectorSetDraw)(const CVectorSet3d&) = nullptr;
  int (*quadBuild)(const CQuadMesh&) = nullptr;
  int (*quadDraw)(const CQuadMesh&) = nullptr;
  void (*quadContent)(const CQuadMesh&) = nullptr;
  int (*polygonBuild)(const CPolygonMesh&) = nullptr;
  int (*polygonDraw)(const CPolygonMesh&) = nullptr;
  void (*polygonContent)(const CPolygonMesh&) = nullptr;
  int (*chooserDraw)(const CVisualModeChooser3d&) = nullptr;
  int (*sceneBuild)(const CSceneGraph3d&) = nullptr;
  int (*tilingBuild)(const CTilingMesh3d&) = nullptr;
  int (*tilingDraw)(const CTilingMesh3d&) = nullptr;
  int (*hashTableDraw)(const CHashTable3d&) = nullptr;
};

// Installs the renderer every object draws through (it must outlive the
// drawing; the render library passes a static table). Null uninstalls.
void SetObjectRenderer(const CObjectRenderer* renderer);
// The installed renderer, or null.
const CObjectRenderer* InstalledObjectRenderer();
