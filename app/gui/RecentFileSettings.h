#pragma once

#include "app/RecentFileList.h"

namespace orvex {

// The recent-file list kept between runs under the profile "3D Orvexbox"
// (group "Recent File List", keys "File1" to "File10").
void LoadRecentFiles(CRecentFileList& list);
void StoreRecentFiles(const CRecentFileList& list);

} // namespace orvex
