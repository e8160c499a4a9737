#include "compression/SparseArithmeticTest.h"

#include <chrono>
#include <thread>

#include "compression/BitStream.h"
#include "compression/ContextCoder.h"

void SparseInitialCounts(int counts[kSparseAlphabet + 1]) {
  const int share = 16384 / 129;
  int rest = 16384;
  for (int s = 1; s <= kSparseAlphabet; ++s) {
    if (s < 128)
      counts[s] = share;
    else if (s < kSparseAlphabet)
      counts[s] = 0;
    else
      counts[s] = 1;
    rest -= counts[s];
  }
  counts[0] = rest;
}

int RunSparseArithmeticTest(std::string& message, uint32_t symbolCount, const std::string& path) {
  CFileByteSink* sink = CFileByteSink::Open(path);
  if (!sink) {
    message = std::string("cannot create ") + kSparseTrialFile;
    return 0;
  }
  BitOutputStream out(sink, 1);

  // order 0 with the sparse start table
  int counts[kSparseAlphabet + 1];
  SparseInitialCounts(counts);
  ContextEncoder encoder;
  encoder.Init(kSparseAlphabet);
  if (!encoder.Start(0, counts)) {
    message = encoder.Error();
    return 0;
  }

  // code the random symbols, then finish and complete the last byte
  CRandom15 random;
  for (uint32_t i = 0; i < symbolCount; ++i) encoder.Encode(SparseSymbol(random), out);
  encoder.Finish(out);
  out.Close();
  if (encoder.Failed()) {
    message = encoder.Error();
    return 0;
  }
  if (out.Failed()) {
    message = out.Error();
    return 0;
  }
  for (int i = 0; i < 256; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  message = std::string(kSparseTrialFile) + ": " + std::to_string(symbolCount) + " symbols, " +
            std::to_string(out.BitCount() / 8) + " bytes";
  return 1;
}
