#pragma once

// The triangle mesh drawn as vectors (the export of a view as a picture):
// its edges, its faces from the farthest to the nearest coloured by their
// marks, and its texture-request map. Points are projected as the view
// projects them (its modelview and projection, the mesh's own transform,
// the viewport) and drawn upright in view pixels: y counted down from the
// top of the viewport.

#include <vector>

#include "geometry/Color.h"
#include "io/VectorSink.h"

class CMesh3d;
class CColorRamp;

// A view's matrices (column-major, as GL reports them inside the view's
// model transform) and its viewport x, y, width, height.
struct CVectorView {
  double modelView[16];
  double projection[16];
  int viewport[4];
};

// Colours and marks of the face drawing: faces flagged backKey are left
// out; faces flagged frontSilhouetteKey or backSilhouetteKey take those
// colours; with a ramp, faces flagged 0 ... 255 take the ramp's colour;
// the others the face colour. Every drawn face is outlined in line.
struct CFaceColors {
  CColor line{0, 0, 0};
  CColor face{255, 255, 255};
  CColor back{0, 0, 0};
  int backKey = -1;
  CColor frontSilhouette{255, 0, 0};
  int frontSilhouetteKey = -2;
  CColor backSilhouette{255, 0, 0};
  int backSilhouetteKey = -2;
  const CColorRamp* ramp = nullptr; // used when set
};

// Every edge once whose two ends project inside the viewport, as a line of
// the given colour. With onlyFlag set, only the edges of faces whose flag
// equals *onlyFlag. Returns the number of lines drawn.
int DrawEdgesGdi(const CMesh3d& mesh, const CVectorView& view, const CColor& color,
                 CVectorSink& sink, const int* onlyFlag = nullptr);

// The faces whose centroid and corners project inside the viewport, from
// the farthest centroid to the nearest (a stable sort: faces at the same
// depth keep their order). Returns the number of faces drawn.
int DrawFacesGdi(const CMesh3d& mesh, const CVectorView& view, const CFaceColors& colors,
                 CVectorSink& sink);

// Where and how the texture-request map is drawn.
struct CTextureMapLayout {
  int width = 0;  // of the texture; the last 10 units hold the legend
  int height = 0; // of the texture
  double scale = 1.0;
  int left = 20;
  int top = 20;
  bool flipV = true;
  bool clear = true;
};

// The faces in texture space: a face flagged key filled with back, a face
// flagged 0 ... 255 with that ramp colour (other faces are not drawn),
// each outlined in line; then a legend of the 256 ramp colours. Returns
// the number of faces drawn; 0 when the mesh has no texture coordinates
// for its faces.
int DrawTextureMapGdi(const CMesh3d& mesh, const CColor& line, const CColor& back, int key,
                      const CColorRamp& ramp, const CTextureMapLayout& layout, CVectorSink& sink);

// Size of the picture the texture-request map needs.
void TextureMapExtent(const CTextureMapLayout& layout, int& width, int& height);
