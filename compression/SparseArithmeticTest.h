#pragma once

#include <cstdint>
#include <string>

#include "geometry/Random15.h"

// Work of the command "&Debug/Arithmetic encoder/Sparse": codes random
// symbols 0..127 of an alphabet of 256 whose upper half has no frequency,
// with an order-0 context coder started from fixed initial counts, into
// "trial.bin" (the command puts it in the document's folder).

constexpr const char* kSparseTrialFile = "trial.bin";
constexpr uint32_t kSparseSymbolCount = 10000000;
constexpr int kSparseAlphabet = 256;

// Initial counts of the 257 model symbols: 1..127 get 16384 / 129 = 127,
// 128..255 get 0, the end symbol 1 and symbol 0 the rest (254).
void SparseInitialCounts(int counts[kSparseAlphabet + 1]);

// Symbol i of the command's sequence is rand() * 127 / 32767.
inline int SparseSymbol(CRandom15& random) {
  return random.Next() * 127 / 32767;
}

// Writes the file at path (then waits 256 times 1 ms, as the command does).
// Returns 1 with a summary in `message`, or 0 with the error in `message`;
// both name the file kSparseTrialFile.
int RunSparseArithmeticTest(std::string& message, uint32_t symbolCount = kSparseSymbolCount,
                            const std::string& path = kSparseTrialFile);
