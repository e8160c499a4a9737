#pragma once

// Everything a scene reports, as text: one line per object and aspect of
// its digest (SceneFingerprint.h), then the revision each mesh and vector
// set draws from. Two snapshots are equal exactly when nothing observable
// changed; the first differing line names the object and the aspect
// (SameSnapshot.h compares them in tests).

#include <string>

class CSceneGraph3d;

namespace testsupport {

std::string SceneSnapshot(const CSceneGraph3d& scene);

} // namespace testsupport
