#pragma once

#include <string>

namespace orvex {

// Text of a menu item or dialog label as a user may type it: ampersands
// removed, runs of blanks collapsed to one, blanks at both ends dropped.
std::string StripMnemonics(const std::string& text);
// As StripMnemonics, also dropping a trailing ':' and lower-casing, so that
// "Iterations", "&Iterations" and "iterations :" compare equal.
std::string LabelKey(const std::string& label);
// A menu path with every segment normalised by StripMnemonics and then
// lower-cased: "&Algorithms/Rebuild adjacency && normals" and
// "Algorithms/rebuild adjacency & normals" give the same key.
std::string PathKey(const std::string& path);

} // namespace orvex
