#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Byte sinks and sources under the bit streams and the arithmetic coder.
// The coders only need put, get, flush and a failure test; a file-backed and
// a memory-backed implementation of each let the same coder write a file or
// a buffer (tests, fuzzers, benchmarks) with the same bytes.

class CByteSink {
public:
  virtual ~CByteSink() = default;
  // Appends one byte; returns 1, or 0 when the byte could not be written.
  virtual int Put(uint8_t byte) = 0;
  // Pushes buffered bytes to their destination; returns 1, or 0 on failure.
  virtual int Flush() = 0;
};

class CByteSource {
public:
  virtual ~CByteSource() = default;
  // Next byte (0..255), or -1 at the end of the data or on a read error.
  virtual int Get() = 0;
};

// Sink writing to a binary stdio file it owns (closed on destruction).
class CFileByteSink : public CByteSink {
public:
  // Creates or truncates `path` with permission 0644; null when it cannot
  // be opened.
  static CFileByteSink* Open(const std::string& path);
  ~CFileByteSink() override;
  int Put(uint8_t byte) override;
  int Flush() override;
  // Flushes and closes the file; returns 0 when a write or the close failed.
  int Close();

private:
  explicit CFileByteSink(std::FILE* file) : m_File(file) {}
  std::FILE* m_File;
  bool m_WriteFailed = false;
};

// Sink collecting the bytes in memory.
class CMemoryByteSink : public CByteSink {
public:
  int Put(uint8_t byte) override {
    m_Bytes.push_back(byte);
    return 1;
  }
  int Flush() override { return 1; }
  const std::vector<uint8_t>& Bytes() const { return m_Bytes; }

private:
  std::vector<uint8_t> m_Bytes;
};

// Source reading a binary stdio file it owns (closed on destruction).
class CFileByteSource : public CByteSource {
public:
  // Opens `path` for reading; null when it cannot be opened.
  static CFileByteSource* Open(const std::string& path);
  ~CFileByteSource() override;
  int Get() override;

private:
  explicit CFileByteSource(std::FILE* file) : m_File(file) {}
  std::FILE* m_File;
};

// Source reading a caller's buffer, which must outlive the source.
class CMemoryByteSource : public CByteSource {
public:
  CMemoryByteSource(const uint8_t* data, size_t size) : m_Data(data), m_Size(size) {}
  explicit CMemoryByteSource(const std::vector<uint8_t>& bytes)
      : m_Data(bytes.data()), m_Size(bytes.size()) {}
  int Get() override { return m_Next < m_Size ? m_Data[m_Next++] : -1; }

private:
  const uint8_t* m_Data;
  size_t m_Size;
  size_t m_Next = 0;
};
