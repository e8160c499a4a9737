#include "geometry/render/InstallRenderers.h"

#include <GL/gl.h>

#include <vector>

#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "geometry/ObjectRenderer.h"
#include "geometry/render/ObjectDrawers.h"

static int glBuildMeshDefault(const CMesh3d& mesh) {
  return mesh.glBuildList(CDrawOptions());
}

static int glDrawMeshDefault(const CMesh3d& mesh) {
  return mesh.glDraw(CDrawOptions());
}

static CObjectRenderer MakeRenderer() {
  CObjectRenderer r;
  r.meshBuild = glBuildMeshDefault;
  r.meshDraw = glDrawMeshDefault;
  r.vertexDraw = glDrawVertex;
  r.faceHighlight = glDrawFaceHighlight;
  r.cameraDraw = glDrawCamera;
  r.vectorSetBuild = glBuildVectorSet;
  r.vectorSetDraw = glDrawVectorSet;
  r.quadBuild = glBuildQuadMesh;
  r.quadDraw = glDrawQuadMesh;
  r.quadContent = glDrawQuadContent;
  r.polygonBuild = glBuildPolygonMesh;
  r.polygonDraw = glDrawPolygonMesh;
  r.polygonContent = glDrawPolygonContent;
  r.chooserDraw = glDrawVisualChooser;
  r.sceneBuild = glBuildScene;
  r.tilingBuild = glBuildTiling;
  r.tilingDraw = glDrawTiling;
  r.hashTableDraw = glDrawHashTable;
  return r;
}

void InstallRenderers() {
  static const CObjectRenderer renderer = MakeRenderer();
  if (InstalledObjectRenderer() != &renderer) SetObjectRenderer(&renderer);
}

void glDeleteDeferredNames() {
  const int group = glCurrentListGroup();
  for (unsigned int list : TakeDeferredGlNames(GlNameKind::List, group)) glDeleteLists(list, 1);
  std::vector<unsigned int> textures = TakeDeferredGlNames(GlNameKind::Texture, group);
  if (!textures.empty()) glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
}
