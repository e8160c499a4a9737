#pragma once

// A document with its host, dispatcher and panel state, for running the
// command panel's commands the way a window or the batch runner does.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/CommandPanelState.h"
#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/DocumentHost.h"
#include "app/OrvexDoc.h"
#include "app/RenderViewState.h"
#include "geometry/Mesh3d.h"
#include "tests/app/RecordingUserInterface.h"

namespace testmeshes {

class CPanelHarness {
public:
  CRecordingUserInterface ui;
  orvex::CDocumentHost host{ui};
  orvex::CCommandDispatcher dispatcher{orvex::ApplicationRegistry(), ui, &host};
  COrvexDoc* doc = host.NewDocument();

  // Takes ownership of the objects, in order, and rebuilds the meshes.
  explicit CPanelHarness(std::vector<CObject3d*> objects = {}) {
    for (CObject3d* object : objects) doc->m_SceneGraph.Add(object);
    doc->RunPostLoadSteps();
  }

  orvex::CCommandPanelState& Panel() { return *host.ActivePanelState(doc); }
  orvex::CRenderViewState& View() { return *host.ActiveViewState(doc); }
  CMesh3d* Mesh(int i) { return static_cast<CMesh3d*>(doc->m_SceneGraph.GetAt(i)); }

  // Runs a command with its dialog's defaults changed by `sets`.
  orvex::CommandResult Run(const std::string& command,
                           const std::vector<std::pair<std::string, std::string>>& sets = {}) {
    const orvex::CommandInfo* info = orvex::ApplicationRegistry().Find(command);
    EXPECT_NE(info, nullptr) << command;
    if (!info) return orvex::CommandResult::Unavailable;
    orvex::ParamValues values = dispatcher.DialogValues(*info, doc);
    for (const auto& [label, value] : sets) {
      std::string error;
      EXPECT_TRUE(values.Set(label, value, error)) << command << ": " << error;
    }
    return dispatcher.Run(*info, doc, &values).result;
  }
  orvex::CommandResult Move(const std::string& slider, int position) {
    return Run(slider, {{"Position", std::to_string(position)}});
  }
};

} // namespace testmeshes
