#pragma once

// Shared pieces of the render tests: one offscreen context for the suite,
// documents holding test meshes, and pixel measures.

#include <memory>
#include <string>

#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "io/RgbImage.h"

class CMesh3d;

namespace orvex {
class COffscreenContext;
}

namespace rendertest {

constexpr int kWidth = 160;
constexpr int kHeight = 120;

// The suite's context, created on first use.
orvex::COffscreenContext& SharedContext();

// The document as a default view (or the given one) shows it in a
// kWidth x kHeight area; fails the test when nothing can be rendered.
CRgbImage Render(const COrvexDoc& doc, const orvex::CRenderViewState& view = {});
CRgbImage Render(orvex::COffscreenContext& context, const COrvexDoc& doc,
                 const orvex::CRenderViewState& view = {});

// A document whose scene holds the mesh (which it then owns), every face
// colored gray so that lighting does not saturate.
std::unique_ptr<COrvexDoc> DocumentWith(CMesh3d* mesh);

// A document with a subdivided icosahedron of radius 1 at the origin.
std::unique_ptr<COrvexDoc> SphereDocument(int level = 3);

// Runs a registered menu command on the document; fails the test unless
// it ran.
void RunCommand(COrvexDoc& doc, const std::string& path);

int Luminance(const CRgbImage& image, int x, int y);
// Pixels whose color differs from (r, g, b).
int CountNot(const CRgbImage& image, int r, int g, int b);
// Number of different colors among the pixels.
int CountColors(const CRgbImage& image);
// Mean x of the pixels that are not black; -1 when there is none.
double MeanLitX(const CRgbImage& image);

} // namespace rendertest
