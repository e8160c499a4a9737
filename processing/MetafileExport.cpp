#include "processing/MetafileExport.h"

#include "geometry/Mesh3d.h"
#include "geometry/TextureImage.h"
#include "processing/FaceMarking.h"
#include "processing/Silhouette.h"

const char* const kMetafileModeNames[kMetafileModeCount] = {
    "Line",
    "Faces",
    "Silhouette",
    "Ramp(z)",
    "Back facing",
    "Back facing + silhouette",
    "Back facing + ramp(z)",
    "Back facing + silhouette + ramp(z)",
    "Silhouette + ramp(z)",
    "Texture request map",
};

namespace {

// Edge colour of the front-faces variant (the colour value 1).
const CColor kFrontEdgeColor(1, 0, 0);
constexpr int kFrontFaceMark = 1;

bool UsesRamp(MetafileMode mode) {
  return mode == MetafileMode::RampZ || mode == MetafileMode::BackFacingRamp ||
         mode == MetafileMode::BackFacingSilhouetteRamp || mode == MetafileMode::SilhouetteRamp;
}

CVectorPicture ViewPicture(const CVectorView& view) {
  return CVectorPicture(view.viewport[2], view.viewport[3]);
}

} // namespace

int MetafileExport(CMesh3d& mesh, const CVectorView& view, MetafileVariant variant,
                   const CVector3d& camera, CVectorPicture& picture) {
  picture = ViewPicture(view);
  mesh.SetFlagOnFaces(0);
  switch (variant) {
  case MetafileVariant::Lines:
    return DrawEdgesGdi(mesh, view, CColor(0, 0, 0), picture);
  case MetafileVariant::FrontFaceLines:
    // only the edges of the faces the camera sees
    FlagFrontFaces(&mesh, camera, kFrontFaceMark);
    return DrawEdgesGdi(mesh, view, kFrontEdgeColor, picture, &kFrontFaceMark);
  case MetafileVariant::Faces:
    break;
  }
  CFaceColors colors; // line 0, face white, back 0, silhouettes red
  return DrawFacesGdi(mesh, view, colors, picture);
}

void PrepareMetafileMarks(CMesh3d& mesh, MetafileMode mode, const CVector3d& camera) {
  mesh.SetFlagOnFaces(0);
  const bool ramp = UsesRamp(mode) || mode == MetafileMode::TextureRequestMap;
  const bool backFaces =
      mode == MetafileMode::Faces || mode == MetafileMode::BackFacing ||
      mode == MetafileMode::BackFacingSilhouette || mode == MetafileMode::BackFacingRamp ||
      mode == MetafileMode::BackFacingSilhouetteRamp || mode == MetafileMode::TextureRequestMap;
  const bool silhouettes =
      mode == MetafileMode::Silhouette || mode == MetafileMode::BackFacingSilhouette ||
      mode == MetafileMode::BackFacingSilhouetteRamp || mode == MetafileMode::SilhouetteRamp;
  // depth ramp first, back faces over it, silhouettes last
  if (ramp) MarkDepthRamp(&mesh, camera);
  if (backFaces) MarkBackFaces(&mesh, camera, kBackFaceKey);
  if (silhouettes) MarkSilhouetteFaces(&mesh, camera, kFrontSilhouetteKey, kBackSilhouetteKey);
}

int MetafileRun(CMesh3d& mesh, const CVectorView& view, const CMetafileParameters& parameters,
                const CTextureImage* texture, CVectorPicture& picture) {
  switch (parameters.mode) {
  case MetafileMode::TextureRequestMap: {
    if (!texture) return -1;
    CTextureMapLayout layout;
    layout.width = int(texture->GetWidth());
    layout.height = int(texture->GetHeight());
    int width = 0, height = 0;
    TextureMapExtent(layout, width, height);
    picture = CVectorPicture(width, height);
    return DrawTextureMapGdi(mesh, parameters.line, parameters.back, kBackFaceKey, parameters.ramp,
                             layout, picture);
  }
  case MetafileMode::Line:
    picture = ViewPicture(view);
    return DrawEdgesGdi(mesh, view, parameters.line, picture);
  default:
    break;
  }
  picture = ViewPicture(view);
  CFaceColors colors;
  colors.line = parameters.line;
  colors.face = parameters.face;
  colors.back = parameters.back;
  colors.backKey = kBackFaceKey;
  colors.frontSilhouette = parameters.frontSilhouette;
  colors.frontSilhouetteKey = kFrontSilhouetteKey;
  colors.backSilhouette = parameters.backSilhouette;
  colors.backSilhouetteKey = kBackSilhouetteKey;
  colors.ramp = UsesRamp(parameters.mode) ? &parameters.ramp : nullptr;
  return DrawFacesGdi(mesh, view, colors, picture);
}
