#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "compression/StackRunCoder.h"
#include "compression/ValenceEncoder.h"
#include "geometry/Mesh3d.h"
#include "tests/compression/ValenceTestMeshes.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMeshes.h"

using orvex::CValenceOptions;
using orvex::CValenceResult;
using orvex::EncodeValence;
using valencetest::MeshSnapshot;

namespace {

std::unique_ptr<CMesh3d> Own(CMesh3d* mesh) {
  return std::unique_ptr<CMesh3d>(mesh);
}

CValenceOptions NoFiles() {
  CValenceOptions options;
  options.m_PackedFile.clear();
  return options;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A closed cone: `n` base vertices around a centre (below) and an apex.
CMesh3d* MakeClosedCone(int n) {
  std::vector<double> xyz = {0, 0, 1, 0, 0, 0};
  std::vector<int> triangles;
  for (int k = 0; k < n; ++k) {
    double a = 6.283185307179586 * k / n;
    xyz.insert(xyz.end(), {std::cos(a), std::sin(a), 0.0});
    int b = 2 + k, c = 2 + (k + 1) % n;
    triangles.insert(triangles.end(), {0, b, c, 1, c, b});
  }
  return testmeshes::MakeMesh(xyz, triangles);
}

// Runs the encoder and checks that the whole mesh was reached and that the
// mesh came back unchanged.
CValenceResult EncodeAndCheckRestored(CMesh3d& mesh, CValenceOptions options) {
  MeshSnapshot before(mesh);
  CValenceResult result;
  EXPECT_EQ(EncodeValence(&mesh, options, &result), 1) << result.m_Error;
  EXPECT_TRUE(MeshSnapshot(mesh) == before) << "seed " << options.m_SeedFace;
  EXPECT_EQ(result.m_bEndedEarly, 0);
  EXPECT_TRUE(result.m_Warnings.empty()) << result.m_Warnings.front();
  for (int i = 0; i < mesh.NbVertex(); ++i) EXPECT_EQ(mesh.GetVertex(i)->m_Flag, 1) << i;
  for (int i = 0; i < mesh.NbFace(); ++i) EXPECT_EQ(mesh.GetFace(i)->m_Flag, 1) << i;
  EXPECT_EQ(result.m_Adds, mesh.NbVertex() - 3);
  return result;
}

} // namespace

TEST(ValenceEncoder, ClosedMeshesHaveNoGhostAndNoBoundaryCode) {
  for (CMesh3d* raw : {testmeshes::MakeIcoSphere(2), testmeshes::MakeTorus(12, 8)}) {
    auto mesh = Own(raw);
    CValenceResult result = EncodeAndCheckRestored(*mesh, NoFiles());
    EXPECT_EQ(result.m_bHasGhost, 0);
    EXPECT_EQ(result.m_NbVertex, mesh->NbVertex());
    EXPECT_EQ(result.m_NbFace, mesh->NbFace());
    EXPECT_EQ(std::count(result.m_Codes.begin(), result.m_Codes.end(), 0), 0);
    ASSERT_GE(result.m_Codes.size(), 3u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(result.m_Codes[k], mesh->GetFace(0)->v(k)->NbNeighbor());
  }
}

TEST(ValenceEncoder, GenusOneNeedsASplitAndAMerge) {
  auto torus = Own(testmeshes::MakeTorus(16, 10));
  CValenceResult result = EncodeAndCheckRestored(*torus, NoFiles());
  EXPECT_GE(result.m_Splits, 1);
  EXPECT_GE(result.m_Merges, 1);
  EXPECT_EQ(std::count(result.m_Codes.begin(), result.m_Codes.end(), 2), result.m_Merges);
}

TEST(ValenceEncoder, SingleTriangleStartsWithThreeThrees) {
  auto mesh = Own(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 1, 2}));
  CValenceResult result = EncodeAndCheckRestored(*mesh, NoFiles());
  ASSERT_GE(result.m_Codes.size(), 3u);
  EXPECT_EQ(std::vector<int>(result.m_Codes.begin(), result.m_Codes.begin() + 3),
            std::vector<int>({3, 3, 3}));
  EXPECT_EQ(result.m_bHasGhost, 1);
  EXPECT_EQ(result.m_NbVertex, 4);
  EXPECT_EQ(result.m_NbFace, 1);
  EXPECT_EQ(mesh->GetFace(0)->f(0), nullptr);
}

TEST(ValenceEncoder, MeshIsRestoredAfterSeveralBoundariesAndHigherGenus) {
  // four boundary loops; a torus made irregular; the grid kept with its ghost
  auto holes = Own(testmeshes::MakeGridWithHoles(9, 9, 3));
  auto torus = Own(testmeshes::MakeTorus(14, 9));
  valencetest::FlipRandomEdges(*torus, 60, 7);
  for (int seed : {0, 17, 101}) {
    CValenceOptions options = NoFiles();
    options.m_SeedFace = seed;
    CValenceResult grid = EncodeAndCheckRestored(*holes, options);
    EXPECT_EQ(grid.m_bHasGhost, 1);
    EXPECT_EQ(grid.m_NbVertex, holes->NbVertex() + 1);
    EXPECT_GE(std::count(grid.m_Codes.begin(), grid.m_Codes.end(), 0), 4);
    EncodeAndCheckRestored(*torus, options);
  }
  // without removal the ghost and its faces stay in the mesh
  CValenceOptions keep = NoFiles();
  keep.m_bRemoveGhost = 0;
  const int nv = holes->NbVertex(), nf = holes->NbFace();
  const int openEdges = testmeshes::CountBoundaryEdges(holes.get());
  CValenceResult result;
  ASSERT_EQ(EncodeValence(holes.get(), keep, &result), 1);
  EXPECT_EQ(holes->NbVertex(), nv + 1);
  EXPECT_EQ(holes->NbFace(), nf + openEdges);
  EXPECT_EQ(testmeshes::CountBoundaryEdges(holes.get()), 0);
  EXPECT_EQ(holes->GetVertex(nv)->m_Flag, 2);
}

TEST(ValenceEncoder, DeterministicConquestReachesEverything) {
  auto mesh = Own(testmeshes::MakeGridWithHoles(7, 6, 2));
  CValenceOptions options = NoFiles();
  options.m_bDeterministic = 1;
  EncodeAndCheckRestored(*mesh, options);
}

TEST(ValenceEncoder, PackedFileLayoutAndRate) {
  auto mesh = Own(testmeshes::MakeGridWithHoles(8, 8, 2));
  // a folder of the test's own: the code files are written beside the packed one
  const std::string folder = testsupport::FreshTestFolder("orvex_valence_").string() + "/";
  CValenceOptions options;
  options.m_PackedFile = folder + "valence_packed.bin";
  CValenceResult result;
  ASSERT_EQ(EncodeValence(mesh.get(), options, &result), 1) << result.m_Error;
  std::vector<uint8_t> bytes = ReadFile(options.m_PackedFile);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(result.m_ConnectivityBits, 8 * static_cast<long long>(bytes.size()));
  EXPECT_DOUBLE_EQ(result.m_ConnectivityRate,
                   (result.m_ConnectivityBits - 8) / static_cast<double>(result.m_NbVertex));

  // header: the largest code; then the codes; then exactly one pad byte
  const int largest = *std::max_element(result.m_Codes.begin(), result.m_Codes.end());
  CMemoryByteSource source(bytes);
  BitInputStream in(&source, 0);
  in.Load();
  EXPECT_EQ(static_cast<int>(in.BReadBits(8)), largest);
  ContextDecoder decoder;
  decoder.Init(largest + 1);
  ASSERT_EQ(decoder.Start(in, 0), 1);
  std::vector<int> decoded;
  int s;
  while (decoder.Decode(s, in)) decoded.push_back(s);
  ASSERT_EQ(decoder.Finish(in), 1) << decoder.Error();
  EXPECT_EQ(decoded, result.m_Codes);
  EXPECT_EQ(in.ReadByte(), 0);
  EXPECT_TRUE(in.Exhausted());
  EXPECT_FALSE(in.Overrun());

  // the code files beside it
  std::string text;
  for (int code : result.m_Codes) text += std::to_string(code) + "\n";
  std::vector<uint8_t> txt = ReadFile(folder + "codes.txt");
  EXPECT_EQ(std::string(txt.begin(), txt.end()), text);
  std::vector<uint8_t> bin = ReadFile(folder + "codes.bin");
  ASSERT_EQ(bin.size(), result.m_Codes.size());
  for (size_t i = 0; i < bin.size(); ++i) EXPECT_EQ(bin[i], result.m_Codes[i] & 0xFF);

  // the same rate without any file
  CValenceResult memory;
  ASSERT_EQ(EncodeValence(mesh.get(), NoFiles(), &memory), 1);
  EXPECT_EQ(memory.m_ConnectivityBits, result.m_ConnectivityBits);
  EXPECT_EQ(memory.m_Codes, result.m_Codes);
}

TEST(ValenceEncoder, StackRunPackingDecodesToTheCodes) {
  auto mesh = Own(testmeshes::MakeGridWithHoles(10, 7, 3));
  CValenceOptions options;
  options.m_PackedFile =
      testsupport::FreshTestFolder("orvex_valence_").string() + "/valence_stackrun.bin";
  options.m_bStackRun = 1;
  CValenceResult result;
  ASSERT_EQ(EncodeValence(mesh.get(), options, &result), 1) << result.m_Error;
  std::vector<uint8_t> bytes = ReadFile(options.m_PackedFile);
  EXPECT_EQ(result.m_ConnectivityBits, 8 * static_cast<long long>(bytes.size()));
  std::vector<int> decoded;
  ASSERT_EQ(orvex::DecodeStackRun(bytes, -6, decoded), 1);
  EXPECT_EQ(decoded, result.m_Codes);
}

TEST(ValenceEncoder, LimitZeroRunsTwoGateSteps) {
  auto mesh = Own(testmeshes::MakeIcoSphere(2));
  MeshSnapshot before(*mesh);
  CValenceOptions options = NoFiles();
  options.m_bLimitConquest = 1;
  options.m_LimitSteps = 0;
  CValenceResult result;
  ASSERT_EQ(EncodeValence(mesh.get(), options, &result), 1);
  // the seed's three valences and two adds
  EXPECT_EQ(result.m_Adds, 2);
  EXPECT_EQ(result.m_Codes.size(), 5u);
  EXPECT_EQ(result.m_Steps, 1);
  EXPECT_TRUE(MeshSnapshot(*mesh) == before);

  options.m_LimitSteps = 4; // six gate steps
  ASSERT_EQ(EncodeValence(mesh.get(), options, &result), 1);
  EXPECT_EQ(result.m_Adds, 6);
  EXPECT_EQ(result.m_Steps, 5);
}

TEST(ValenceEncoder, RefusesBadInputWithAMessage) {
  auto mesh = Own(testmeshes::MakeIcoSphere(1));
  MeshSnapshot before(*mesh);
  CValenceResult result;
  for (int seed : {-1, mesh->NbFace()}) {
    CValenceOptions options = NoFiles();
    options.m_SeedFace = seed;
    EXPECT_EQ(EncodeValence(mesh.get(), options, &result), 0);
    EXPECT_NE(result.m_Error.find("out of range"), std::string::npos) << result.m_Error;
  }
  EXPECT_TRUE(MeshSnapshot(*mesh) == before);
  EXPECT_EQ(EncodeValence(nullptr, NoFiles(), &result), 0);
  EXPECT_FALSE(result.m_Error.empty());
  CMesh3d empty;
  EXPECT_EQ(EncodeValence(&empty, NoFiles(), &result), 0);
  EXPECT_FALSE(result.m_Error.empty());
}

TEST(ValenceEncoder, LargestCodeAboveTheHeaderIsRefusedNotTruncated) {
  auto cone = Own(MakeClosedCone(300));
  MeshSnapshot before(*cone);
  CValenceResult result;
  CValenceOptions options = NoFiles();
  EXPECT_EQ(EncodeValence(cone.get(), options, &result), 0);
  EXPECT_EQ(result.m_Error, "Largest code 300 does not fit the packed file's 8-bit header");
  EXPECT_TRUE(MeshSnapshot(*cone) == before);
  // the stack-run packing has no such header
  options.m_bStackRun = 1;
  EXPECT_EQ(EncodeValence(cone.get(), options, &result), 1) << result.m_Error;
  EXPECT_GT(result.m_ConnectivityBits, 8);
}

TEST(ValenceEncoder, GeometryReconstructionAndRate) {
  // a torus around z: its frames are far from vertical, where the x/y solve
  // of the tangential parameters is well conditioned
  auto torus = Own(testmeshes::MakeTorus(30, 16, 1.0, 0.2));
  MeshSnapshot before(*torus);
  CValenceOptions options = NoFiles();
  options.m_bGeometry = 1;
  double coarse = 0.0;
  for (int bits : {4, 11}) {
    options.m_NormalBits = options.m_ParamBits = bits;
    CValenceResult result;
    ASSERT_EQ(EncodeValence(torus.get(), options, &result), 1) << result.m_Error;
    EXPECT_GT(result.m_GeometryBits, 0);
    EXPECT_DOUBLE_EQ(result.m_GeometryRate,
                     result.m_GeometryBits / static_cast<double>(torus->NbFace()));
    EXPECT_GT(result.m_Psnr, coarse + (bits == 11 ? 10.0 : 0.0)) << bits;
    EXPECT_GT(result.m_L2, 0.0);
    coarse = result.m_Psnr;
  }
  // current positions untouched; the saved ones hold the reconstruction
  MeshSnapshot after(*torus);
  for (size_t i = 0; i < before.positions.size(); i += 6)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(after.positions[i + k], before.positions[i + k]);

  // a flat mesh: the normal parameter has an empty range
  auto grid = Own(testmeshes::MakeGridWithHoles(6, 6, 1));
  for (auto normalization :
       {orvex::ValenceNormalization::Nothing, orvex::ValenceNormalization::Unitary,
        orvex::ValenceNormalization::EdgeLength, orvex::ValenceNormalization::FaceArea,
        orvex::ValenceNormalization::FacePerimeter}) {
    options.m_Normalization = normalization;
    CValenceResult result;
    ASSERT_EQ(EncodeValence(grid.get(), options, &result), 1) << result.m_Error;
    EXPECT_TRUE(std::isfinite(result.m_Psnr));
    for (int i = 0; i < grid->NbVertex(); ++i)
      EXPECT_EQ(grid->GetVertex(i)->SavedPosition().z, 0.0);
  }
}

TEST(ValenceEncoder, DegenerateInputsNeitherCrashNorChangeTheMesh) {
  auto sphere = Own(testmeshes::MakeIcoSphere(1));
  std::unique_ptr<CMesh3d> meshes[] = {
      Own(testmeshes::MakeNonManifoldFan(5)),
      Own(testmeshes::MakeSoup(sphere.get())), // every edge open, no adjacency
      Own(testmeshes::MakeMesh({0, 0, 0, 1, 0, 0, 0, 1, 0, 5, 5, 5}, {0, 1, 2, 0, 0, 1})),
  };
  for (auto& mesh : meshes) {
    MeshSnapshot before(*mesh);
    for (int seed = 0; seed < mesh->NbFace(); ++seed) {
      CValenceOptions options = NoFiles();
      options.m_SeedFace = seed;
      CValenceResult result;
      EncodeValence(mesh.get(), options, &result);
      EXPECT_TRUE(MeshSnapshot(*mesh) == before) << seed;
      EXPECT_GE(result.m_Codes.size(), 3u);
    }
  }
}
