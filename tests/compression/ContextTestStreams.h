#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "compression/ContextCoder.h"

// Encodes `symbols` with a context coder of alphabet n and order k into
// memory; the bytes include the closing pad byte of the bit stream.
inline std::vector<uint8_t> EncodeContext(const std::vector<int>& symbols, int n, int k,
                                          const int* counts = nullptr) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  ContextEncoder encoder;
  encoder.Init(n);
  encoder.Start(k, counts);
  for (int s : symbols) encoder.Encode(s, out);
  encoder.Finish(out);
  out.Close();
  return sink.Bytes();
}

// Skewed random symbols 0..n-1 (lower symbols likelier), fixed seed.
inline std::vector<int> SkewedSymbols(int n, size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<int> symbols(count);
  for (int& s : symbols) {
    int v = static_cast<int>(random() % (uint32_t(n) * n));
    s = n - 1 - static_cast<int>(std::sqrt(double(v)));
  }
  return symbols;
}
