#pragma once

// A fresh, empty folder for the running test: ctest runs the tests of a
// suite side by side, so tests that write files never share a folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {

inline std::filesystem::path FreshTestFolder(const std::string& prefix) {
  std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) /
      (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

} // namespace testsupport
