// Display lists and texture names of objects freed without a current
// context (on another thread, or after their context went away): the
// object never calls GL, its names wait for the render side, which deletes
// them at the next draw in their share group, or forgets them with the
// group's last context.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "app/offscreen/OffscreenContext.h"
#include "geometry/GlListGroup.h"
#include "geometry/Mesh3d.h"
#include "tests/render/RenderTestSupport.h"

using namespace rendertest;

namespace {

// Takes the first mesh out of the document, with the list its paint made.
CMesh3d* TakeDrawnMesh(COrvexDoc& doc) {
  auto* mesh = static_cast<CMesh3d*>(doc.m_SceneGraph.RemoveAt(0));
  EXPECT_NE(mesh->m_GlList.List(), 0u);
  return mesh;
}

} // namespace

TEST(RenderCacheRelease, ListsOfMeshesFreedElsewhereGoAtTheNextPaintOrWithTheirContext) {
  struct Case {
    const char* name;
    bool ownContext; // painted in a context of its own, destroyed before the next paint
    bool freeOnThread;
  };
  const Case cases[] = {
      {"freed on another thread, next paint in the group", false, true},
      {"freed on this thread, next paint in the group", false, false},
      {"freed on another thread, context gone", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto own = std::make_unique<orvex::COffscreenContext>();
    orvex::COffscreenContext& context = c.ownContext ? *own : SharedContext();
    auto doc = SphereDocument(2);
    auto next = SphereDocument(1); // kept until the end: its own list stays
    Render(context, *doc);         // also deletes what earlier cases left for the group
    const size_t before = NbDeferredGlNames();
    CMesh3d* mesh = TakeDrawnMesh(*doc);
    if (c.freeOnThread)
      std::thread([mesh] { delete mesh; }).join();
    else
      delete mesh;
    EXPECT_EQ(NbDeferredGlNames(), before + 1);

    if (c.ownContext) {
      own.reset();
    } else {
      Render(context, *next);
    }
    EXPECT_EQ(NbDeferredGlNames(), before);
  }
}
