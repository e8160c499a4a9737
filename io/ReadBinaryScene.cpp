#include "io/ReadBinaryScene.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "io/AppendElements.h"
#include "io/ByteCursor.h"
#include "io/MeshBuilder.h"
#include "io/TextFile.h"

// transform (10 floats) and the two counts
static const uint64_t kRecordHeaderSize = 48;
// three floats a vertex, three int32 corners a face
static const uint64_t kItemSize = 12;

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

// Three little-endian 32-bit values at p.
template <class T> static void Load3(const unsigned char* p, T out[3]) {
  if (kHostIsLittleEndian) {
    std::memcpy(out, p, 3 * sizeof(T));
    return;
  }
  CByteCursor in(p, 3 * sizeof(T));
  for (int k = 0; k < 3; k++) {
    uint32_t bits = 0;
    in.U32LE(bits);
    std::memcpy(&out[k], &bits, sizeof(T));
  }
}

// True when every corner of the nbFace faces at corners names one of the
// nbVertex vertices.
static bool CornersAllValid(const unsigned char* corners, uint32_t nbFace, uint32_t nbVertex) {
  for (uint32_t i = 0; i < nbFace; i++, corners += kItemSize) {
    int32_t c[3];
    Load3(corners, c);
    if (uint32_t(c[0]) >= nbVertex || uint32_t(c[1]) >= nbVertex || uint32_t(c[2]) >= nbVertex)
      return false;
  }
  return true;
}

// One mesh record from the cursor into mesh (a new one) and transform;
// false with error when the record is cut short, lies about its counts or
// holds a number that is not finite.
static bool ReadRecord(CByteCursor& in, CMesh3d* mesh, CRecordTransform& transform,
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

  // vertices: the counts fit the bytes left, so both blocks are there
  const size_t vertexStart = in.Offset();
  const unsigned char* positions = in.Items(nbVertex, kItemSize);
  const unsigned char* corners = in.Items(nbFace, kItemSize);
  for (uint32_t i = 0; i < nbVertex; i++) {
    float p[3];
    Load3(positions + kItemSize * i, p);
    if (!Finite(p, 3)) {
      error = At(vertexStart + kItemSize * i) + "vertex " + std::to_string(i) +
              " is not a finite position";
      return false;
    }
  }

  // the usual record, every corner a vertex: the elements straight from the
  // file's bytes
  if (CornersAllValid(corners, nbFace, nbVertex)) {
    AppendElements(
        mesh, nbVertex,
        [positions](size_t i, void* block) {
          float p[3];
          Load3(positions + kItemSize * i, p);
          return ::new (block) CVertex3d(p[0], p[1], p[2]);
        },
        nbFace,
        [corners](size_t k, int c[3]) {
          int32_t v[3];
          Load3(corners + kItemSize * k, v);
          for (int i = 0; i < 3; i++) c[i] = v[i];
        },
        [](size_t, CFace3d*) {});
    return true;
  }

  // else the builder skips and counts the faces with a corner outside
  CMeshBuilder builder;
  builder.m_Position.resize(3 * size_t(nbVertex));
  for (uint32_t i = 0; i < nbVertex; i++)
    Load3(positions + kItemSize * i, &builder.m_Position[3 * size_t(i)]);
  builder.m_Face.reserve(nbFace);
  for (uint32_t i = 0; i < nbFace; i++) {
    int32_t c[3];
    Load3(corners + kItemSize * i, c);
    builder.AddFace(c[0], c[1], c[2], report);
  }
  builder.AppendTo(mesh);
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
    auto mesh = std::make_unique<CMesh3d>();
    CRecordTransform transform;
    if (!ReadRecord(in, mesh.get(), transform, report, error)) return 0;
    transform.ApplyTo(mesh.get());
    meshes.push_back(std::move(mesh));
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
  // a refused record leaves the mesh as it was: nothing is appended before
  // the whole record is checked
  CByteCursor in(data, size);
  CRecordTransform transform;
  if (!ReadRecord(in, mesh, transform, report, error)) return 0;
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
