// The menu bars 128 (no document) and 129 (with a document): every item,
// its text as stored, its accelerators and who serves it. Handlers and
// dialogs are attached elsewhere; an item without a handler shows disabled.

#include "app/CommandRegistry.h"

namespace orvex {
namespace {

enum RowFlags : unsigned {
  kSep = 1,     // separator before the item
  kSepMenu = 2, // separator before the submenu the item opens
  kAlso128 = 4, // also on the menu bar without a document
  kCheck = 8,   // shows a check mark
  kNoDoc = 16,  // runs without a document
  kRecent = 32, // the place of the recent-file list
};

struct MenuRow {
  const char* path; // segments separated by '|' (item texts may hold '/')
  const char* keys; // accelerators separated by ','
  CommandTarget target;
  unsigned flags;
};

constexpr CommandTarget D = CommandTarget::Document;
constexpr CommandTarget V = CommandTarget::View;
constexpr CommandTarget P = CommandTarget::Panel;
constexpr CommandTarget F = CommandTarget::Frame;
constexpr CommandTarget A = CommandTarget::Application;
constexpr CommandTarget W = CommandTarget::Framework;

const MenuRow kMenuRows[] = {
    // File
    {"&File|&New", "Ctrl+N", A, kAlso128 | kNoDoc},
    {"&File|&Open...", "Ctrl+O", A, kAlso128 | kNoDoc},
    {"&File|&Close", "", D, 0},
    {"&File|&Save", "", D, 0},
    {"&File|Save &As...", "", D, 0},
    {"&File|Export|eps", "", V, kSepMenu},
    {"&File|Export|bmp", "", V, 0},
    {"&File|Export|scene to multiple iv files", "", D, 0},
    {"&File|Export|Quad mesh...", "", D, 0},
    {"&File|Export|cpt file", "", D, 0},
    {"&File|&Print...", "", W, kSep},
    {"&File|Print Pre&view", "", W, 0},
    {"&File|P&rint Setup...", "", W, kAlso128 | kNoDoc},
    {"&File|Recent File", "", A, kSep | kAlso128 | kNoDoc | kRecent},
    {"&File|E&xit", "", A, kSep | kAlso128 | kNoDoc},
    // Edit
    {"&Edit|&Copy", "Ctrl+C,Ctrl+Ins", V, 0},
    {"&Edit|&Undo", "Alt+Backspace", D, kSep},
    {"&Edit|&Redo", "Ctrl+Y", D, 0},
    {"&Edit|Window metafile|Generate MetaFile", "", V, kSepMenu},
    {"&Edit|Window metafile|Generate MetaFile (front faces only)", "", V, 0},
    {"&Edit|Window metafile|Generate MetaFile (face mode)", "E", V, 0},
    {"&Edit|Window metafile|Parameters...", "", V, kSep},
    // View
    {"&View|&Toolbar", "", F, kAlso128 | kNoDoc | kCheck},
    {"&View|&Status Bar", "", F, kAlso128 | kNoDoc | kCheck},
    {"&View|Full screen", "Ctrl+Space", F, kSep | kNoDoc | kCheck},
    // Mode
    {"&Mode|Flat", "", D, 0},
    {"&Mode|Gouraud", "", D, 0},
    {"&Mode|Line", "", D, 0},
    {"&Mode|Light", "", D, kSep | kCheck},
    {"&Mode|Highlight|Face", "Ctrl+F", D, kSepMenu | kCheck},
    {"&Mode|Highlight|Vertex", "Ctrl+V", D, kCheck},
    {"&Mode|Visual mode", "M", V, 0},
    {"&Mode|Material|Brass", "", D, kSepMenu},
    {"&Mode|Material|Pewter", "", D, 0},
    {"&Mode|Material|Light blue", "", D, 0},
    // Scene
    {"&Scene|Keep first object only", "Del", D, 0},
    {"&Scene|Duplicate|Last mesh", "", D, 0},
    {"&Scene|Add simplex mesh", "", D, 0},
    {"&Scene|&Process camera", "C", D, kSep},
    // Algorithms / Surface subdivision
    {"&Algorithms|Surface subdivision|Simple (1->4)", "", D, 0},
    {"&Algorithms|Surface subdivision|Loop|&Std", "Ctrl+L", D, 0},
    {"&Algorithms|Surface subdivision|Loop|&Adaptive|On active face", "", D, 0},
    {"&Algorithms|Surface subdivision|Loop|&Adaptive|Random", "Ctrl+Alt+Shift+P", D, 0},
    {"&Algorithms|Surface subdivision|Loop|&Adaptive|Curvature", "", D, 0},
    {"&Algorithms|Surface subdivision|Loop|&Multiple...", "", D, 0},
    {"&Algorithms|Surface subdivision|Fractal", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|&Alone", "Shift+3,Num+3", D, kSepMenu},
    {"&Algorithms|Surface subdivision|V3|&Flip edges", "Shift+4,Num+4", D, 0},
    {"&Algorithms|Surface subdivision|V3|Piecewise", "Shift+7,Num+7", D, 0},
    {"&Algorithms|Surface subdivision|V3|Fixed alpha|2/9", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|Fixed alpha|1/3", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|Parameters...", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|Regularize from surface ratios", "R", D, kSep},
    {"&Algorithms|Surface subdivision|V3|On colored silhouette|1 iter", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|On colored silhouette|4 iters", "Shift+5,Num+5", D, 0},
    {"&Algorithms|Surface subdivision|V3|On colored silhouette|4 iters (no debug)",
     "Shift+6,Ctrl+6,Num+6", D, 0},
    {"&Algorithms|Surface subdivision|V3|On colored silhouette|Parameters...", "O", D, kSep},
    {"&Algorithms|Surface subdivision|V3|History|Undo", "U", D, 0},
    {"&Algorithms|Surface subdivision|V3|History|Recursive undo", "V", D, 0},
    {"&Algorithms|Surface subdivision|V3|Interpolation|Simulate split", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|Interpolation|Simulate split && swap", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|Highlight|Vertex types", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|Highlight|Mesh control...", "", D, 0},
    {"&Algorithms|Surface subdivision|V3|Max #vertices...", "", D, kSep},
    {"&Algorithms|Surface subdivision|Quad-mesh|Kobbelt", "Ctrl+Shift+L", D, kSepMenu},
    {"&Algorithms|Surface subdivision|Quad-mesh|Catmull-Clark", "Ctrl+K", D, 0},
    // Algorithms / Surface simplification
    {"&Algorithms|Surface simplification|&Progressive mesh...", "", D, 0},
    {"&Algorithms|Surface simplification|&Volume-based metric...", "", D, 0},
    {"&Algorithms|Surface simplification|Stop volume-based metric", "", D, 0},
    {"&Algorithms|Surface simplification|Edge-based simplification...", "", D, kSep},
    {"&Algorithms|Surface simplification|Face-based simplification...", "", D, 0},
    {"&Algorithms|Surface simplification|Error accumulation...", "", D, 0},
    {"&Algorithms|Surface simplification|&Edge Collapse", "Ctrl+E", D, kSep},
    {"&Algorithms|Surface simplification|Independant edge collapse", "", D, 0},
    {"&Algorithms|Surface simplification|Vertex removals", "", D, 0},
    {"&Algorithms|Surface simplification|Keep # faces...", "", D, 0},
    {"&Algorithms|Surface simplification|Coarse progressive mesh...", "", D, 0},
    {"&Algorithms|Surface simplification|&Debug|Fast face collapses", "", D, kSepMenu},
    // Algorithms / Surface modification
    {"&Algorithms|Surface modification|Smooth", "Ctrl+W", D, 0},
    {"&Algorithms|Surface modification|Multiple smooth...", "", D, 0},
    {"&Algorithms|Surface modification|Remove faces|no neighbor", "", D, kSepMenu},
    {"&Algorithms|Surface modification|Remove faces|1 neighbor", "", D, 0},
    {"&Algorithms|Surface modification|Remove faces|2 neighbors", "", D, 0},
    {"&Algorithms|Surface modification|Remove faces|duplicate", "", D, 0},
    {"&Algorithms|Surface modification|Pack vertices|Set frequency...", "", D, 0},
    {"&Algorithms|Surface modification|Pack vertices|Multiple pack...", "", D, 0},
    {"&Algorithms|Surface modification|Spring|Adaptative...", "Num+9", D, 0},
    {"&Algorithms|Surface modification|Improve compacity", "Ctrl+I", D, 0},
    {"&Algorithms|Surface modification|Remove hole", "", D, 0},
    // Algorithms / Surface tiling, Mesh conversion
    {"&Algorithms|Surface tiling|Build...", "", D, 0},
    {"&Algorithms|Surface tiling|Optimize nodal positions...", "", D, 0},
    {"&Algorithms|Mesh conversion|Triangle -> quad", "", D, 0},
    {"&Algorithms|Mesh conversion|Polygonal -> triangle|star", "", D, 0},
    {"&Algorithms|Mesh conversion|Polygonal -> triangle|max regularity (valence 6)", "", D, 0},
    {"&Algorithms|Mesh conversion|Polygonal -> quad && triangles", "", D, 0},
    {"&Algorithms|Mesh conversion|Triangle -> polygonal", "", D, kSep},
    {"&Algorithms|Mesh conversion|Quad -> polygonal", "", D, 0},
    // Algorithms / mesh services
    {"&Algorithms|Rebuild adjacency && normals", "F5", D, kSep},
    {"&Algorithms|Cleanup", "", D, 0},
    {"&Algorithms|Check", "", D, 0},
    {"&Algorithms|Weld", "", D, 0},
    {"&Algorithms|Hash table...", "", D, 0},
    // Algorithms / Color mesh, Highlight
    {"&Algorithms|Color mesh|Curvature", "", D, kSepMenu},
    {"&Algorithms|Color mesh|Compacity", "", D, 0},
    {"&Algorithms|Color mesh|Normal space", "", D, 0},
    {"&Algorithms|Color mesh|Height", "", D, 0},
    {"&Algorithms|Color mesh|Vertices from faces", "", D, kSep},
    {"&Algorithms|Color mesh|Silhouette from current camera", "S", D, kSep},
    {"&Algorithms|Color mesh|Always color silhouette", "", V, 0},
    {"&Algorithms|Color mesh|Front faces and silhouette", "T", D, 0},
    {"&Algorithms|Color mesh|Faces|# vertex valence", "", D, kSepMenu},
    {"&Algorithms|Highlight|Removable vertices", "", D, 0},
    {"&Algorithms|Highlight|Vertices", "", D, 0},
    // Geometry
    {"&Geometry|Reset", "", V, 0},
    {"&Geometry|Speed|Rotation|Increase", "", V, 0},
    {"&Geometry|Speed|Rotation|Decrease", "", V, 0},
    {"&Geometry|Speed|Translation|Increase", "", V, 0},
    {"&Geometry|Speed|Translation|Decrease", "", V, 0},
    {"&Geometry|Swap rotation axes", "Ctrl+S", V, kCheck},
    {"&Geometry|Properties...", "", D, kSep},
    {"&Geometry|Range...", "", D, 0},
    {"&Geometry|Mean compacity", "", D, 0},
    {"&Geometry|Bidon", "", D, kSep},
    // Compression
    {"&Compression|Progressive Isosurface |Encode (Ctrl-D)", "Ctrl+D", D, 0},
    {"&Compression|Progressive Isosurface |Decode (Ctrl-Shift-D)", "Ctrl+Shift+D", D, 0},
    {"&Compression|Progressive Isosurface |Analyze ", "", D, 0},
    // Textures
    {"&Textures|Edit...", "", P, 0},
    {"&Textures|View", "", D, 0},
    {"&Textures|Map", "", F, 0},
    // Predefined
    {"&Predefined|&Map...", "", D, 0},
    {"&Predefined|&Peaks map...", "", D, 0},
    {"&Predefined|&Box", "", D, 0},
    {"&Predefined|Map from image...", "", D, 0},
    {"&Predefined|Quadrilateral", "", D, 0},
    {"&Predefined|Quad-mesh|box", "", D, kSepMenu},
    {"&Predefined|Quad-mesh|mushroom...", "", D, 0},
    {"&Predefined|Pathologic...", "", D, 0},
    // Window
    {"&Window|&New Window", "", F, 0},
    {"&Window|&Cascade", "", F, 0},
    {"&Window|Tile &horizontally", "", F, 0},
    {"&Window|Tile &vertically", "", F, 0},
    {"&Window|&Arrange Icons", "", F, 0},
    {"&Window|Multi view...", "F9", F, kSep},
    {"&Window|Spline...", "", F, 0},
    {"&Window|AVI|Init", "", F, kSepMenu},
    {"&Window|AVI|Add frame", "Ctrl+A", F, 0},
    {"&Window|AVI|Write", "", F, 0},
    {"&Window|AVI|Resize 4/3", "", F, kSep},
    // Debug
    {"&Debug|Highlight next vertex", "N", D, 0},
    {"&Debug|Highlight next face", "", D, 0},
    {"&Debug|Highlight vertex to collapse", "Ctrl+M", D, kSep},
    {"&Debug|Highlight next vertex to collapse", "", D, 0},
    {"&Debug|Volumic metric", "", D, kSep},
    {"&Debug|Pseudo hash table", "", D, 0},
    {"&Debug|Viewing|Push", "", V, kSepMenu},
    {"&Debug|Viewing|Pop", "Shift+P", V, 0},
    {"&Debug|Advanced|Peaks...", "Ctrl+F12", D, 0},
    {"&Debug|Advanced|Trace pos active vertex", "", D, 0},
    {"&Debug|Advanced|Quad Peaks", "", D, 0},
    {"&Debug|Advanced|Stack-Run|Binary expand", "", D, 0},
    {"&Debug|Advanced|Multi refinement 1->3", "", V, 0},
    {"&Debug|Drome|Analysis", "", F, 0},
    {"&Debug|Geometry|Unquantize", "", D, 0},
    {"&Debug|Arithmetic encoder|Sparse", "", D, 0},
    // Help
    {"&Help|&About Orvex...", "", A, kAlso128 | kNoDoc},
};

std::vector<std::string> Split(const char* text, char separator) {
  std::vector<std::string> parts;
  std::string current;
  for (const char* c = text; *c; c++) {
    if (*c == separator) {
      parts.push_back(current);
      current.clear();
    } else {
      current += *c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

CommandInfo InfoFromRow(const MenuRow& row) {
  CommandInfo info;
  info.menuPath = Split(row.path, '|');
  info.keys = Split(row.keys, ',');
  info.target = row.target;
  info.menus = (row.flags & kAlso128) ? kMenuBoth : kMenu129;
  info.separatorBefore = (row.flags & kSep) != 0;
  info.separatorBeforeSubmenu = (row.flags & kSepMenu) != 0;
  info.checkable = (row.flags & kCheck) != 0;
  info.needsDocument = (row.flags & kNoDoc) == 0;
  info.kind = (row.flags & kRecent) ? ItemKind::RecentFiles : ItemKind::Command;
  return info;
}

} // namespace

void RegisterMenuTree(CCommandRegistry& registry) {
  for (const MenuRow& row : kMenuRows) registry.AddOrThrow(InfoFromRow(row));
}

} // namespace orvex
