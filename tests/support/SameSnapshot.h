#pragma once

// Comparison of two snapshots (SceneSnapshot.h, DocumentSnapshot.h) for
// gtest.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace testsupport {

// Success when both snapshots are the same, else the first line that
// differs (a snapshot of a large mesh is too long to print whole).
inline ::testing::AssertionResult SameSnapshot(const std::string& before,
                                               const std::string& after) {
  if (before == after) return ::testing::AssertionSuccess();
  std::istringstream a(before), b(after);
  std::string lineA, lineB;
  for (int line = 1;; line++) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreB = static_cast<bool>(std::getline(b, lineB));
    if (moreA && moreB && lineA == lineB) continue;
    return ::testing::AssertionFailure() << "line " << line << " was \"" << (moreA ? lineA : "")
                                         << "\", is \"" << (moreB ? lineB : "") << '"';
  }
}

} // namespace testsupport
