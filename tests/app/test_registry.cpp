// The command registry against the menu table and the accelerator table of
// the application.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "app/CommandRegistry.h"
#include "app/OrvexDoc.h"
#include "app/TextNormalize.h"

using namespace orvex;

namespace {

// Every item of menu 129, written without ampersands.
const char* const kMenu129Paths[] = {
    "File/New",
    "File/Open...",
    "File/Close",
    "File/Save",
    "File/Save As...",
    "File/Print...",
    "File/Print Preview",
    "File/Print Setup...",
    "File/Recent File",
    "File/Exit",
    "File/Export/eps",
    "File/Export/bmp",
    "File/Export/scene to multiple iv files",
    "File/Export/Quad mesh...",
    "File/Export/cpt file",
    "Edit/Copy",
    "Edit/Window metafile/Generate MetaFile",
    "Edit/Window metafile/Generate MetaFile (front faces only)",
    "Edit/Window metafile/Generate MetaFile (face mode)",
    "Edit/Window metafile/Parameters...",
    "View/Toolbar",
    "View/Status Bar",
    "View/Full screen",
    "Mode/Flat",
    "Mode/Gouraud",
    "Mode/Line",
    "Mode/Light",
    "Mode/Highlight/Face",
    "Mode/Highlight/Vertex",
    "Mode/Visual mode",
    "Mode/Material/Brass",
    "Mode/Material/Pewter",
    "Mode/Material/Light blue",
    "Scene/Keep first object only",
    "Scene/Duplicate/Last mesh",
    "Scene/Add simplex mesh",
    "Scene/Process camera",
    "Algorithms/Surface subdivision/Simple (1->4)",
    "Algorithms/Surface subdivision/Loop/Std",
    "Algorithms/Surface subdivision/Loop/Adaptive/On active face",
    "Algorithms/Surface subdivision/Loop/Adaptive/Random",
    "Algorithms/Surface subdivision/Loop/Adaptive/Curvature",
    "Algorithms/Surface subdivision/Loop/Multiple...",
    "Algorithms/Surface subdivision/Fractal",
    "Algorithms/Surface subdivision/V3/Alone",
    "Algorithms/Surface subdivision/V3/Flip edges",
    "Algorithms/Surface subdivision/V3/Piecewise",
    "Algorithms/Surface subdivision/V3/Fixed alpha/2/9",
    "Algorithms/Surface subdivision/V3/Fixed alpha/1/3",
    "Algorithms/Surface subdivision/V3/Parameters...",
    "Algorithms/Surface subdivision/V3/Regularize from surface ratios",
    "Algorithms/Surface subdivision/V3/On colored silhouette/1 iter",
    "Algorithms/Surface subdivision/V3/On colored silhouette/4 iters",
    "Algorithms/Surface subdivision/V3/On colored silhouette/4 iters (no debug)",
    "Algorithms/Surface subdivision/V3/On colored silhouette/Parameters...",
    "Algorithms/Surface subdivision/V3/History/Undo",
    "Algorithms/Surface subdivision/V3/History/Recursive undo",
    "Algorithms/Surface subdivision/V3/Interpolation/Simulate split",
    "Algorithms/Surface subdivision/V3/Interpolation/Simulate split && swap",
    "Algorithms/Surface subdivision/V3/Highlight/Vertex types",
    "Algorithms/Surface subdivision/V3/Highlight/Mesh control...",
    "Algorithms/Surface subdivision/V3/Max #vertices...",
    "Algorithms/Surface subdivision/Quad-mesh/Kobbelt",
    "Algorithms/Surface subdivision/Quad-mesh/Catmull-Clark",
    "Algorithms/Surface simplification/Progressive mesh...",
    "Algorithms/Surface simplification/Volume-based metric...",
    "Algorithms/Surface simplification/Edge-based simplification...",
    "Algorithms/Surface simplification/Face-based simplification...",
    "Algorithms/Surface simplification/Error accumulation...",
    "Algorithms/Surface simplification/Edge Collapse",
    "Algorithms/Surface simplification/Independant edge collapse",
    "Algorithms/Surface simplification/Vertex removals",
    "Algorithms/Surface simplification/Keep # faces...",
    "Algorithms/Surface simplification/Coarse progressive mesh...",
    "Algorithms/Surface simplification/Debug/Fast face collapses",
    "Algorithms/Surface modification/Smooth",
    "Algorithms/Surface modification/Multiple smooth...",
    "Algorithms/Surface modification/Remove faces/no neighbor",
    "Algorithms/Surface modification/Remove faces/1 neighbor",
    "Algorithms/Surface modification/Remove faces/2 neighbors",
    "Algorithms/Surface modification/Remove faces/duplicate",
    "Algorithms/Surface modification/Pack vertices/Set frequency...",
    "Algorithms/Surface modification/Pack vertices/Multiple pack...",
    "Algorithms/Surface modification/Spring/Adaptative...",
    "Algorithms/Surface modification/Improve compacity",
    "Algorithms/Surface modification/Remove hole",
    "Algorithms/Surface tiling/Build...",
    "Algorithms/Surface tiling/Optimize nodal positions...",
    "Algorithms/Mesh conversion/Triangle -> quad",
    "Algorithms/Mesh conversion/Polygonal -> triangle/star",
    "Algorithms/Mesh conversion/Polygonal -> triangle/max regularity (valence 6)",
    "Algorithms/Mesh conversion/Polygonal -> quad && triangles",
    "Algorithms/Mesh conversion/Triangle -> polygonal",
    "Algorithms/Mesh conversion/Quad -> polygonal",
    "Algorithms/Rebuild adjacency && normals",
    "Algorithms/Cleanup",
    "Algorithms/Check",
    "Algorithms/Weld",
    "Algorithms/Hash table...",
    "Algorithms/Color mesh/Curvature",
    "Algorithms/Color mesh/Compacity",
    "Algorithms/Color mesh/Normal space",
    "Algorithms/Color mesh/Height",
    "Algorithms/Color mesh/Vertices from faces",
    "Algorithms/Color mesh/Silhouette from current camera",
    "Algorithms/Color mesh/Always color silhouette",
    "Algorithms/Color mesh/Front faces and silhouette",
    "Algorithms/Color mesh/Faces/# vertex valence",
    "Algorithms/Highlight/Removable vertices",
    "Algorithms/Highlight/Vertices",
    "Geometry/Reset",
    "Geometry/Speed/Rotation/Increase",
    "Geometry/Speed/Rotation/Decrease",
    "Geometry/Speed/Translation/Increase",
    "Geometry/Speed/Translation/Decrease",
    "Geometry/Swap rotation axes",
    "Geometry/Properties...",
    "Geometry/Range...",
    "Geometry/Mean compacity",
    "Geometry/Bidon",
    "Compression/Progressive Isosurface/Encode (Ctrl-D)",
    "Compression/Progressive Isosurface/Decode (Ctrl-Shift-D)",
    "Compression/Progressive Isosurface/Analyze",
    "Textures/Edit...",
    "Textures/View",
    "Textures/Map",
    "Predefined/Map...",
    "Predefined/Peaks map...",
    "Predefined/Box",
    "Predefined/Map from image...",
    "Predefined/Quadrilateral",
    "Predefined/Quad-mesh/box",
    "Predefined/Quad-mesh/mushroom...",
    "Predefined/Pathologic...",
    "Window/New Window",
    "Window/Cascade",
    "Window/Tile horizontally",
    "Window/Tile vertically",
    "Window/Arrange Icons",
    "Window/Multi view...",
    "Window/Spline...",
    "Window/AVI/Init",
    "Window/AVI/Add frame",
    "Window/AVI/Write",
    "Window/AVI/Resize 4/3",
    "Debug/Highlight next vertex",
    "Debug/Highlight next face",
    "Debug/Highlight vertex to collapse",
    "Debug/Highlight next vertex to collapse",
    "Debug/Volumic metric",
    "Debug/Pseudo hash table",
    "Debug/Viewing/Push",
    "Debug/Viewing/Pop",
    "Debug/Advanced/Peaks...",
    "Debug/Advanced/Trace pos active vertex",
    "Debug/Advanced/Quad Peaks",
    "Debug/Advanced/Stack-Run/Binary expand",
    "Debug/Advanced/Multi refinement 1->3",
    "Debug/Drome/Analysis",
    "Debug/Geometry/Unquantize",
    "Debug/Arithmetic encoder/Sparse",
    "Help/About Orvex...",
};

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
    {"Alt+Backspace", "Undo"},
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

TEST(Registry, EveryItemOfTheMenuTableIsPresentWithAndWithoutAmpersands) {
  for (const char* path : kMenu129Paths) {
    const CommandInfo* info = ApplicationRegistry().FindByPath(path);
    ASSERT_NE(info, nullptr) << path;
    EXPECT_TRUE(info->menus & kMenu129) << path;
    // the stored path, ampersands included, finds the same command
    EXPECT_EQ(ApplicationRegistry().FindByPath(info->path), info) << info->path;
  }
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
  EXPECT_EQ(leaves, static_cast<int>(sizeof(kMenu129Paths) / sizeof(kMenu129Paths[0])));
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
  EXPECT_FALSE(registry.IsEnabled(*Find("Algorithms/Surface subdivision/V3/Piecewise"), &doc));
  EXPECT_FALSE(registry.IsEnabled(*Find("33026"), &doc));

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
    for (const ParamSpec& param : command->params)
      EXPECT_TRUE(labels.insert(LabelKey(param.label)).second)
          << command->Label() << ": " << param.label;
  }
}
