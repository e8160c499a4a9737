#pragma once

#include <cstddef>
#include <string>

#include "io/ReadReport.h"

class CSceneGraph3d;

// Reads VRML 2.0 scenes: the files the system writes and those of common
// modelling, scanning and CAD tools. Every Shape whose geometry is an
// IndexedFaceSet becomes one CMesh3d with its material (diffuseColor,
// ambientIntensity, specularColor, shininess), its image texture, texture
// coordinates and vertex or face colors. Faces with more than three corners
// are split as a fan. A Shape under exactly one Transform (without center)
// takes that transform as its own; under nested Transforms, or one with a
// center, the combined transform is applied to the vertices. Grouping nodes
// are entered, DEF/USE is followed, every other node is skipped.
//
// Checks: a syntax error, a truncated body or a coordinate list that is not
// made of whole triples refuses the file (0, error "line N: ..."), and the
// scene keeps what it had. Faces with an index outside the point list are
// skipped, Shapes without faces give no mesh, texture coordinates that do
// not match the faces are dropped; all are counted in the report.
class CVrmlParser {
public:
  // 1 when the file was read (even without meshes); meshes and new
  // textures are appended to the scene only then.
  int Load(const std::string& fileName, CSceneGraph3d* scene);
  // Same from memory; texture urls are relative to baseFolder (if any).
  int LoadFromMemory(const char* data, size_t size, CSceneGraph3d* scene,
                     const std::string& baseFolder = std::string());

  const std::string& GetError() const { return m_Error; }
  const CReadReport& GetReport() const { return m_Report; }
  // When 0, textures are named but their image files are not read.
  int m_ReadTextureFiles = 1;

private:
  std::string m_Error;
  CReadReport m_Report;
};
