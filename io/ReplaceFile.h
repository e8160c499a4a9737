#pragma once

#include <cstdio>
#include <string>

// Writes a file through a temporary file in the same folder and renames it
// into place on Commit, so that a failed write never destroys the old file.
class CReplaceFile {
public:
  CReplaceFile() = default;
  CReplaceFile(const CReplaceFile&) = delete;
  CReplaceFile& operator=(const CReplaceFile&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~CReplaceFile();

  // Creates the temporary file for binary writing; 0 on failure.
  int Open(const std::string& fileName);
  // Writes size bytes; 0 on failure.
  int Write(const void* data, size_t size);
  // Closes the temporary file and renames it to the target; 0 on failure.
  int Commit();

private:
  std::string m_Target;
  std::string m_Temporary;
  FILE* m_File = nullptr;
};
