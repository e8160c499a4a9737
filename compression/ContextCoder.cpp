#include "compression/ContextCoder.h"

#include <string>

namespace {

constexpr uint32_t kContextTotal = 1u << kContextLgTotal;

// n^k, or -1 beyond the context bound.
int64_t ContextCount(int n, int order) {
  int64_t count = 1;
  for (int i = 0; i < order; ++i) {
    count *= n;
    if (count > kContextMaxContexts) return -1;
  }
  return count;
}

} // namespace

// ---------------------------------------------------------- ContextModelSet

int ContextModelSet::Init(int n) {
  Free();
  m_N = n;
  return 1;
}

int ContextModelSet::Start(int order, const int* initialCounts, bool decoder,
                           CCoderStatus& status) {
  Free();
  // alphabet: n + 1 model symbols in a total of 2^14; n = 0 (only the end
  // symbol) makes sense for a single context only
  if (m_N < 0 || m_N > kContextMaxAlphabet || (m_N == 0 && order > 0))
    return status.Fail("alphabet of " + std::to_string(m_N) +
                       " symbols does not fit the context coder");
  int64_t contexts = order < 0 ? -1 : ContextCount(m_N, order);
  if (contexts < 0)
    return status.Fail("order " + std::to_string(order) + " with " + std::to_string(m_N) +
                       " symbols needs too many contexts");
  m_Order = order;
  m_Decoder = decoder;
  m_History.assign(order, 0);
  m_InitialCounts.clear();
  if (initialCounts) m_InitialCounts.assign(initialCounts, initialCounts + m_N + 1);
  m_Contexts.resize(static_cast<size_t>(contexts));
  m_Started = true;
  return 1;
}

QuasiStaticModel* ContextModelSet::Build(std::unique_ptr<QuasiStaticModel>& slot,
                                         CCoderStatus& status) {
  auto model = std::make_unique<QuasiStaticModel>();
  const int* counts = m_InitialCounts.empty() ? nullptr : m_InitialCounts.data();
  if (!model->Init(m_N + 1, kContextLgTotal, kContextTargetRescale, counts, m_Decoder)) {
    status.Fail(model->Error());
    return nullptr;
  }
  slot = std::move(model);
  return slot.get();
}

void ContextModelSet::Free() {
  m_Contexts.clear();
  m_Contexts.shrink_to_fit();
  m_History.clear();
  m_Started = false;
}

// ----------------------------------------------------------- ContextEncoder

int ContextEncoder::Init(int n) {
  m_Status.Clear();
  m_SymbolCount = 0;
  return m_Models.Init(n);
}

int ContextEncoder::Start(int order, const int* initialCounts) {
  if (!m_Models.Start(order, initialCounts, false, m_Status)) return 0;
  // a bad initial table is found by building the first model
  if (!m_Models.Current(m_Status)) return 0;
  m_Coder.Start(0);
  return 1;
}

int ContextEncoder::EncodeInContext(int symbol, bool update, BitOutputStream& out) {
  QuasiStaticModel* model = m_Models.Current(m_Status);
  if (!model) return 0;
  uint32_t f, c;
  model->GetFreq(symbol, f, c);
  if (f == 0) return m_Status.Fail("symbol " + std::to_string(symbol) + " has zero frequency");
  m_Coder.EncodeShift(f, c, kContextLgTotal, out);
  if (update && !model->Update(symbol)) return m_Status.Fail(model->Error());
  ++m_SymbolCount;
  return 1;
}

int ContextEncoder::Encode(int symbol, BitOutputStream& out) {
  if (m_Status.Failed()) return 0;
  if (!m_Models.Started()) return m_Status.Fail("context encoder not started");
  if (symbol < 0 || symbol >= m_Models.AlphabetSize()) return m_Status.Fail("symbol out of range");
  if (!EncodeInContext(symbol, true, out)) return 0;
  m_Models.Push(symbol);
  return 1;
}

int ContextEncoder::Finish(BitOutputStream& out) {
  if (!m_Models.Started()) m_Status.Fail("context encoder not started");
  if (!m_Status.Failed() && EncodeInContext(m_Models.AlphabetSize(), false, out))
    m_Coder.Finish(out);
  m_Models.Free();
  if (out.Failed()) m_Status.Fail(out.Error());
  return m_Status.Failed() ? 0 : 1;
}

// ----------------------------------------------------------- ContextDecoder

int ContextDecoder::Init(int n) {
  m_Status.Clear();
  m_SymbolCount = 0;
  m_EndReached = false;
  return m_Models.Init(n);
}

int ContextDecoder::CheckInput(const BitInputStream& in) {
  if (in.Overrun()) return m_Status.Fail("truncated range-coded stream");
  if (m_Coder.Failed()) return m_Status.Fail("corrupt range-coded stream");
  return 1;
}

int ContextDecoder::Start(BitInputStream& in, int order, const int* initialCounts) {
  m_EndReached = false;
  if (!m_Models.Start(order, initialCounts, true, m_Status)) return 0;
  if (!m_Models.Current(m_Status)) return 0;
  // the encoder always holds 0 as its first byte
  int first = m_Coder.Start(in);
  if (!CheckInput(in)) return 0;
  if (first != 0) return m_Status.Fail("corrupt range-coded stream");
  return 1;
}

int ContextDecoder::Peek(int& symbol, QuasiStaticModel*& model, BitInputStream& in) {
  model = m_Models.Current(m_Status);
  if (!model) return 0;
  uint32_t cum = m_Coder.DecodeCulShift(kContextLgTotal, in);
  if (!CheckInput(in)) return 0;
  symbol = model->GetSymbol(cum);
  return 1;
}

int ContextDecoder::Decode(int& symbol, BitInputStream& in) {
  if (m_Status.Failed() || m_EndReached) return 0;
  if (!m_Models.Started()) return m_Status.Fail("context decoder not started");
  QuasiStaticModel* model;
  int s;
  if (!Peek(s, model, in)) return 0;
  // end symbol: its interval is applied by Finish
  if (s == m_Models.AlphabetSize()) {
    m_EndReached = true;
    ++m_SymbolCount;
    return 0;
  }
  if (m_SymbolCount >= m_SymbolLimit)
    return m_Status.Fail("too many symbols in range-coded stream");
  uint32_t f, c;
  model->GetFreq(s, f, c);
  m_Coder.Update(f, c, kContextTotal);
  if (!model->Update(s)) return m_Status.Fail(model->Error());
  m_Models.Push(s);
  ++m_SymbolCount;
  symbol = s;
  return 1;
}

int ContextDecoder::Finish(BitInputStream& in) {
  if (!m_Models.Started()) m_Status.Fail("context decoder not started");
  if (!m_Status.Failed() && !m_EndReached) {
    int symbol;
    if (Decode(symbol, in)) m_Status.Fail("end symbol expected");
  }
  QuasiStaticModel* model = m_Status.Failed() ? nullptr : m_Models.Current(m_Status);
  if (model) {
    uint32_t f, c;
    model->GetFreq(m_Models.AlphabetSize(), f, c);
    m_Coder.Update(f, c, kContextTotal);
    m_Coder.Finish(in);
    CheckInput(in);
  }
  m_Models.Free();
  return m_Status.Failed() ? 0 : 1;
}
