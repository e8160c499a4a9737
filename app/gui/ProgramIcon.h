#pragma once

#include <QIcon>
#include <QImage>

namespace orvex {

// The program's icon painted at size x size pixels, transparent around it.
QImage ProgramIconImage(int size);
// The window icon, at the sizes desktops ask for.
QIcon ProgramIcon();

} // namespace orvex
