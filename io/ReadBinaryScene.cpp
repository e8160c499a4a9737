#include "io/ReadBinaryScene.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/ByteCursor.h"
#include "io/MeshBuilder.h"
#include "io/TextFile.h"

// transform (10 floats) and the two counts
static const uint64_t kRecordHeaderSize = 48;
// three floats a vertex, three int32 corners a face
static const uint64_t kItemSize = 12;
// little-endian numbers are copied as they are on such a machine
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
static const bool kHostIsLittleEndian = false;
#else
static const bool kHostIsLittleEndian = true;
#endif

static std::string At(size_t offset) {
  return "byte offset " + std::to_string(offset) + ": ";
}

static bool Finite(const float* v, int n) {
  for (int i = 0; i < n; i++)
    if (!std::isfinite(v[i])) return false;
  return true;
}

// The transform of a mesh record as stored: translation, rotation axis,
// angle in degrees, scale.
struct CRecordTransform {
  float t[10];
  void ApplyTo(CMesh3d* mesh) const {
    CTransform& transform = mesh->m_Transform;
    transform.m_Translation = CVector3d(t[0], t[1], t[2]);
    transform.m_RotationAxis = CVector3d(t[3], t[4], t[5]);
    transform.m_RotationAngle = t[6];
    transform.m_Scale = CVector3d(t[7], t[8], t[9]);
  }
};

// One mesh record from the cursor into builder and transform; false with
// error when the record is cut short, lies about its counts or holds a
// number that is not finite.
static bool ReadRecord(CByteCursor& in, CMeshBuilder& builder, CRecordTransform& transform,
                       CReadReport& report, std::string& error) {
  const size_t start = in.Offset();

  // transform and counts
  for (float& v : transform.t) in.F32LE(v);
  uint32_t nbVertex = 0, nbFace = 0;
  in.U32LE(nbVertex);
  in.U32LE(nbFace);
  if (!in.Ok()) {
    error = At(start) + "the mesh record is cut short";
    return false;
  }
  if (!Finite(transform.t, 10)) {
    error = At(start) + "the transform holds a number that is not finite";
    return false;
  }
  if (nbVertex > INT32_MAX || nbFace > INT32_MAX ||
      !in.Fits(uint64_t(nbVertex) + nbFace, kItemSize)) {
    error = At(start + 40) + "the record announces " + std::to_string(nbVertex) + " vertices and " +
            std::to_string(nbFace) + " faces, more than the file holds";
    return false;
  }

  // vertices: the counts fit the bytes left, so every read below succeeds
  const size_t vertexStart = in.Offset();
  builder.m_Position.resize(3 * size_t(nbVertex));
  float* p = builder.m_Position.data();
  if (kHostIsLittleEndian) {
    const unsigned char* block = in.Items(nbVertex, kItemSize);
    if (nbVertex) std::memcpy(p, block, kItemSize * nbVertex);
  } else {
    for (uint64_t i = 0; i < 3 * uint64_t(nbVertex); i++) in.F32LE(p[i]);
  }
  for (uint32_t i = 0; i < nbVertex; i++, p += 3)
    if (!Finite(p, 3)) {
      error = At(vertexStart + kItemSize * i) + "vertex " + std::to_string(i) +
              " is not a finite position";
      return false;
    }

  // faces
  builder.m_Face.reserve(nbFace);
  const unsigned char* corners = in.Items(nbFace, kItemSize);
  for (uint32_t i = 0; i < nbFace; i++, corners += kItemSize) {
    int32_t c[3];
    if (kHostIsLittleEndian) {
      std::memcpy(c, corners, sizeof c);
    } else {
      CByteCursor face(corners, kItemSize);
      for (int32_t& k : c) face.I32LE(k);
    }
    builder.AddFace(c[0], c[1], c[2], report);
  }
  return true;
}

int ReadBinarySceneFromMemory(CSceneGraph3d* scene, const unsigned char* data, size_t size,
                              CReadReport& report, std::string& error) {
  CByteCursor in(data, size);
  int32_t count = 0;
  if (!in.I32LE(count)) {
    error = "the file is too short for a binary scene (4 bytes at least)";
    return 0;
  }
  if (count < 0) {
    error = At(0) + "the object count " + std::to_string(count) + " is negative";
    return 0;
  }

  // the records, all read before the scene is touched
  std::vector<std::unique_ptr<CMesh3d>> meshes;
  while (in.Remaining() > 0) {
    if (meshes.size() >= size_t(count)) {
      error = At(in.Offset()) + "more mesh records than the " + std::to_string(count) +
              " objects the file announces";
      return 0;
    }
    CMeshBuilder builder;
    CRecordTransform transform;
    if (!ReadRecord(in, builder, transform, report, error)) return 0;
    meshes.push_back(std::make_unique<CMesh3d>());
    builder.AppendTo(meshes.back().get());
    transform.ApplyTo(meshes.back().get());
  }
  for (auto& mesh : meshes) scene->Add(mesh.release());
  return 1;
}

// The refusal of a "*.bin" file that is not a mesh record: the coders write
// files of that name too.
static const char* const kNotAMeshRecord =
    "this \".bin\" file is not a binary mesh: its size does not match the vertex and face "
    "counts of a mesh record. It is probably the output of a mesh coder (\"mesh.bin\", "
    "\"packed.bin\", \"codes.bin\", \"pos.bin\", \"topology.bin\"), which that coder's "
    "decoding command reads";

int ReadBinaryMeshFromMemory(CMesh3d* mesh, const unsigned char* data, size_t size,
                             CReadReport& report, std::string& error) {
  // a mesh record fills the file exactly
  CByteCursor head(data, size);
  uint32_t nbVertex = 0, nbFace = 0;
  head.Skip(40);
  head.U32LE(nbVertex);
  head.U32LE(nbFace);
  const bool fits = head.Ok() && (size - kRecordHeaderSize) % kItemSize == 0 &&
                    (size - kRecordHeaderSize) / kItemSize == uint64_t(nbVertex) + uint64_t(nbFace);
  if (!fits) {
    error = kNotAMeshRecord;
    return 0;
  }
  CByteCursor in(data, size);
  CMeshBuilder builder;
  CRecordTransform transform;
  if (!ReadRecord(in, builder, transform, report, error)) return 0;
  builder.AppendTo(mesh);
  transform.ApplyTo(mesh);
  return 1;
}

int ReadBinaryMesh(CMesh3d* mesh, const std::string& fileName, CReadReport& report,
                   std::string& error) {
  return ReadMeshBinaryFile(mesh, fileName, ReadBinaryMeshFromMemory, report, error);
}

int ReadBinaryScene(CSceneGraph3d* scene, const std::string& fileName, CReadReport& report,
                    std::string& error) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes, error)) return 0;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  if (!ReadBinarySceneFromMemory(scene, data, bytes.size(), report, error)) {
    error = fileName + ": " + error;
    return 0;
  }
  return 1;
}
