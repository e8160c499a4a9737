// The command panel's controls run from orvexbox-batch: every one of them
// by its name, with its fields given by --set, on one panel per document.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/CommandRegistry.h"
#include "tests/support/BatchProcess.h"
#include "tests/support/TestFolder.h"

namespace fs = std::filesystem;
using namespace orvex;

namespace {

const std::string kSamples = ORVEX_SAMPLES_DIR;

// A value inside the field's range that differs from its default, so that
// --set is exercised.
std::string ValueFor(const ParamField& field) {
  switch (field.type) {
  case ParamType::Integer:
    return std::to_string(static_cast<int>(
        field.HasRange()
            ? (field.min + field.max > 1e8 ? field.min + 1 : (field.min + field.max) / 2)
            : 1));
  case ParamType::Real:
    return "0.3";
  case ParamType::Choice:
    return field.choices.back();
  case ParamType::Check:
    return "on";
  case ParamType::Text:
    break;
  }
  if (field.label == "Color") return "#20A040";
  return field.defaultValue;
}

std::vector<std::string> RunArguments(const CommandInfo& info) {
  std::vector<std::string> args = {"--run", info.Label()};
  for (const ParamField& field : info.params)
    args.insert(args.end(), {"--set", field.label + "=" + ValueFor(field)});
  return args;
}

TEST(PanelBatch, EveryPanelCommandRunsByName) {
  fs::path dir = testsupport::FreshTestFolder("orvex_panel_batch_");
  int commands = 0;
  std::vector<std::string> all = {kSamples + "/icosahedron.wrl"};
  for (const auto& command : ApplicationRegistry().Commands()) {
    if (command->name.rfind("Panel/", 0) != 0) continue;
    SCOPED_TRACE(command->name);
    commands++;
    std::vector<std::string> args = {kSamples + "/icosahedron.wrl"};
    for (const std::string& arg : RunArguments(*command)) {
      args.push_back(arg);
      all.push_back(arg);
    }
    args.push_back("--info");
    batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, args, dir, dir);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("0 8 12 20"), std::string::npos) << outcome.out;
  }
  EXPECT_GE(commands, 45);
  // all of them one after the other on one document and its panel
  all.push_back("--info");
  batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, all, dir, dir);
  EXPECT_EQ(outcome.status, 0) << outcome.err;
}

TEST(PanelBatch, ObjectsAddedByThePanelStayWithTheDocument) {
  fs::path dir = testsupport::FreshTestFolder("orvex_panel_objects_");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out, err;
  } cases[] = {
      {{"--run", "Panel/Normals/Show", "--run", "Panel/Camera/Add"}, 0, "1 13 0 0", ""},
      {{"--run", "Panel/Camera/Add", "--run", "Panel/Camera/Add"}, 0, "1 14", ""},
      {{"--run", "Panel/Normals/Show", "--run", "Panel/Normals/Show"}, 0, "0 8 12 20", ""},
      {{"--run", "Panel/Materials/Predefined", "--set", "Name=Gold"}, 0, "0 8 12 20", ""},
      {{"--run", "Panel/Materials/Predefined", "--set", "Name=Tin"}, 2, "", "Name"},
      {{"--run", "Panel/Materials/Diffuse", "--set", "Color=#12345"}, 1, "", "#RRGGBB"},
      {{"--run", "Panel/Options/Perspective", "--set", "Position=100"}, 2, "", "Position"},
      {{"--run", "Panel/Camera/Add", "--run", "Panel/Camera/Forward", "--set", "Camera=off",
        "--set", "Silhouette=off"},
       0,
       "0 8 12 20",
       ""},
      {{"--run", "Panel/Camera/Forward", "--set", "Camera=maybe"}, 2, "", "Camera"},
      {{"--run", "Panel/Camera/Add", "--run", "Panel/Camera/Twice", "--run", "Panel/LOD/Metafile",
        "--set", "File=lod.svg"},
       0,
       "1 14",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1]);
    std::vector<std::string> args = {kSamples + "/icosahedron.wrl"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back("--info");
    batchprocess::Outcome outcome = batchprocess::Run(ORVEX_BATCH, args, dir, dir);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_NE(outcome.out.find(c.out), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
  }
}

} // namespace
