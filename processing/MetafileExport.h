#pragma once

// The view's first mesh as a vector picture: the three menu variants
// (all edges, the edges of the faces seen from the camera, the faces) and
// the parameter dialog's ten modes, each of which first prepares the face
// marks from the camera.

#include "geometry/Color.h"
#include "geometry/Vector3d.h"
#include "io/ColorRamp.h"
#include "io/VectorSink.h"
#include "processing/VectorDrawing.h"

class CMesh3d;
class CTextureImage;

enum class MetafileVariant { Lines, FrontFaceLines, Faces };

// Draws a menu variant into picture (sized like the viewport); the face
// marks are cleared first (and the front faces marked 1 for the front
// variant). Returns the number of lines or faces drawn.
int MetafileExport(CMesh3d& mesh, const CVectorView& view, MetafileVariant variant,
                   const CVector3d& camera, CVectorPicture& picture);

enum class MetafileMode {
  Line,
  Faces,
  Silhouette,
  RampZ,
  BackFacing,
  BackFacingSilhouette,
  BackFacingRamp,
  BackFacingSilhouetteRamp,
  SilhouetteRamp,
  TextureRequestMap,
};
constexpr int kMetafileModeCount = 10;
// The dialog's button texts, in MetafileMode order.
extern const char* const kMetafileModeNames[kMetafileModeCount];

// Marks of the dialog's faces: back faces, front and back silhouettes.
constexpr int kBackFaceKey = -1;
constexpr int kBackSilhouetteKey = -2;
constexpr int kFrontSilhouetteKey = -3;

struct CMetafileParameters {
  MetafileMode mode = MetafileMode::Faces;
  CColor face{255, 255, 255};
  CColor line{0, 0, 0};
  CColor back{128, 128, 128};
  CColor backSilhouette{200, 200, 200};
  CColor frontSilhouette{255, 0, 0};
  CColorRamp ramp;
};

// A mode's preparation: clears the face marks, then marks from the camera
// (depth ramp, back faces, silhouettes) as the mode asks.
void PrepareMetafileMarks(CMesh3d& mesh, MetafileMode mode, const CVector3d& camera);

// Draws the mesh as the mode asks with the marks it has. The texture-request
// map needs the mesh's texture (its size); without one nothing is drawn and
// -1 returned. Otherwise the number of lines or faces drawn. The picture is
// sized for what is drawn.
int MetafileRun(CMesh3d& mesh, const CVectorView& view, const CMetafileParameters& parameters,
                const CTextureImage* texture, CVectorPicture& picture);
