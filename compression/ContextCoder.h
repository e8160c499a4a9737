#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "compression/BitStream.h"
#include "compression/CoderStatus.h"
#include "compression/QuasiStaticModel.h"
#include "compression/RangeCoder.h"

// Adaptive order-k context coding: one QuasiStaticModel per context of the k
// previous symbols, driving the carry-less range coder. Symbols are 0..n-1;
// n itself is the end symbol, so every model has n + 1 symbols.

// Every model of the context coders has a total of 2^14 and a target
// rescale interval of 100.
constexpr int kContextLgTotal = 14;
constexpr int kContextTargetRescale = 100;
// n + 1 symbols must each keep a frequency of at least 1 in 2^14.
constexpr int kContextMaxAlphabet = (1 << kContextLgTotal) - 1;
// Bound on n^k; models themselves are built on first use, so memory grows
// with the contexts actually met, never beyond the coded data.
constexpr int64_t kContextMaxContexts = int64_t(1) << 20;

// Alphabet, order, history and per-context models, shared by both coders.
class ContextModelSet {
public:
  int Init(int n);
  // Checks n and k, keeps the initial counts (n + 1 values, or null) and
  // clears the history. Returns 0 with the status set when refused.
  int Start(int order, const int* initialCounts, bool decoder, CCoderStatus& status);
  // Model of the current context, built on first use; null on failure.
  QuasiStaticModel* Current(CCoderStatus& status) {
    std::unique_ptr<QuasiStaticModel>& model = m_Contexts[ContextIndex()];
    if (model) return model.get();
    return Build(model, status);
  }
  // history[i] = history[i - 1], history[0] = s.
  void Push(int s) {
    for (int i = m_Order - 1; i > 0; --i) m_History[i] = m_History[i - 1];
    if (m_Order > 0) m_History[0] = s;
  }
  void Free();

  int AlphabetSize() const { return m_N; }
  int Order() const { return m_Order; }
  bool Started() const { return m_Started; }
  const std::vector<int>& History() const { return m_History; }

private:
  // sum over i of history[i] * n^i
  size_t ContextIndex() const {
    size_t index = 0;
    for (int i = m_Order - 1; i >= 0; --i) index = index * m_N + m_History[i];
    return index;
  }
  QuasiStaticModel* Build(std::unique_ptr<QuasiStaticModel>& slot, CCoderStatus& status);

  int m_N = 0;
  int m_Order = 0;
  bool m_Decoder = false;
  bool m_Started = false;
  std::vector<int> m_History;
  std::vector<int> m_InitialCounts;
  std::vector<std::unique_ptr<QuasiStaticModel>> m_Contexts;
};

class ContextEncoder {
public:
  // Alphabet size n (symbols 0..n-1); clears the symbol count.
  int Init(int n);
  // Order k (0 = a single model); optional initial counts for the n + 1
  // symbols of every model.
  int Start(int order = 0, const int* initialCounts = nullptr);
  // Codes `symbol` in the context of the previous k symbols. Returns 0 with
  // Error() set for a symbol outside 0..n-1 or one the model gives no
  // frequency, and once any error has been recorded.
  int Encode(int symbol, BitOutputStream& out);
  // Codes the end symbol, flushes the range coder and frees the models.
  // Returns 0 when any error occurred, the output stream's included.
  int Finish(BitOutputStream& out);

  uint32_t SymbolCount() const { return m_SymbolCount; }
  int AlphabetSize() const { return m_Models.AlphabetSize(); }
  int Order() const { return m_Models.Order(); }
  bool Failed() const { return m_Status.Failed(); }
  const std::string& Error() const { return m_Status.Message(); }

private:
  int EncodeInContext(int symbol, bool update, BitOutputStream& out);

  uint32_t m_SymbolCount = 0;
  RangeEncoder m_Coder;
  ContextModelSet m_Models;
  CCoderStatus m_Status;
};

class ContextDecoder {
public:
  int Init(int n);
  // Must match the encoder's n, k and initial counts. Reads the first two
  // bytes of the range-coded data.
  int Start(BitInputStream& in, int order = 0, const int* initialCounts = nullptr);
  // 1 with the next symbol; 0 at the end symbol (the models are then left
  // as they are) and on any error (Failed() tells them apart). A truncated
  // or corrupt stream ends with an error, never with an endless loop.
  int Decode(int& symbol, BitInputStream& in);
  // Applies the end symbol (decoding it first if Decode has not met it),
  // so that data after the range-coded block is read from the right byte;
  // frees the models.
  int Finish(BitInputStream& in);
  // Optional bound on the symbols a stream may hold (end symbol excluded),
  // for callers that know their counts.
  void SetSymbolLimit(uint64_t limit) { m_SymbolLimit = limit; }

  uint32_t SymbolCount() const { return m_SymbolCount; }
  bool EndReached() const { return m_EndReached; }
  bool Failed() const { return m_Status.Failed(); }
  const std::string& Error() const { return m_Status.Message(); }

private:
  // Decodes the next symbol of the current context without applying it.
  int Peek(int& symbol, QuasiStaticModel*& model, BitInputStream& in);
  int CheckInput(const BitInputStream& in);

  uint32_t m_SymbolCount = 0;
  uint64_t m_SymbolLimit = UINT64_MAX;
  bool m_EndReached = false;
  RangeDecoder m_Coder;
  ContextModelSet m_Models;
  CCoderStatus m_Status;
};
