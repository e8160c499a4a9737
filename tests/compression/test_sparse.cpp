#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "compression/ContextCoder.h"
#include "compression/SparseArithmeticTest.h"

TEST(SparseArithmeticTest, WritesTrialFileThatDecodesToTheRandomSequence) {
  int counts[kSparseAlphabet + 1];
  SparseInitialCounts(counts);
  EXPECT_EQ(counts[0], 254);
  EXPECT_EQ(counts[1], 127);
  EXPECT_EQ(counts[127], 127);
  EXPECT_EQ(counts[128], 0);
  EXPECT_EQ(counts[255], 0);
  EXPECT_EQ(counts[256], 1);

  // the reference 15-bit generator: 16838, 5758, 10113 from seed 1
  CRandom15 random;
  EXPECT_EQ(random.Next(), 16838);
  EXPECT_EQ(random.Next(), 5758);
  EXPECT_EQ(random.Next(), 10113);

  // run in a scratch directory: the file goes to the current directory
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  std::string dir = ::testing::TempDir() + "sparse_test";
  mkdir(dir.c_str(), 0755);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  std::string message;
  const uint32_t count = 200000;
  int ok = RunSparseArithmeticTest(message, count);
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(kSparseTrialFile, "rb")) {
    for (int c; (c = std::getc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  std::remove(kSparseTrialFile);
  ASSERT_EQ(chdir(cwd), 0);
  ASSERT_EQ(ok, 1) << message;
  EXPECT_EQ(message, "trial.bin: 200000 symbols, " + std::to_string(bytes.size()) + " bytes");

  // range-coded data (first byte 0, byte count at the end) plus one pad byte
  ASSERT_GT(bytes.size(), 5u);
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes.back(), 0);
  size_t coded = bytes.size() - 1;
  EXPECT_EQ((size_t(bytes[coded - 3]) << 16) | (bytes[coded - 2] << 8) | bytes[coded - 1], coded);
  // below the 8 bits of a plain byte: the empty upper half costs little
  EXPECT_LT(coded * 8, size_t(count) * 8);

  CMemoryByteSource source(bytes);
  BitInputStream in(&source, 0);
  in.Load();
  ContextDecoder decoder;
  decoder.Init(kSparseAlphabet);
  ASSERT_EQ(decoder.Start(in, 0, counts), 1);
  CRandom15 replay;
  uint32_t decoded = 0;
  int s;
  while (decoder.Decode(s, in)) {
    ASSERT_EQ(s, SparseSymbol(replay)) << decoded;
    ++decoded;
  }
  EXPECT_EQ(decoded, count);
  EXPECT_EQ(decoder.Finish(in), 1);
}
