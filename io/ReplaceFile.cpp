#include "io/ReplaceFile.h"

#include <unistd.h>

CReplaceFile::~CReplaceFile() {
  if (m_File) std::fclose(m_File);
  if (!m_Temporary.empty()) std::remove(m_Temporary.c_str());
}

int CReplaceFile::Open(const std::string& fileName) {
  if (fileName.empty()) return 0;
  m_Target = fileName;
  m_Temporary = fileName + ".tmp" + std::to_string(static_cast<long>(getpid()));
  m_File = std::fopen(m_Temporary.c_str(), "wb");
  if (!m_File) m_Temporary.clear();
  return m_File != nullptr;
}

int CReplaceFile::Write(const void* data, size_t size) {
  if (!m_File) return 0;
  return size == 0 || std::fwrite(data, 1, size, m_File) == size;
}

int CReplaceFile::Commit() {
  if (!m_File) return 0;
  const int closed = std::fclose(m_File) == 0;
  m_File = nullptr;
  if (!closed || std::rename(m_Temporary.c_str(), m_Target.c_str()) != 0) return 0;
  m_Temporary.clear();
  return 1;
}
