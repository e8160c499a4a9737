// orvexbox-icons OUTDIR: writes the program's icon for installing, as
// OUTDIR/scalable/apps/orvexbox.svg and OUTDIR/NxN/apps/orvexbox.png for the
// sizes desktops use (a hicolor icon theme tree). Run at build time.

#include <QDir>
#include <QFile>
#include <cstdio>

#include "app/gui/ProgramIcon.h"
#include "app/install/ProgramIconShapes.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: orvexbox-icons OUTDIR\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString scalable = root + "/scalable/apps";
  if (!QDir().mkpath(scalable)) return 1;
  QFile svg(scalable + "/orvexbox.svg");
  const std::string text = orvex::IconSvg();
  if (!svg.open(QIODevice::WriteOnly) ||
      svg.write(text.data(), qint64(text.size())) != qint64(text.size()))
    return 1;
  for (int size : {64, 128, 256}) {
    const QString dir = root + QString("/%1x%1/apps").arg(size);
    if (!QDir().mkpath(dir) || !orvex::ProgramIconImage(size).save(dir + "/orvexbox.png", "PNG")) {
      std::fprintf(stderr, "orvexbox-icons: cannot write the %d px icon\n", size);
      return 1;
    }
  }
  return 0;
}
