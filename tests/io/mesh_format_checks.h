#pragma once

// Helpers of the mesh file format tests: files from text, a mesh with a
// boundary and several components, and the comparison of a mesh read back
// with the one written.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "geometry/Mesh3d.h"
#include "geometry/SceneGraph3d.h"
#include "geometry/VertexIndexMap.h"
#include "io/ReadReport.h"
#include "tests/support/TestMeshes.h"

namespace meshformat {

inline std::string WriteTemp(const std::string& name, const std::string& content) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A grid with two holes next to a torus, in one mesh (three boundary
// loops, two components), shifted to coordinates no short decimal holds.
inline CMesh3d* MakeTwoComponents() {
  std::vector<double> xyz;
  std::vector<int> triangles;
  std::unique_ptr<CMesh3d> parts[2] = {
      std::unique_ptr<CMesh3d>(testmeshes::MakeGridWithHoles(5, 4, 2)),
      std::unique_ptr<CMesh3d>(testmeshes::MakeTorus(6, 5))};
  for (int k = 0; k < 2; k++) {
    const CMesh3d& m = *parts[k];
    const int first = static_cast<int>(xyz.size() / 3);
    for (int i = 0; i < m.NbVertex(); i++) {
      const CVertex3d* v = m.GetVertex(i);
      xyz.insert(xyz.end(), {v->x / 3.0 + 7 * k, v->y / 7.0 - 0.1, v->z + 1e-3});
    }
    const CVertexIndexMap index(m.m_ArrayVertex);
    for (int i = 0; i < m.NbFace(); i++)
      for (int c = 0; c < 3; c++) triangles.push_back(first + index.IndexOf(m.GetFace(i)->v(c)));
  }
  return testmeshes::MakeMesh(xyz, triangles);
}

// Read equals written: as many vertices, the same faces in order with
// corners at the same positions (as floats), the same boundary once the
// adjacency is rebuilt.
inline void ExpectSameMesh(const CMesh3d& written, CMesh3d& read) {
  ASSERT_EQ(read.NbVertex(), written.NbVertex());
  ASSERT_EQ(read.NbFace(), written.NbFace());
  for (int i = 0; i < written.NbFace(); i++)
    for (int c = 0; c < 3; c++) {
      const CVertex3d* a = written.GetFace(i)->v(c);
      const CVertex3d* b = read.GetFace(i)->v(c);
      ASSERT_EQ(float(a->x), float(b->x)) << "face " << i;
      ASSERT_EQ(float(a->y), float(b->y)) << "face " << i;
      ASSERT_EQ(float(a->z), float(b->z)) << "face " << i;
    }
  read.Rebuild();
  EXPECT_EQ(testmeshes::CountBoundaryEdges(&read), testmeshes::CountBoundaryEdges(&written));
}

using SceneWriter = int (*)(const CSceneGraph3d*, const std::string&, std::string&);
using FileReader = int (*)(CMesh3d*, const std::string&, CReadReport&, std::string&);
using MemoryReader = int (*)(CMesh3d*, const unsigned char*, size_t, CReadReport&, std::string&);

// Writes mesh (taken) alone into a temporary file called name, reads it
// back into read and checks that the same mesh came back with nothing to
// report. Returns the file's bytes for the format's own checks.
inline std::string ExpectRoundTrip(CMesh3d* mesh, SceneWriter write, FileReader readFile,
                                   const std::string& name, CMesh3d& read) {
  CSceneGraph3d scene;
  scene.Add(mesh);
  const std::string path = ::testing::TempDir() + name;
  std::string error;
  EXPECT_EQ(write(&scene, path, error), 1) << error;
  CReadReport report;
  EXPECT_EQ(readFile(&read, path, report, error), 1) << error;
  EXPECT_TRUE(report.Summary().empty()) << report.Summary();
  ExpectSameMesh(*mesh, read);
  return ReadAll(path);
}

// The bytes are refused with an error holding message, and nothing is read.
inline void ExpectRefused(MemoryReader readBytes, const std::string& bytes,
                          const std::string& message) {
  SCOPED_TRACE(message);
  CMesh3d mesh;
  CReadReport report;
  std::string error;
  EXPECT_EQ(readBytes(&mesh, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      report, error),
            0);
  EXPECT_NE(error.find(message), std::string::npos) << error;
  EXPECT_EQ(mesh.NbVertex(), 0);
}

} // namespace meshformat
