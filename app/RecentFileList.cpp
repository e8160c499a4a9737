#include "app/RecentFileList.h"

#include <algorithm>

namespace orvex {

void CRecentFileList::Add(const std::string& path) {
  if (path.empty()) return;
  Remove(path);
  m_Files.insert(m_Files.begin(), path);
  if (Size() > kMaxFiles) m_Files.resize(kMaxFiles);
}

void CRecentFileList::Remove(const std::string& path) {
  m_Files.erase(std::remove(m_Files.begin(), m_Files.end(), path), m_Files.end());
}

void CRecentFileList::Assign(const std::vector<std::string>& files) {
  m_Files.clear();
  for (const std::string& file : files) {
    if (file.empty() || std::find(m_Files.begin(), m_Files.end(), file) != m_Files.end()) continue;
    if (Size() == kMaxFiles) break;
    m_Files.push_back(file);
  }
}

std::string CRecentFileList::MenuText(int i, bool showFolders) const {
  if (i < 0 || i >= Size()) return std::string();
  std::string name = m_Files[i];
  size_t slash = name.find_last_of("/\\");
  if (!showFolders && slash != std::string::npos) name = name.substr(slash + 1);
  std::string number = i + 1 < 10 ? "&" + std::to_string(i + 1) : "1&0";
  return number + " " + name;
}

} // namespace orvex
