#include "compression/ArithmeticCoder.h"

#include <new>

namespace {
// Reads past the end of the input tolerated before the input is bad: the
// decoder looks ahead by up to 16 bits beyond what the encoder wrote.
constexpr int kAcMaxGarbage = kAcCodeValueBits - 2;
} // namespace

// ------------------------------------------------------------------ AcModel

void AcModel::AccumulateFromTop() {
  m_CumFreq[m_N] = 0;
  for (int i = m_N - 1; i >= 0; --i) m_CumFreq[i] = m_CumFreq[i + 1] + m_Freq[i];
}

int AcModel::Init(int n, const int* counts, int adapt) {
  Done();
  m_Status.Clear();
  m_Adapt = adapt;
  // the total of a uniform start is n: the same cap applies
  if (n < 1 || n > kAcMaxFrequency)
    return m_Status.Fail("arithmetic coder model max frequency exceeded");
  try {
    m_Freq.assign(n, 1);
    m_CumFreq.assign(n + 1, 0);
  } catch (const std::bad_alloc&) {
    return m_Status.Fail("arithmetic coder model allocation failure");
  }
  if (counts) {
    for (int i = 0; i < n; ++i) {
      if (counts[i] < 0) {
        Done();
        return m_Status.Fail("arithmetic coder model has a negative frequency");
      }
      // checked one by one so that the sum cannot overflow
      if (counts[i] > kAcMaxFrequency) {
        Done();
        return m_Status.Fail("arithmetic coder model max frequency exceeded");
      }
      m_Freq[i] = counts[i];
    }
  }
  m_N = n;
  AccumulateFromTop();
  int total = m_CumFreq[0];
  if (total > kAcMaxFrequency) {
    Done();
    return m_Status.Fail("arithmetic coder model max frequency exceeded");
  }
  // a model without any frequency cannot code a symbol
  if (total < 1) {
    Done();
    return m_Status.Fail("arithmetic coder model has no frequency");
  }
  return 1;
}

void AcModel::Done() {
  m_Freq.clear();
  m_CumFreq.clear();
  m_N = 0;
}

void AcModel::Update(int s) {
  // halve (rounding up, so no count drops from 1 to 0) at the maximum total
  if (m_CumFreq[0] == kAcMaxFrequency) {
    for (int i = 0; i < m_N; ++i) m_Freq[i] = (m_Freq[i] + 1) / 2;
    AccumulateFromTop();
  }
  m_Freq[s] += 1;
  for (int i = s; i >= 0; --i) m_CumFreq[i] += 1;
}

// ---------------------------------------------------------------- AcEncoder

void AcEncoder::Reset(CByteSink* sink) {
  m_Status.Clear();
  m_File = sink;
  m_Low = 0;
  m_High = kAcTopValue;
  m_FollowBits = 0;
  m_Buffer = 0;
  m_BitsToGo = 8;
  m_TotalBits = 0;
}

int AcEncoder::Init(const char* fileName) {
  m_OwnedFile.reset(fileName ? CFileByteSink::Open(fileName) : nullptr);
  Reset(m_OwnedFile.get());
  if (fileName && !m_OwnedFile) return m_Status.Fail("arithmetic encoder could not open file");
  return 1;
}

int AcEncoder::Init(CByteSink* sink) {
  m_OwnedFile.reset();
  Reset(sink);
  return 1;
}

void AcEncoder::OutputBit(int bit) {
  // bits enter the byte from the top, so the first one ends at bit 0
  m_Buffer >>= 1;
  if (bit) m_Buffer |= 0x80;
  --m_BitsToGo;
  ++m_TotalBits;
  if (m_BitsToGo == 0) {
    if (m_File && !m_File->Put(static_cast<uint8_t>(m_Buffer)))
      m_Status.Fail("arithmetic encoder could not write file");
    m_BitsToGo = 8;
  }
}

void AcEncoder::BitPlusFollow(int bit) {
  OutputBit(bit);
  for (; m_FollowBits > 0; --m_FollowBits) OutputBit(!bit);
}

int AcEncoder::EncodeSymbol(AcModel& model, int symbol) {
  if (m_Status.Failed()) return 0;
  if (symbol < 0 || symbol >= model.SymbolCount()) return m_Status.Fail("symbol out of range");
  const std::vector<int>& cfreq = model.CumFreq();
  // an empty interval would never be settled
  if (cfreq[symbol] == cfreq[symbol + 1]) return m_Status.Fail("symbol has zero frequency");

  // narrow the interval to the symbol's share
  long range = m_High - m_Low + 1;
  m_High = m_Low + (range * cfreq[symbol]) / cfreq[0] - 1;
  m_Low = m_Low + (range * cfreq[symbol + 1]) / cfreq[0];

  // emit the settled leading bits and expand the interval
  for (;;) {
    if (m_High < kAcHalf) {
      BitPlusFollow(0);
    } else if (m_Low >= kAcHalf) {
      BitPlusFollow(1);
      m_Low -= kAcHalf;
      m_High -= kAcHalf;
    } else if (m_Low >= kAcFirstQuarter && m_High < kAcThirdQuarter) {
      ++m_FollowBits;
      m_Low -= kAcFirstQuarter;
      m_High -= kAcFirstQuarter;
    } else {
      break;
    }
    m_Low = 2 * m_Low;
    m_High = 2 * m_High + 1;
  }
  if (model.Adapt()) model.Update(symbol);
  return m_Status.Failed() ? 0 : 1;
}

int AcEncoder::Done() {
  // two more bits select a point inside the final interval whatever the
  // decoder reads after them
  ++m_FollowBits;
  BitPlusFollow(m_Low < kAcFirstQuarter ? 0 : 1);
  if (m_File) {
    if (!m_File->Put(static_cast<uint8_t>(m_Buffer >> m_BitsToGo)) || !m_File->Flush())
      m_Status.Fail("arithmetic encoder could not write file");
    if (m_OwnedFile && !m_OwnedFile->Close())
      m_Status.Fail("arithmetic encoder could not write file");
  }
  m_OwnedFile.reset();
  m_File = nullptr;
  return m_Status.Failed() ? 0 : 1;
}

// ---------------------------------------------------------------- AcDecoder

int AcDecoder::Start(CByteSource* source) {
  m_Status.Clear();
  m_File = source;
  m_BitsToGo = 0;
  m_GarbageBits = 0;
  m_Value = 0;
  for (int i = 0; i < kAcCodeValueBits; ++i) m_Value = 2 * m_Value + InputBit();
  m_Low = 0;
  m_High = kAcTopValue;
  return m_Status.Failed() ? 0 : 1;
}

int AcDecoder::Init(const char* fileName) {
  m_OwnedFile.reset(fileName ? CFileByteSource::Open(fileName) : nullptr);
  if (!m_OwnedFile) {
    m_File = nullptr;
    m_Status.Clear();
    return m_Status.Fail("arithmetic decoder could not open file");
  }
  return Start(m_OwnedFile.get());
}

int AcDecoder::Init(CByteSource* source) {
  m_OwnedFile.reset();
  if (!source) {
    m_Status.Clear();
    return m_Status.Fail("arithmetic decoder could not open file");
  }
  return Start(source);
}

int AcDecoder::InputBit() {
  if (m_BitsToGo == 0) {
    int c = m_File ? m_File->Get() : -1;
    if (c < 0) {
      c = 0;
      ++m_GarbageBits;
      if (m_GarbageBits > kAcMaxGarbage) m_Status.Fail("arithmetic decoder bad input file");
    }
    m_Buffer = c;
    m_BitsToGo = 8;
  }
  int bit = m_Buffer & 1;
  m_Buffer >>= 1;
  --m_BitsToGo;
  return bit;
}

int AcDecoder::DecodeSymbol(AcModel& model) {
  if (m_Status.Failed()) return -1;
  int n = model.SymbolCount();
  if (n < 1) return m_Status.Fail("symbol out of range") - 1;
  const std::vector<int>& cfreq = model.CumFreq();

  // find the symbol whose share holds the value
  long range = m_High - m_Low + 1;
  long cum = ((m_Value - m_Low + 1) * cfreq[0] - 1) / range;
  if (cum < 0 || cum >= cfreq[0]) return m_Status.Fail("symbol out of range") - 1;
  int symbol = 0;
  while (symbol < n && cfreq[symbol + 1] > cum) ++symbol;
  if (symbol >= n) return m_Status.Fail("symbol out of range") - 1;

  // narrow and expand exactly as the encoder did
  m_High = m_Low + (range * cfreq[symbol]) / cfreq[0] - 1;
  m_Low = m_Low + (range * cfreq[symbol + 1]) / cfreq[0];
  for (;;) {
    if (m_High < kAcHalf) {
      // nothing to subtract
    } else if (m_Low >= kAcHalf) {
      m_Value -= kAcHalf;
      m_Low -= kAcHalf;
      m_High -= kAcHalf;
    } else if (m_Low >= kAcFirstQuarter && m_High < kAcThirdQuarter) {
      m_Value -= kAcFirstQuarter;
      m_Low -= kAcFirstQuarter;
      m_High -= kAcFirstQuarter;
    } else {
      break;
    }
    m_Low = 2 * m_Low;
    m_High = 2 * m_High + 1;
    m_Value = 2 * m_Value + InputBit();
  }
  if (model.Adapt()) model.Update(symbol);
  return m_Status.Failed() ? -1 : symbol;
}

int AcDecoder::Done() {
  m_OwnedFile.reset();
  m_File = nullptr;
  return m_Status.Failed() ? 0 : 1;
}
