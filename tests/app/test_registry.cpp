// The command registry against the menu table and the accelerator table of
// the application.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "app/CommandRegistry.h"
#include "app/Dispatcher.h"
#include "app/OrvexDoc.h"
#include "app/TextNormalize.h"
#include "tests/app/RecordingUserInterface.h"

using namespace orvex;

namespace {

struct KeyRow {
  const char* key;
  const char* command; // path, or name of a command without a menu entry
};

// The accelerator table; where the tables of the features disagree this one
// holds (Ctrl+E, Ctrl+Shift+L, Shift+3/4/7).
const KeyRow kKeys[] = {
    {"Ctrl+N", "File/New"},
    {"Ctrl+O", "File/Open..."},
    {"Ctrl+C", "Edit/Copy"},
    {"Ctrl+Ins", "Edit/Copy"},
    {"Ctrl+S", "Geometry/Swap rotation axes"},
    {"Ctrl+Space", "View/Full screen"},
    {"F5", "Algorithms/Rebuild adjacency && normals"},
    {"F6", "Next pane"},
    {"Shift+F6", "Previous pane"},
    {"F7", "View preset"},
    {"F9", "Window/Multi view..."},
    {"Del", "Scene/Keep first object only"},
    {"C", "Scene/Process camera"},
    {"M", "Mode/Visual mode"},
    {"N", "Debug/Highlight next vertex"},
    {"Ctrl+F", "Mode/Highlight/Face"},
    {"Ctrl+V", "Mode/Highlight/Vertex"},
    {"Ctrl+M", "Debug/Highlight vertex to collapse"},
    {"Ctrl+E", "Algorithms/Surface simplification/Edge Collapse"},
    {"E", "Edit/Window metafile/Generate MetaFile (face mode)"},
    {"Ctrl+L", "Algorithms/Surface subdivision/Loop/Std"},
    {"Ctrl+Shift+L", "Algorithms/Surface subdivision/Quad-mesh/Kobbelt"},
    {"Ctrl+K", "Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark"},
    {"Ctrl+W", "Algorithms/Surface modification/Smooth"},
    {"Ctrl+I", "Algorithms/Surface modification/Improve compacity"},
    {"Ctrl+A", "Window/AVI/Add frame"},
    {"Ctrl+D", "Compression/Progressive Isosurface/Encode (Ctrl-D)"},
    {"Ctrl+Shift+D", "Compression/Progressive Isosurface/Decode (Ctrl-Shift-D)"},
    {"Shift+P", "Debug/Viewing/Pop"},
    {"Shift+3", "Algorithms/Surface subdivision/V3/Alone"},
    {"Num+3", "Algorithms/Surface subdivision/V3/Alone"},
    {"Shift+4", "Algorithms/Surface subdivision/V3/Flip edges"},
    {"Num+4", "Algorithms/Surface subdivision/V3/Flip edges"},
    {"Shift+7", "Algorithms/Surface subdivision/V3/Piecewise"},
    {"Num+7", "Algorithms/Surface subdivision/V3/Piecewise"},
    {"Shift+5", "Algorithms/Surface subdivision/V3/On colored silhouette/4 iters"},
    {"Num+5", "Algorithms/Surface subdivision/V3/On colored silhouette/4 iters"},
    {"Shift+6", "Algorithms/Surface subdivision/V3/On colored silhouette/4 iters (no debug)"},
    {"Ctrl+6", "Algorithms/Surface subdivision/V3/On colored silhouette/4 iters (no debug)"},
    {"Num+6", "Algorithms/Surface subdivision/V3/On colored silhouette/4 iters (no debug)"},
    {"Num+9", "Algorithms/Surface modification/Spring/Adaptative..."},
    {"S", "Algorithms/Color mesh/Silhouette from current camera"},
    {"T", "Algorithms/Color mesh/Front faces and silhouette"},
    {"U", "Algorithms/Surface subdivision/V3/History/Undo"},
    {"V", "Algorithms/Surface subdivision/V3/History/Recursive undo"},
    {"O", "Algorithms/Surface subdivision/V3/On colored silhouette/Parameters..."},
    {"R", "Algorithms/Surface subdivision/V3/Regularize from surface ratios"},
    {"Ctrl+Shift+Alt+P", "Algorithms/Surface subdivision/Loop/Adaptive/Random"},
    {"Ctrl+Num++", "Texture map overlap increase"},
    {"Ctrl+Num+-", "Texture map overlap decrease"},
    {"Ctrl+F12", "Debug/Advanced/Peaks..."},
    {"Alt+Backspace", "Edit/Undo"},
    {"Ctrl+Y", "Edit/Redo"},
    {"Ctrl+X", "Cut"},
    {"Shift+Del", "Cut"},
    {"Shift+Ins", "Paste"},
    {"Ctrl+Z", "Valence-centered encoding"},
    {"Ctrl+U", "Unmeshing"},
    {"Ctrl+B", "Remeshing"},
};

const CommandInfo* Find(const char* text) {
  return ApplicationRegistry().Find(text);
}

} // namespace

TEST(Registry, EveryMenuItemIsFoundByItsPathWithAndWithoutAmpersands) {
  int items = 0;
  for (const auto& command : ApplicationRegistry().Commands()) {
    if (!command->HasMenuEntry()) continue;
    items++;
    EXPECT_EQ(ApplicationRegistry().FindByPath(command->path), command.get()) << command->path;
    EXPECT_EQ(ApplicationRegistry().FindByPath(StripMnemonics(command->path)), command.get())
        << command->path;
    EXPECT_NE(command->menus & (kMenu128 | kMenu129), 0) << command->path;
  }
  EXPECT_GT(items, 150);
  // texts as stored
  EXPECT_EQ(Find("Algorithms/Surface subdivision/Loop/Std")->path,
            "&Algorithms/Surface subdivision/Loop/&Std");
  EXPECT_EQ(Find("Algorithms/Rebuild adjacency && normals")->path,
            "&Algorithms/Rebuild adjacency && normals");
  EXPECT_EQ(Find("Algorithms/Surface simplification/Edge Collapse")->path,
            "&Algorithms/Surface simplification/&Edge Collapse");
  EXPECT_EQ(Find("Compression/Progressive Isosurface/Analyze")->menuPath[1],
            "Progressive Isosurface ");
  // item texts that hold a slash stay one item
  const CommandInfo* twoNinths = Find("Algorithms/Surface subdivision/V3/Fixed alpha/2/9");
  ASSERT_EQ(twoNinths->menuPath.size(), 5u);
  EXPECT_EQ(twoNinths->menuPath.back(), "2/9");
  // case, blanks and a single '&' for "&&" do not matter; wrong items do
  EXPECT_EQ(Find("algorithms / rebuild adjacency & normals"),
            Find("Algorithms/Rebuild adjacency && normals"));
  EXPECT_EQ(Find("Algorithms/Surface subdivision/Loop"), nullptr);
  EXPECT_EQ(Find("Algorithms/Nothing"), nullptr);
}

TEST(Registry, EveryKeyIsBoundToTheCommandTheTableNames) {
  std::set<std::string> seen;
  for (const KeyRow& row : kKeys) {
    const CommandInfo* expected = Find(row.command);
    ASSERT_NE(expected, nullptr) << row.command;
    EXPECT_EQ(ApplicationRegistry().FindByKey(row.key), expected) << row.key;
    EXPECT_TRUE(seen.insert(KeyKey(row.key)).second) << "listed twice: " << row.key;
  }
  // Ctrl+S is not Save; the first key of an item is the one its menu shows
  EXPECT_TRUE(Find("File/Save")->keys.empty());
  EXPECT_EQ(Find("Edit/Copy")->keys.front(), "Ctrl+C");
  // no key is bound to two commands, and the reserved ones to none
  std::set<std::string> bound;
  for (const auto& command : ApplicationRegistry().Commands())
    for (const std::string& key : command->keys)
      EXPECT_TRUE(bound.insert(KeyKey(key)).second) << key;
  EXPECT_EQ(bound.size(), seen.size());
  for (const std::string& key : ApplicationRegistry().ReservedKeys())
    EXPECT_EQ(ApplicationRegistry().FindByKey(key), nullptr) << key;
  // spellings of one key
  EXPECT_EQ(KeyKey("Shift+Ctrl+l"), "ctrl+shift+l");
  EXPECT_EQ(KeyKey("Ctrl + Delete"), "ctrl+del");
  EXPECT_EQ(KeyKey("Ctrl+Numeric++"), "ctrl+num++");
}

TEST(Registry, CommandsWithoutMenuEntryByIdentifierAndName) {
  const CommandInfo* coding = Find("32986");
  ASSERT_NE(coding, nullptr);
  EXPECT_FALSE(coding->HasMenuEntry());
  EXPECT_EQ(Find("Valence-centered encoding"), coding);
  EXPECT_EQ(ApplicationRegistry().FindByKey("Ctrl+Z"), coding);
  EXPECT_EQ(Find("Valence-centered Progressive Meshes"), Find("33007"));
  EXPECT_EQ(Find("Progressive encoding"), Find("33007"));
  EXPECT_EQ(Find("Unmeshing wavefront..."), Find("Unmeshing"));
  for (int id : {32986, 32988, 32989, 33000, 33003, 33007, 33010, 33011, 33018, 33019, 33020, 33024,
                 33025, 33026, 33032, 33037, 32897, 32901})
    EXPECT_NE(ApplicationRegistry().FindById(id), nullptr) << id;
  // dialog titles of menu commands are no names: "Iterations" is shared
  EXPECT_EQ(ApplicationRegistry().FindByName("Iterations"), nullptr);
}

TEST(Registry, MenuBarsFollowTheRegistration) {
  std::vector<MenuNode> bar128 = ApplicationRegistry().MenuBar(kMenu128);
  ASSERT_EQ(bar128.size(), 3u);
  EXPECT_EQ(bar128[0].text, "&File");
  EXPECT_EQ(bar128[1].text, "&View");
  EXPECT_EQ(bar128[2].text, "&Help");
  std::vector<std::string> file;
  for (const MenuNode& item : bar128[0].children) file.push_back(StripMnemonics(item.text));
  EXPECT_EQ(file,
            (std::vector<std::string>{"New", "Open...", "Print Setup...", "Recent File", "Exit"}));
  EXPECT_EQ(bar128[0].children[3].kind, ItemKind::RecentFiles);

  std::vector<MenuNode> bar129 = ApplicationRegistry().MenuBar(kMenu129);
  std::vector<std::string> tops;
  for (const MenuNode& menu : bar129) tops.push_back(StripMnemonics(menu.text));
  EXPECT_EQ(tops, (std::vector<std::string>{"File", "Edit", "View", "Mode", "Scene", "Algorithms",
                                            "Geometry", "Compression", "Textures", "Predefined",
                                            "Window", "Debug", "Help"}));
  // every leaf of the tree is a registered command; counting them covers all
  int leaves = 0;
  std::function<void(const std::vector<MenuNode>&)> walk = [&](const std::vector<MenuNode>& n) {
    for (const MenuNode& node : n) {
      if (node.IsSubmenu()) {
        EXPECT_FALSE(node.children.empty()) << node.text;
        walk(node.children);
      } else {
        EXPECT_NE(ApplicationRegistry().FindById(node.commandId), nullptr);
        leaves++;
      }
    }
  };
  walk(bar129);
  int onBar129 = 0;
  for (const auto& command : ApplicationRegistry().Commands())
    if (command->HasMenuEntry() && (command->menus & kMenu129)) onBar129++;
  EXPECT_EQ(leaves, onBar129);
}

TEST(Registry, EnabledStateAndCheckMarks) {
  const CCommandRegistry& registry = ApplicationRegistry();
  COrvexDoc doc;
  // handlers that exist now
  for (const char* path : {"File/Close",
                           "File/Save",
                           "File/Save As...",
                           "Mode/Flat",
                           "Mode/Gouraud",
                           "Mode/Line",
                           "Mode/Light",
                           "Mode/Highlight/Face",
                           "Mode/Highlight/Vertex",
                           "Scene/Keep first object only",
                           "Scene/Duplicate/Last mesh",
                           "Algorithms/Rebuild adjacency && normals",
                           "Algorithms/Cleanup",
                           "Algorithms/Check",
                           "Algorithms/Weld",
                           "Debug/Highlight next vertex",
                           "Debug/Highlight next face",
                           "Textures/View",
                           "Geometry/Properties...",
                           "Geometry/Range...",
                           "Algorithms/Surface subdivision/Loop/Std"})
    EXPECT_TRUE(registry.IsEnabled(*Find(path), &doc)) << path;
  EXPECT_FALSE(registry.IsEnabled(*Find("File/Close"), nullptr));
  EXPECT_TRUE(registry.IsEnabled(*Find("Help/About Orvex..."), nullptr));
  // registered without a handler: shown disabled
  EXPECT_FALSE(registry.IsEnabled(*Find("Geometry/Bidon"), &doc));
  EXPECT_FALSE(registry.IsEnabled(
      *Find("Algorithms/Surface subdivision/V3/Interpolation/Simulate split"), &doc));

  const CommandInfo& light = *Find("Mode/Light");
  EXPECT_TRUE(registry.IsChecked(light, &doc)); // lighting is on at first
  doc.m_bLighting = 0;
  EXPECT_FALSE(registry.IsChecked(light, &doc));
  EXPECT_TRUE(Find("Geometry/Swap rotation axes")->checkable); // the view answers
  EXPECT_FALSE(registry.IsChecked(*Find("Mode/Flat"), &doc));
}

TEST(Registry, DialogsCarryLabelsDefaultsAndRanges) {
  const CommandInfo* multiple = Find("Algorithms/Surface subdivision/Loop/Multiple...");
  EXPECT_EQ(multiple->dialogTitle, "Multiple smooth");
  ParamValues values(multiple->params);
  EXPECT_EQ(values.Integer("Iterations"), 1);
  EXPECT_TRUE(values.Check("Move boundaries"));
  std::string error;
  EXPECT_FALSE(values.Set("Iterations", "1000", error));
  EXPECT_FALSE(values.Set("Iterations", "0", error));
  EXPECT_FALSE(values.Set("Iterations", "3x", error));
  EXPECT_FALSE(values.Set("Speed", "3", error));
  EXPECT_TRUE(values.Set("&iterations :", "999", error));
  EXPECT_EQ(values.Integer("Iterations"), 999);
  EXPECT_TRUE(values.Set("Duplicate in scene graph", "on", error));
  EXPECT_TRUE(values.Check("Duplicate in scene graph"));
  EXPECT_FALSE(values.Set("Move boundaries", "maybe", error));

  const CommandInfo* edges = Find("Algorithms/Surface simplification/Edge-based simplification...");
  ParamValues edgeValues(edges->params);
  EXPECT_EQ(edgeValues.Text("Edge length / Curveness"), "Curveness");
  EXPECT_TRUE(edgeValues.Set("Edge length / Curveness", "edge length", error));
  EXPECT_EQ(edgeValues.Choice("Edge length / Curveness"), 0);
  EXPECT_FALSE(edgeValues.Set("Initial", "5", error)); // shown only
  // every dialog's labels can be told apart
  for (const auto& command : ApplicationRegistry().Commands()) {
    std::set<std::string> labels;
    for (const ParamField& param : command->params)
      EXPECT_TRUE(labels.insert(LabelKey(param.label)).second)
          << command->Label() << ": " << param.label;
  }
}

TEST(Registry, EveryDefaultFitsItsField) {
  for (const auto& command : ApplicationRegistry().Commands()) {
    for (const ParamField& param : command->params) {
      if (param.readOnly) continue;
      std::string normalised, error;
      bool valid = ValidateParam(param, param.defaultValue, normalised, error);
      // a field that must be entered shows a value outside its range
      EXPECT_EQ(valid, !param.entryRequired) << command->Label() << ": " << error;
    }
  }
}

TEST(Registry, DeclarationsThatDoNotResolveFailLoudly) {
  CCommandRegistry registry;
  CommandInfo item;
  item.menuPath = {"&Tools", "&Smooth"};
  registry.AddOrThrow(item);
  EXPECT_THROW(registry.AddOrThrow(item), CRegistryError);
  auto done = [](CCommandContext&) { return CommandResult::Done; };

  EXPECT_THROW(registry.Bind({"Tools/Smoth", done, kEffectPositions}), CRegistryError);
  EXPECT_THROW(registry.Bind({"Tools/Smooth", nullptr, kEffectPositions}), CRegistryError);
  EXPECT_THROW(registry.SetDialog("Tools/Nothing", {"Smooth", {IntegerParam("Steps", 1)}, {}}),
               CRegistryError);
  registry.Bind({"tools / smooth", done, kEffectPositions});
  EXPECT_THROW(registry.Bind({"Tools/Smooth", done, kEffectPositions}), CRegistryError);
  EXPECT_EQ(registry.FindByPath("Tools/Smooth")->effects, kEffectPositions);

  // the application's own tables resolve completely
  EXPECT_NO_THROW(BuildApplicationRegistry());
}

TEST(Registry, HandlersReadingFieldsTheirDialogLacksFail) {
  ParamValues values({IntegerParam("Iterations", 3), CheckParam("Smooth", true)});
  EXPECT_EQ(values.Integer("iterations"), 3);
  EXPECT_THROW(values.Integer("Iteration"), CFieldError);
  EXPECT_THROW(values.Real("Iterations"), CFieldError); // another kind
  EXPECT_THROW(values.Check("Iterations"), CFieldError);
  EXPECT_THROW(values.Text("Steps"), CFieldError);

  // through the dispatcher: the run fails with the reason, nothing escapes
  CCommandRegistry registry;
  CommandInfo item;
  item.menuPath = {"Tools", "Count"};
  registry.AddOrThrow(item);
  registry.Bind(CommandBinding(
                    "Tools/Count",
                    [](CCommandContext& c) {
                      return c.params.Integer("Valence") > 0 ? CommandResult::Done
                                                             : CommandResult::Failed;
                    },
                    kEffectNone)
                    .Dialog({"Count", {RequiredIntegerParam("Valence", 0, 2, 100)}, {}}));
  CRecordingUserInterface ui;
  CCommandDispatcher dispatcher(registry, ui);
  COrvexDoc doc;
  const CommandInfo& count = *registry.FindByPath("Tools/Count");
  // the shown value must be replaced before the command runs
  EXPECT_EQ(dispatcher.Run(count, &doc).result, CommandResult::Failed);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].find("Valence"), std::string::npos);
  ParamValues entered(count.params);
  std::string error;
  ASSERT_TRUE(entered.Set("Valence", "6", error));
  EXPECT_EQ(dispatcher.Run(count, &doc, &entered).result, CommandResult::Done);
}
