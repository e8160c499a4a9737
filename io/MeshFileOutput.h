#pragma once

// What the writers of the mesh formats (OFF, PLY, STL, OBJ) share: the mesh a
// scene saves as, the temporary file that replaces the old one only when
// everything was written, and a little-endian byte buffer.

#include <cstdint>
#include <cstring>
#include <string>

class CMesh3d;
class CReplaceFile;
class CSceneGraph3d;

// Writes the mesh into the open file; false when a write failed.
using MeshBodyWriter = bool (*)(const CMesh3d& mesh, CReplaceFile& file);

// The start of every scene writer: a scene without a mesh writes no file
// ("This scene does not contain meshes"), else the temporary file that will
// replace fileName is opened. false with error set on failure.
bool BeginSceneFile(const CSceneGraph3d* scene, const std::string& fileName, CReplaceFile& file,
                    std::string& error);

// Saves the scene's first triangle mesh (its vertices as stored, without
// the transform) through body. A scene without a mesh writes no file:
// "This scene does not contain meshes". 1 on success, else 0 and error.
int WriteFirstMesh(const CSceneGraph3d* scene, const std::string& fileName, MeshBodyWriter body,
                   std::string& error);

// True when a vertex of the mesh is not white: the writers then store the
// vertex colours.
bool AnyVertexColored(const CMesh3d& mesh);

// Bytes of the binary writers, handed to the file in large blocks; numbers
// are stored little-endian whatever the machine.
class CBinaryOutput {
public:
  explicit CBinaryOutput(CReplaceFile& file) : m_File(file) {}
  CBinaryOutput& Raw(const void* data, size_t n) {
    m_Bytes.append(static_cast<const char*>(data), n);
    return *this;
  }
  CBinaryOutput& Text(const std::string& s) { return Raw(s.data(), s.size()); }
  CBinaryOutput& U8(uint8_t v) { return Raw(&v, 1); }
  CBinaryOutput& U16LE(uint16_t v) { return Unsigned(v, 2); }
  CBinaryOutput& U32LE(uint32_t v) { return Unsigned(v, 4); }
  CBinaryOutput& F32LE(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return Unsigned(bits, 4);
  }
  // Hands the bytes to the file once a block has gathered (or always when
  // forced); false once a write failed.
  bool Flush(bool force = false);

private:
  CBinaryOutput& Unsigned(uint32_t v, int n) {
    char bytes[4];
    for (int i = 0; i < n; i++) bytes[i] = static_cast<char>((v >> (8 * i)) & 0xff);
    return Raw(bytes, static_cast<size_t>(n));
  }
  CReplaceFile& m_File;
  std::string m_Bytes;
  bool m_Failed = false;
};
