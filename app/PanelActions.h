#pragma once

// What the controls of the command panel do, without any toolkit. Each
// acts on the panel state, the document of the panel's window, that
// document's active view state (null without one) and the host of the
// open documents (null in tests), and returns 1 when it did something.

#include <string>

#include "app/CommandPanelState.h"

class COrvexDoc;
class CTextureImage;

namespace orvex {

class CDocumentHost;
class CRenderViewState;

struct CPanelTarget {
  CCommandPanelState& panel;
  COrvexDoc& doc;
  CRenderViewState* view = nullptr;
  CDocumentHost* host = nullptr;
};

// Slider handling: every slider move re-reads all sliders in the order of
// PanelSlider. The offsets and the normals scale are applied when they
// differ from the value last sent; the others every time, so that the
// first move of any slider sets the fill offset to -5, both line offsets
// to -1 and the shininess of every material to the Shininess position.
void ReadSliders(CPanelTarget& target);
// Period of the spin timer for the Speed position: 1000 / position ms.
int SpinPeriodMs(const CCommandPanelState& panel);
// Moves one slider, then runs the slider handling.
void MoveSlider(CPanelTarget& target, PanelSlider slider, int position);

// switches of the look (they end up in the document's display state)
enum class PanelPolygonMode { Vertex, Wireframe, Face };
int SetBackground(CPanelTarget& target, PanelColor color);
int ToggleAntialiasing(CPanelTarget& target);
int ToggleGouraud(CPanelTarget& target);
int ToggleLighting(CPanelTarget& target);
int SetPolygonMode(CPanelTarget& target, PanelPolygonMode mode);
int ToggleCulling(CPanelTarget& target);
int ToggleWireframeOverlay(CPanelTarget& target);
int ToggleGlobalColor(CPanelTarget& target);
int ToggleTextures(CPanelTarget& target);
// Takes the spin steps, then starts the spin timer with the Speed period
// or stops it.
int ToggleRotation(CPanelTarget& target, const float steps[3]);
int ToggleLink(CPanelTarget& target);
int SetRamp(CPanelTarget& target, int ramp);

// lights: the swatches set light 0; Update places light `index` in eye
// space and turns it on
enum class LightSwatch { Ambient, Diffuse, Specular };
int SetLightColor(CPanelTarget& target, LightSwatch swatch, PanelColor color);
int UpdateLight(CPanelTarget& target, int index, const float position[4], const float direction[3]);

// materials of every triangle mesh and quad mesh
enum class MaterialSwatch { Ambient, Diffuse, Specular, Emission };
int SetMaterialColor(CPanelTarget& target, MaterialSwatch swatch, PanelColor color);
// Applies the preset of that name and shows it in the swatches and the
// Shininess slider; 0 for an unknown name.
int SelectPreset(CPanelTarget& target, const std::string& name);
// The surface swatch: one color for every mesh, drawn in it.
int SetSurfaceColor(CPanelTarget& target, PanelColor color);

// helper objects
int ToggleNormals(CPanelTarget& target);
int SetNormalsColor(CPanelTarget& target, PanelColor color);
int ToggleSharpEdges(CPanelTarget& target, double threshold);
int LodInit(CPanelTarget& target);
int LodRestore(CPanelTarget& target);
// "0" and "1": toggle the visibility of that object, when it exists.
int ToggleObject(CPanelTarget& target, int index);

// the panel's camera
int CameraAdd(CPanelTarget& target);
int CameraRemove(CPanelTarget& target);
int CameraMove(CPanelTarget& target);
int CameraInit(CPanelTarget& target);
int SetCameraColor(CPanelTarget& target, PanelColor color);

// Marks from the panel's camera on every triangle mesh (0 without a camera
// or a mesh). "Forward": clears the face marks, marks the faces seen from
// the camera and/or the silhouette faces as asked (remembered as the
// panel's "Camera" and "Silhouette" checks), then refines the marked faces
// adaptively.
int CameraForward(CPanelTarget& target, int cameraMarks, int silhouetteMarks);
// "Silhouette", "Camera view", "Twice": clears the face marks, marks the
// silhouette faces (1) and/or the faces seen from the camera (2, in that
// order), then colours the faces by their marks.
enum class CameraMarks { Silhouette, CameraView, Twice };
int ColorCameraMarks(CPanelTarget& target, CameraMarks marks);

// Textures "Edit...": the first object's texture (name, size, image).
struct CPanelTexture {
  std::string name;
  int width = 0, height = 0;
  const CTextureImage* image = nullptr;
};
// False when the first object is no triangle mesh or has no texture.
bool FirstObjectTexture(const COrvexDoc& doc, CPanelTexture& out);
// "Load...": reads the image file and binds it to the first object; 0 with
// error set when there is no such mesh or the file cannot be read.
int LoadFirstObjectTexture(CPanelTarget& target, const std::string& path, std::string& error);

} // namespace orvex
