#pragma once

#include <string>
#include <vector>

namespace orvex {

// The most-recently-used files, newest first, at most kMaxFiles. A front end
// loads and stores it (the Qt program under "3D Orvexbox") and shows the
// menu texts after the "Recent File" place of the File menu.
class CRecentFileList {
public:
  static constexpr int kMaxFiles = 10;

  // Moves path to the front (it appears once); the oldest drops out.
  void Add(const std::string& path);
  void Remove(const std::string& path);
  void Clear() { m_Files.clear(); }
  int Size() const { return static_cast<int>(m_Files.size()); }
  const std::string& At(int i) const { return m_Files[i]; }
  const std::vector<std::string>& Files() const { return m_Files; }
  // Replaces the list (as loaded from settings); empty names and
  // duplicates are dropped, at most kMaxFiles kept.
  void Assign(const std::vector<std::string>& files);
  // Menu text of entry i: "&1 name" ... "1&0 name", the name without its
  // folders when showFolders is false.
  std::string MenuText(int i, bool showFolders = false) const;

private:
  std::vector<std::string> m_Files;
};

} // namespace orvex
