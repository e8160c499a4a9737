// A paint only reads the document: whatever it shows (highlights, also
// with indices the last command has not brought back yet, overlays, lists
// on or off, a command running, a vector set), the document, its scene and
// every element report the same before and after, and the view's drawing
// options stay with the view.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

#include "app/OrvexDoc.h"
#include "app/offscreen/OffscreenContext.h"
#include "geometry/Mesh3d.h"
#include "geometry/VectorSet3d.h"
#include "io/WriteBinaryScene.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/DocumentSnapshot.h"
#include "tests/support/SameSnapshot.h"
#include "tests/support/TestMeshes.h"

using namespace rendertest;

// Drawing compiles for a reader: through a const document, down to the
// objects (the render helpers below take the document as const as well).
static_assert(std::is_void<decltype(std::declval<const COrvexDoc&>().glDraw())>::value,
              "a document draws through a const reference");
static_assert(std::is_same<decltype(std::declval<const CMesh3d&>().glDraw()), int>::value,
              "a mesh draws through a const reference");

namespace {

CMesh3d& FirstMesh(COrvexDoc& doc) {
  return *doc.GetFirstMesh();
}

// Flags and tags no drawing code would choose, so that one that numbers or
// marks elements shows.
void ScrambleFlags(CMesh3d& mesh) {
  for (int i = 0; i < mesh.NbVertex(); i++) {
    mesh.GetVertex(i)->m_Flag = (i * 7) % 13 - 3;
    mesh.GetVertex(i)->SetTagB(i % 5);
  }
  for (int i = 0; i < mesh.NbFace(); i++) mesh.GetFace(i)->m_Flag = (i * 5) % 11 + 2;
}

} // namespace

TEST(PaintReadsOnly, NothingTheDocumentReportsChanges) {
  struct Case {
    const char* name;
    void (*setUp)(COrvexDoc&);
  };
  const Case cases[] = {
      {"plain, through the lists", [](COrvexDoc&) {}},
      {"highlights inside the mesh",
       [](COrvexDoc& d) {
         d.m_bHighlightVertex = d.m_bHighlightSecondVertex = d.m_bHighlightFace = 1;
         d.m_HighlightVertexIndex = 3;
         d.m_HighlightSecondVertexIndex = 7;
         d.m_HighlightFaceIndex = 11;
       }},
      {"highlights past the mesh",
       [](COrvexDoc& d) {
         d.m_bHighlightVertex = d.m_bHighlightSecondVertex = d.m_bHighlightFace = 1;
         d.m_HighlightVertexIndex = 5000;
         d.m_HighlightSecondVertexIndex = -3;
         d.m_HighlightFaceIndex = 100000;
       }},
      {"overlay in the meshes' colors", [](COrvexDoc& d) { d.m_bWireframeOverlay = 1; }},
      {"overlay in one global color over a mesh-colored mesh",
       [](COrvexDoc& d) {
         d.m_bWireframeOverlay = d.m_bGlobalColorOverlay = 1;
         FirstMesh(d).m_UseMeshColor = 1;
         FirstMesh(d).m_Color = CColor(200, 60, 60);
       }},
      {"lists off", [](COrvexDoc& d) { FirstMesh(d).m_DisplayListMode = 0; }},
      {"a command running", [](COrvexDoc& d) { d.BeginCommand(); }},
      {"face normals as a vector set",
       [](COrvexDoc& d) { d.m_SceneGraph.Add(NewFaceNormalSet(&FirstMesh(d))); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto doc = SphereDocument(2);
    ScrambleFlags(FirstMesh(*doc));
    c.setUp(*doc);
    const COrvexDoc& reader = *doc;
    const std::string before = testsupport::DocumentSnapshot(reader);
    // the first paint builds the lists (a vector set draws its own while
    // compiling it), the next ones call them
    const CRgbImage first = Render(reader);
    const CRgbImage second = Render(reader);
    EXPECT_GT(CountNot(first, 0, 0, 0), 1000);
    EXPECT_EQ(Render(reader).m_Pixels, second.m_Pixels);
    EXPECT_TRUE(testsupport::SameSnapshot(before, testsupport::DocumentSnapshot(reader)));
  }
}

// Highlight indices left outside the mesh are not drawn (nor clamped) by
// the paint; the next command brings them back and face 0 shows again.
TEST(PaintReadsOnly, StaleHighlightIndicesWaitForTheNextCommand) {
  auto doc = DocumentWith(testmeshes::MakeMesh({-1.5, -1, 0, 1.5, -1, 0, 0, 1.5, 0}, {0, 1, 2}));
  const CRgbImage plain = Render(*doc);
  doc->m_bHighlightFace = 1;
  doc->m_HighlightFaceIndex = 4;
  EXPECT_EQ(Render(*doc).m_Pixels, plain.m_Pixels);
  EXPECT_EQ(doc->m_HighlightFaceIndex, 4);

  RunCommand(*doc, "Mode/Flat");
  EXPECT_EQ(doc->m_HighlightFaceIndex, 0);
  const CRgbImage highlighted = Render(*doc);
  const unsigned char* center = highlighted.Pixel(kWidth / 2, kHeight / 2);
  EXPECT_EQ(center[0], 255);
  EXPECT_EQ(center[1], 0);
}

// A save while another thread paints the same document: both only read, so
// the file is the one written alone. (Drawing that numbered the vertices
// through their flags, and restored them afterwards, made the writer
// number corners wrongly now and then.)
TEST(PaintReadsOnly, SavingWhileAnotherThreadPaintsWritesTheSameBytes) {
  auto doc = SphereDocument(4);
  CMesh3d& mesh = FirstMesh(*doc);
  mesh.SetNormalBinding(0); // the indexed path numbers the vertices
  mesh.m_DisplayListMode = 0;
  ScrambleFlags(mesh);
  const std::string before = testsupport::DocumentSnapshot(*doc);
  std::string alone;
  WriteBinary(&mesh, alone);

  std::atomic<bool> painting{true};
  int painted = 0;
  std::thread painter([&] {
    orvex::COffscreenContext context;
    for (int i = 0; i < 15; i++)
      if (CountNot(Render(context, *doc), 0, 0, 0) > 1000) painted++;
    painting = false;
  });
  int saves = 0, differing = 0;
  while (painting || saves == 0) {
    std::string bytes;
    WriteBinary(&mesh, bytes);
    saves++;
    if (bytes != alone) differing++;
  }
  painter.join();
  EXPECT_EQ(painted, 15);
  EXPECT_EQ(differing, 0) << "of " << saves << " saves";
  EXPECT_TRUE(testsupport::SameSnapshot(before, testsupport::DocumentSnapshot(*doc)));
}
