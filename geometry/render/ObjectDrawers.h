#pragma once

// The OpenGL bodies of the core objects' virtual drawing operations, one
// per entry of CObjectRenderer; InstallRenderers puts them in its table.

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

int glDrawVertex(const CVertex3d& vertex);
void glDrawFaceHighlight(const CFace3d& face, const CColor& color, const CTransform* transform,
                         const CColor* neighborColor);
int glDrawCamera(const CCamera3d& camera);
int glBuildVectorSet(const CVectorSet3d& set);
int glDrawVectorSet(const CVectorSet3d& set);
int glBuildQuadMesh(const CQuadMesh& mesh);
int glDrawQuadMesh(const CQuadMesh& mesh);
void glDrawQuadContent(const CQuadMesh& mesh);
int glBuildPolygonMesh(const CPolygonMesh& mesh);
int glDrawPolygonMesh(const CPolygonMesh& mesh);
void glDrawPolygonContent(const CPolygonMesh& mesh);
int glDrawVisualChooser(const CVisualModeChooser3d& chooser);
int glBuildScene(const CSceneGraph3d& scene);
int glBuildTiling(const CTilingMesh3d& tiling);
int glDrawTiling(const CTilingMesh3d& tiling);
int glDrawHashTable(const CHashTable3d& table);

// Draws the faces of mesh as one indexed vertex-array call when every corner
// can share its vertex (vertex normals, vertex colours or a single colour,
// no texture): the same picture as face-by-face drawing at a fraction of
// the cost. Returns 0, drawing nothing, when the mesh does not qualify.
// useMeshColor: every face in the mesh color.
int glDrawFacesIndexed(const CMesh3d* mesh, bool textured, bool useMeshColor);
