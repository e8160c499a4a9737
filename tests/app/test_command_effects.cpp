// Every command that can run, on several scenes, against what it declares
// it may change: a command that changes the scene, the display, the view,
// the files or the documents beyond its declaration fails here. Undo
// records from these declarations.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "geometry/Camera3d.h"
#include "geometry/Mesh3d.h"
#include "tests/app/RecordingUserInterface.h"
#include "tests/support/SceneFingerprint.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using namespace orvex;
using namespace testmeshes;
namespace fs = std::filesystem;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

// What a document and its surroundings show, besides the scene.
struct DocumentState {
  SceneFingerprint scene;
  uint64_t display = 0;
  uint64_t view = 0;
  std::map<std::string, uintmax_t> files; // name -> size
  size_t documents = 0;
};

uint64_t DisplayDigest(const COrvexDoc& doc) {
  CDigest d;
  const COrvexDisplayState& s = doc.m_Display;
  const int modes[] = {s.m_PolygonMode,
                       s.m_bSmoothShading,
                       s.m_bTexture2D,
                       s.m_PanelVertex,
                       s.m_PanelWireframe,
                       s.m_PanelFace,
                       s.m_PanelGouraud,
                       doc.m_bGlobalColorOverlay,
                       doc.m_HighlightVertexIndex,
                       doc.m_HighlightSecondVertexIndex,
                       doc.m_HighlightFaceIndex,
                       doc.m_bHighlightFace,
                       doc.m_bHighlightVertex,
                       doc.m_bHighlightSecondVertex,
                       doc.m_bWireframeOverlay,
                       doc.m_bLighting};
  d.Add(modes);
  const float sizes[] = {doc.m_HighlightSize, doc.m_OverlayLineOffset, doc.m_FillOffset,
                         doc.m_LineWidth};
  d.Add(sizes);
  return d.Value();
}

uint64_t ViewDigest(const CRenderViewState& v, const CViewingState& slot) {
  CDigest d;
  d.Add(v.m_Rotation);
  d.Add(v.m_Translation);
  d.Add(v.m_Scale);
  d.Add(v.m_TranslationSpeed);
  d.Add(v.m_RotationSpeed);
  d.Add(v.m_SpinStep);
  d.Add(v.m_bHorizontalAboutY);
  d.Add(v.m_bCameraMode);
  d.Add(v.m_CameraDeltas);
  d.Add(v.m_bAlwaysColorSilhouette);
  d.Add(v.m_FieldOfView);
  d.Add(slot.m_Scale);
  d.Add(slot.m_Rotation);
  d.Add(slot.m_Translation);
  return d.Value();
}

DocumentState Capture(CDocumentHost& host, COrvexDoc& doc, const fs::path& folder) {
  DocumentState state;
  state.scene = FingerprintScene(doc.m_SceneGraph);
  state.display = DisplayDigest(doc);
  state.view = ViewDigest(*host.ActiveViewState(&doc), host.ViewingSlot());
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) state.files[entry.path().string()] = entry.file_size();
  state.documents = host.Documents().size();
  return state;
}

// The effects a change between two captures shows.
Effects Observed(const DocumentState& before, const DocumentState& after) {
  static const Effects kByAspect[kAspectCount] = {
      kEffectPositions,  kEffectNormals, kEffectTopology, kEffectObjects,
      kEffectAttributes, kEffectOverlay, kEffectDisplay,  kEffectMaterials};
  Effects effects = kEffectNone;
  unsigned aspects = before.scene.Differences(after.scene);
  for (int aspect = 0; aspect < kAspectCount; aspect++)
    if (aspects & (1u << aspect)) effects |= kByAspect[aspect];
  if (before.display != after.display) effects |= kEffectDisplay;
  if (before.view != after.view) effects |= kEffectView;
  if (before.files != after.files) effects |= kEffectFiles;
  if (before.documents != after.documents) effects |= kEffectDocuments;
  return effects;
}

// One scene to run every command on: the sample opened from a folder of
// its own, then changed by `extend`.
struct Scene {
  const char* name;
  std::function<void(COrvexDoc&, CRenderViewState&)> extend;
};

const Scene kScenes[] = {
    {"sample", [](COrvexDoc&, CRenderViewState&) {}},
    {"two meshes with a hole",
     [](COrvexDoc& doc, CRenderViewState&) {
       doc.m_SceneGraph.Add(MakeGridWithHoles(6, 5, 2));
       doc.m_HighlightFaceIndex = 3;
     }},
    {"camera drag under way",
     [](COrvexDoc& doc, CRenderViewState& view) {
       doc.m_SceneGraph.Add(new CCamera3d);
       view.m_bCameraMode = 1;
       view.ButtonDown(MouseButton::Left, 100, 100);
       view.MouseMove(80, 90);
     }},
    {"with steps to undo and redo",
     [](COrvexDoc& doc, CRenderViewState&) {
       CRecordingUserInterface ui;
       CCommandDispatcher dispatcher(ApplicationRegistry(), ui);
       for (const char* command : {"Algorithms/Check", "Scene/Duplicate/Last mesh", "Edit/Undo"})
         dispatcher.Run(*ApplicationRegistry().Find(command), &doc);
     }},
};

class CommandEffects : public ::testing::Test {
protected:
  void SetUp() override {
    m_OldDir = fs::current_path();
    m_Dir = testsupport::FreshTestFolder("orvex_effects_");
  }
  void TearDown() override { fs::current_path(m_OldDir); }

  fs::path m_OldDir, m_Dir;
};

TEST_F(CommandEffects, NoCommandChangesMoreThanItDeclares) {
  const CCommandRegistry& registry = ApplicationRegistry();
  std::map<std::string, int> checked;
  for (const Scene& scene : kScenes) {
    for (const auto& command : registry.Commands()) {
      const CommandInfo& info = *command;
      // a fresh document per command: effects must not pile up
      fs::path folder = m_Dir / std::to_string(info.id);
      fs::create_directories(folder);
      fs::copy_file(kSamples + "/icosahedron.wrl", folder / "scene.wrl",
                    fs::copy_options::overwrite_existing);
      CRecordingUserInterface ui;
      ui.answerYes = false;
      CDocumentHost host(ui);
      COrvexDoc* doc = host.OpenDocumentFile((folder / "scene.wrl").string());
      ASSERT_NE(doc, nullptr) << host.GetLastError();
      scene.extend(*doc, *host.ActiveViewState(doc));
      doc->RunPostLoadSteps();
      if (!registry.IsEnabled(info, doc)) continue;

      DocumentState before = Capture(host, *doc, folder);
      CCommandDispatcher dispatcher(registry, ui, &host);
      CCommandOutcome outcome = dispatcher.Run(info, doc);
      CommandResult result = outcome.result;
      // a handler reading a field its dialog lacks fails with the reason
      for (const std::string& message : outcome.messages)
        EXPECT_EQ(message.find("dialog field"), std::string::npos)
            << info.Label() << ": " << message;
      checked[info.Label()]++;

      // a command that closed its document answers for documents only
      bool open = std::any_of(host.Documents().begin(), host.Documents().end(),
                              [doc](const auto& d) { return d.get() == doc; });
      if (!open) {
        EXPECT_TRUE(info.effects & kEffectDocuments) << info.Label() << " closed its document";
        continue;
      }
      // work a command left running on the document is waited for
      doc->ServeWorker(true);
      DocumentState after = Capture(host, *doc, folder);
      Effects undeclared = Observed(before, after) & ~info.effects;
      // attributes include the materials
      if (info.effects & kEffectAttributes) undeclared &= ~kEffectMaterials;
      // a command that saves its document rewrites the document's file
      if (info.effects & kEffectDocuments) undeclared &= ~kEffectFiles;
      EXPECT_EQ(undeclared, kEffectNone)
          << info.Label() << " on " << scene.name << " (" << ResultName(result)
          << ") changed undeclared: " << EffectNames(undeclared) << "; declared "
          << EffectNames(info.effects);
    }
  }
  // every command with a handler in this layer ran on some scene
  for (const auto& command : registry.Commands()) {
    // (a worker's stop runs only while a worker runs)
    if (command->handler && command->target != CommandTarget::Frame && !command->runsBesideWorker) {
      EXPECT_GT(checked[command->Label()], 0) << command->Label() << " never ran";
    }
  }
  RecordProperty("commands", static_cast<int>(checked.size()));
}

// The declarations that matter most to undo and to display lists: a
// command whose effects are wrong here changes the scene unseen.
TEST(CommandEffectsDeclared, SceneChangesAreDeclaredWhereTheyHappen) {
  const CCommandRegistry& registry = ApplicationRegistry();
  struct Row {
    const char* command;
    Effects mustInclude;
  };
  const Row rows[] = {
      {"Mode/Flat", kEffectAttributes},
      {"Mode/Visual mode", kEffectOverlay},
      {"Camera drag", kEffectObjects},
      {"Algorithms/Surface subdivision/Loop/Std", kEffectTopology | kEffectPositions},
      {"View preset", kEffectTopology | kEffectView},
      {"Scene/Keep first object only", kEffectObjects},
      {"File/Export/scene to multiple iv files", kEffectFiles},
  };
  for (const Row& row : rows) {
    const CommandInfo* info = registry.Find(row.command);
    ASSERT_NE(info, nullptr) << row.command;
    EXPECT_EQ(info->effects & row.mustInclude, row.mustInclude)
        << row.command << ": " << EffectNames(info->effects);
  }
  // the modified flag follows what a save writes
  COrvexDoc doc;
  CRecordingUserInterface ui;
  CCommandDispatcher dispatcher(registry, ui);
  doc.m_SceneGraph.Add(MakeIcoSphere(1));
  dispatcher.Run(*registry.Find("Mode/Flat"), &doc);
  EXPECT_FALSE(doc.IsModified());
  dispatcher.Run(*registry.Find("Algorithms/Surface subdivision/Loop/Std"), &doc);
  EXPECT_TRUE(doc.IsModified());
}

} // namespace
