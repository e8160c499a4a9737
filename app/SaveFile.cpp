// COrvexDoc::SaveByExtension: ".wrl" writes the VRML 2.0 scene, ".raw" the
// binary scene; both writers go through a temporary file, so a failed save
// leaves the old file as it was. Any other extension writes nothing and the
// save fails with a message (it used to report success).

#include <cctype>

#include "app/OrvexDoc.h"
#include "app/UserInterface.h"
#include "io/WriteBinaryScene.h"
#include "io/WriteVrml.h"

static const char* const kSaveQuestion = "Save moodifications ?";

static std::string LowerTail(const std::string& path, size_t n) {
  std::string tail = path.size() < n ? path : path.substr(path.size() - n);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail;
}

int COrvexDoc::SaveByExtension(const std::string& path) {
  m_LastError.clear();
  if (!m_pUI || !m_pUI->AskYesNo(kSaveQuestion)) {
    m_LastError = "Save declined, nothing written";
    return 0;
  }
  std::string ext4 = LowerTail(path, 4);
  std::string error;
  int written = 0;
  if (ext4 == ".wrl") {
    written = WriteVRML(&m_SceneGraph, path, error);
  } else if (ext4 == ".raw") {
    written = WriteBinary(&m_SceneGraph, path, error);
  } else {
    error = "Nothing saved: use the extension .wrl (VRML 2.0) or .raw (binary scene)";
  }
  if (!written) {
    m_LastError = error;
    m_pUI->ShowMessage(error);
    return 0;
  }
  m_bModified = false;
  return 1;
}
