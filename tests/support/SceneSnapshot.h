#pragma once

// Everything a scene reports, as text: per object its type and what the
// user or a command can read back (modes, flags, colors), per vertex and per
// face its flag, tags and color. Two snapshots are equal exactly when
// nothing observable changed; gtest shows the lines that differ.

#include <string>

class CSceneGraph3d;

namespace testsupport {

std::string SceneSnapshot(const CSceneGraph3d& scene);

} // namespace testsupport
