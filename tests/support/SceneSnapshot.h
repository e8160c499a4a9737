#pragma once

// Everything a scene reports, as text: per object its type and what the
// user or a command can read back (modes, flags, colors), per vertex its
// position, normal, flag, tags and color, per face its flag, tag and color.
// Two snapshots are equal exactly when nothing observable changed
// (SameSnapshot.h compares them in tests).

#include <string>

class CSceneGraph3d;

namespace testsupport {

std::string SceneSnapshot(const CSceneGraph3d& scene);

} // namespace testsupport
