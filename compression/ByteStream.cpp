#include "compression/ByteStream.h"

#include <fcntl.h>
#include <unistd.h>

CFileByteSink* CFileByteSink::Open(const std::string& path) {
  // open(2) rather than fopen so that a new file gets permission 0644
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) {
    ::close(fd);
    return nullptr;
  }
  return new CFileByteSink(file);
}

CFileByteSink::~CFileByteSink() {
  Close();
}

int CFileByteSink::Put(uint8_t byte) {
  if (!m_File || std::putc(byte, m_File) == EOF) {
    m_WriteFailed = true;
    return 0;
  }
  return 1;
}

int CFileByteSink::Flush() {
  if (!m_File || std::fflush(m_File) != 0) {
    m_WriteFailed = true;
    return 0;
  }
  return 1;
}

int CFileByteSink::Close() {
  if (!m_File) return m_WriteFailed ? 0 : 1;
  if (std::fclose(m_File) != 0) m_WriteFailed = true;
  m_File = nullptr;
  return m_WriteFailed ? 0 : 1;
}

CFileByteSource* CFileByteSource::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  return file ? new CFileByteSource(file) : nullptr;
}

CFileByteSource::~CFileByteSource() {
  std::fclose(m_File);
}

int CFileByteSource::Get() {
  int c = std::getc(m_File);
  return c == EOF ? -1 : c;
}
