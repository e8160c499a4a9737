#pragma once

// The file formats the workbench knows, in one table: how a file name
// selects one, what opens it, what saves a scene in it, and which libFuzzer
// target (tests/fuzz/<target>.cpp) covers its reader. Opening, saving and
// the fuzz tests all go through this table, so a format is added in one
// place.

#include <string>
#include <vector>

#include "io/ReadReport.h"

class CMesh3d;
class CSceneGraph3d;

// Reads one mesh; 0 with error set when the file is refused.
using MeshFileReader = int (*)(CMesh3d* mesh, const std::string& fileName, CReadReport& report,
                               std::string& error);
// Reads a whole scene, appended to scene only when the file is read.
using SceneFileReader = int (*)(CSceneGraph3d* scene, const std::string& fileName,
                                CReadReport& report, std::string& error);
// Writes the scene; 0 with error set on failure.
using SceneFileWriter = int (*)(const CSceneGraph3d* scene, const std::string& fileName,
                                std::string& error);

// What opening a file of the format does.
enum class EFormatOpen {
  None,  // not opened: "Unknown file type"
  Scene, // sceneReader replaces the scene
  Mesh,  // meshReader gives the scene's only mesh
  Image, // read as a texture after the "Sampling" dialog
  Later, // a kind still to come: "<description> are not available yet"
  // a coder's file: decoded by the application layer, which knows the
  // coders (the reader is named by the fuzz target)
  Decoder,
};

struct CFileFormat {
  const char* ending;      // end of the file name: ".wrl", ".iv", "quad"
  bool caseSensitive;      // else the ending matches in any case
  const char* description; // "VRML 2.0"; for Later, the kind ("Quad meshes")
  EFormatOpen open;
  MeshFileReader meshReader;   // with EFormatOpen::Mesh
  SceneFileReader sceneReader; // with EFormatOpen::Scene
  SceneFileWriter writer;      // null when the scene cannot be saved so
  const char* fuzzTarget;      // null when no file reader parses the format

  bool Matches(const std::string& fileName) const;
};

// Every format, in the order the file name is matched against them.
const std::vector<CFileFormat>& FileFormats();
// The first format whose ending ends fileName, or null.
const CFileFormat* FindFileFormat(const std::string& fileName);

// True when name ends with tail in any case (tail given in lower case).
bool EndsWithNoCase(const std::string& name, const std::string& tail);
// "the extension .wrl (VRML 2.0) or .raw (binary scene)": the formats a
// scene can be saved in, for messages.
std::string SaveExtensionsText();
