// The GUI suite runs in one application object, under a display (Xvfb).

#include <gtest/gtest.h>

#include "app/gui/OrvexApp.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  COrvexApp::PrepareGraphics();
  COrvexApp app(argc, argv);
  return RUN_ALL_TESTS();
}
