#include "app/gui/RecentFileSettings.h"

#include <QSettings>

namespace orvex {

static const char* const kProfile = "3D Orvexbox";
static const char* const kGroup = "Recent File List";

static QString Key(int i) {
  return QString("File%1").arg(i + 1);
}

void LoadRecentFiles(CRecentFileList& list) {
  QSettings settings(kProfile, kProfile);
  settings.beginGroup(kGroup);
  std::vector<std::string> files;
  for (int i = 0; i < CRecentFileList::kMaxFiles; i++)
    files.push_back(settings.value(Key(i)).toString().toStdString());
  list.Assign(files);
}

void StoreRecentFiles(const CRecentFileList& list) {
  QSettings settings(kProfile, kProfile);
  settings.beginGroup(kGroup);
  for (int i = 0; i < CRecentFileList::kMaxFiles; i++) {
    if (i < list.Size())
      settings.setValue(Key(i), QString::fromStdString(list.At(i)));
    else
      settings.remove(Key(i));
  }
}

} // namespace orvex
