// COrvexDoc::SaveByExtension: the format table (io/FormatTable.h) picks the
// writer from the end of the path: ".wrl" writes the VRML 2.0 scene, ".raw"
// the binary scene; the writers go through a temporary file, so a failed
// save leaves the old file as it was. Any other extension writes nothing
// and the save fails with a message (it used to report success).

#include "app/OrvexDoc.h"
#include "app/UserInterface.h"
#include "io/FormatTable.h"

static const char* const kSaveQuestion = "Save moodifications ?";

// The scene formats that hold triangle meshes only: a scene with quad or
// polygon meshes is refused rather than saved without them.
static bool DropsPolygons(const CFileFormat& format) {
  const std::string ending = format.ending;
  return ending == ".wrl" || ending == ".raw";
}

int COrvexDoc::SaveByExtension(const std::string& path) {
  m_LastError.clear();
  if (!m_pUI || !m_pUI->AskYesNo(kSaveQuestion)) {
    m_LastError = "Save declined, nothing written";
    return 0;
  }
  const CFileFormat* format = FindFileFormat(path);
  std::string error;
  int written = 0;
  if (format && DropsPolygons(*format) &&
      (m_SceneGraph.FindObjectOfType(TYPE_QUAD_MESH) ||
       m_SceneGraph.FindObjectOfType(TYPE_POLYGON_MESH))) {
    error = std::string("This scene holds quad or polygon meshes, which ") + format->ending +
            " cannot keep: save it as .obj";
  } else if (format && format->writer) {
    // not while a worker changes the scene
    std::lock_guard<std::mutex> lock(m_SceneLock);
    written = format->writer(&m_SceneGraph, path, error);
  } else {
    error = "Nothing saved: use " + SaveExtensionsText();
  }
  if (!written) {
    m_LastError = error;
    m_pUI->ShowMessage(error);
    return 0;
  }
  m_bModified = false;
  return 1;
}
