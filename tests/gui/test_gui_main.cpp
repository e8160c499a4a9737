// The GUI suite runs in one application object, under a display (Xvfb).
// Each run gets its own settings folder, so that the tests neither read nor
// change the user's settings (recent files) and parallel runs stay apart.

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

#include "app/gui/OrvexApp.h"
#include "tests/gui/GuiTest.h"

static QString g_SettingsFolder;

QString orvex::test::SettingsFolder() {
  return g_SettingsFolder;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);

  // QSettings and QStandardPaths follow the XDG variables; they are set
  // before the application object reads them
  QTemporaryDir profile;
  if (!profile.isValid()) {
    fprintf(stderr, "cannot create a settings folder for the window tests\n");
    return 1;
  }
  g_SettingsFolder = profile.path();
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
    qputenv(name, QFile::encodeName(profile.path() + "/" + name));

  COrvexApp::PrepareGraphics();
  COrvexApp app(argc, argv);
  return RUN_ALL_TESTS();
}
