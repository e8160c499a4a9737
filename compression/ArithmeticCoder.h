#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compression/ByteStream.h"
#include "compression/CoderStatus.h"

// Module `ac`: integer arithmetic coding with 16-bit registers after Witten,
// Neal and Cleary ("Arithmetic coding for data compression", CACM 1987):
// the interval is rescaled bit by bit, and an interval straddling the middle
// is expanded around it while "follow" bits remember the undecided output
// (bit plus follow). Bits are packed into bytes least significant first.
// Errors are recorded with the module's messages and end the coding, never
// the process.

constexpr int kAcCodeValueBits = 16;
constexpr long kAcTopValue = 65535;     // 0xFFFF
constexpr long kAcFirstQuarter = 16384; // 0x4000
constexpr long kAcHalf = 32768;         // 0x8000
constexpr long kAcThirdQuarter = 49152; // 0xC000
constexpr int kAcMaxFrequency = 16383;  // 0x3FFF

// Adaptive cumulative-frequency model. cfreq[i] is the sum of freq[j] for
// j >= i: cfreq[0] is the total and symbol s owns [cfreq[s+1], cfreq[s]).
class AcModel {
public:
  // n symbols with the given counts (n values) or all 1; `adapt` non-zero
  // updates the model after every coded symbol. Returns 0 with Error() set
  // for a total above 16383 or below 1.
  int Init(int n, const int* counts, int adapt);
  // Frees the tables; the symbol count becomes 0.
  void Done();
  // One more occurrence of s, after halving every count when the total
  // has reached the maximum.
  void Update(int s);

  int SymbolCount() const { return m_N; }
  int Adapt() const { return m_Adapt; }
  const std::vector<int>& Freq() const { return m_Freq; }
  const std::vector<int>& CumFreq() const { return m_CumFreq; }
  bool Failed() const { return m_Status.Failed(); }
  const std::string& Error() const { return m_Status.Message(); }

private:
  void AccumulateFromTop();

  int m_N = 0;
  std::vector<int> m_Freq;
  std::vector<int> m_CumFreq;
  int m_Adapt = 0;
  CCoderStatus m_Status;
};

class AcEncoder {
public:
  // Opens `fileName` for writing; with null the encoder only counts bits.
  int Init(const char* fileName);
  // Writes to the caller's sink (not owned) instead of a named file.
  int Init(CByteSink* sink);
  // Returns 0 with Error() set for a symbol outside 0..n-1, a symbol of
  // frequency 0, or an unusable model.
  int EncodeSymbol(AcModel& model, int symbol);
  // Settles the interval, writes the last byte and closes the file.
  int Done();
  // Bits emitted so far.
  uint32_t Bits() const { return m_TotalBits; }
  bool Failed() const { return m_Status.Failed(); }
  const std::string& Error() const { return m_Status.Message(); }

private:
  void Reset(CByteSink* sink);
  void OutputBit(int bit);
  void BitPlusFollow(int bit);

  std::unique_ptr<CFileByteSink> m_OwnedFile;
  CByteSink* m_File = nullptr;
  long m_Low = 0;
  long m_High = kAcTopValue;
  long m_FollowBits = 0;
  int m_Buffer = 0;
  int m_BitsToGo = 8;
  uint32_t m_TotalBits = 0;
  CCoderStatus m_Status;
};

class AcDecoder {
public:
  // Opens `fileName` and reads the first 16 bits.
  int Init(const char* fileName);
  // Reads the caller's source (not owned) instead of a named file.
  int Init(CByteSource* source);
  // Next symbol, or -1 with Error() set (bad input or model).
  int DecodeSymbol(AcModel& model);
  int Done();
  bool Failed() const { return m_Status.Failed(); }
  const std::string& Error() const { return m_Status.Message(); }

private:
  int Start(CByteSource* source);
  // Next bit; past the end of the input the bits are 0 and counted.
  int InputBit();

  std::unique_ptr<CFileByteSource> m_OwnedFile;
  CByteSource* m_File = nullptr;
  long m_Value = 0;
  long m_Low = 0;
  long m_High = kAcTopValue;
  int m_Buffer = 0;
  int m_BitsToGo = 0;
  int m_GarbageBits = 0;
  CCoderStatus m_Status;
};
