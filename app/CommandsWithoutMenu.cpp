// Commands reached only by an accelerator, a button or their identifier,
// and the keys the accelerator table keeps for commands still to come.

#include "app/CommandRegistry.h"

namespace orvex {
namespace {

struct NoMenuRow {
  int id;            // 0: the registry assigns one
  const char* name;  // name of the command
  const char* title; // title of the dialog it shows, if any
  const char* keys;
  CommandTarget target;
};

constexpr CommandTarget D = CommandTarget::Document;
constexpr CommandTarget V = CommandTarget::View;
constexpr CommandTarget F = CommandTarget::Frame;
constexpr CommandTarget W = CommandTarget::Framework;

const NoMenuRow kRows[] = {
    // single-rate valence coding
    {32986, "Valence-centered encoding", "Valence-centered encoding", "Ctrl+Z", D},
    {32989, "Geometry benchmark", "", "", D},
    {32988, "Quantized mode toggle", "", "", D},
    // progressive valence coder
    {33007, "Progressive encoding", "Valence-centered Progressive Meshes", "", D},
    {33037, "Progressive decoding", "Progressive decoding", "", D},
    {33003, "Layer decoding", "", "", D},
    {33000, "Progressive geometry compression", "Valence-centered Progressive Geometry Compression",
     "", D},
    // gate coders
    {33010, "Triangle encoding", "", "", D},
    {33011, "Triangle decoding", "", "", D},
    {33018, "Quad-mesh encoding", "", "", D},
    {33019, "Quad-mesh decoding", "", "", D},
    {33020, "Quad-mesh seed study", "", "", D},
    {33024, "Polygon-mesh encoding", "", "", D},
    {33025, "Polygon-mesh decoding", "", "", D},
    {33032, "Polygon-mesh seed study", "", "", D},
    {33026, "Process distribution", "", "", D},
    // mesh structure coder
    {32897, "Mesh structure coding", "Mesh structure coding", "", D},
    {32901, "Mesh structure decoding", "", "", D},
    // wavefront unmeshing and remeshing
    {0, "Unmeshing", "Unmeshing wavefront...", "Ctrl+U", D},
    {0, "Remeshing", "", "Ctrl+B", D},
    // view, frame and framework commands
    {0, "View preset", "", "F7", V},
    {0, "Camera drag", "", "", V},
    {0, "Write PNG frames", "", "", F},
    {0, "Next pane", "", "F6", F},
    {0, "Previous pane", "", "Shift+F6", F},
    {0, "Texture map overlap increase", "", "Ctrl+Num++", F},
    {0, "Texture map overlap decrease", "", "Ctrl+Num+-", F},
    {0, "Undo", "", "", W},
    {0, "Cut", "", "Ctrl+X,Shift+Del", W},
    {0, "Paste", "", "Shift+Ins", W},
};

// Keys of commands without a menu entry whose command is not known yet.
const char* const kReservedKeys[] = {
    "Ctrl+G", "Ctrl+Shift+G", "Ctrl+P",       "Ctrl+Shift+P",
    "Q",      "Ctrl+Q",       "Ctrl+Shift+Q", "Ctrl+Alt+Shift+Q",
    "Ctrl+R", "Alt+R",        "Ctrl+Shift+R", "Ctrl+Shift+O",
};

std::vector<std::string> SplitKeys(const std::string& keys) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start < keys.size()) {
    size_t comma = keys.find(',', start);
    if (comma == std::string::npos) comma = keys.size();
    out.push_back(keys.substr(start, comma - start));
    start = comma + 1;
  }
  return out;
}

} // namespace

void RegisterCommandsWithoutMenu(CCommandRegistry& registry) {
  for (const NoMenuRow& row : kRows) {
    CommandInfo info;
    info.id = row.id;
    info.name = row.name;
    info.dialogTitle = row.title;
    info.keys = SplitKeys(row.keys);
    info.target = row.target;
    info.menus = kMenuNone;
    registry.AddOrThrow(info);
  }
  for (const char* key : kReservedKeys) registry.ReserveKey(key);
}

} // namespace orvex
