#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "compression/ArithmeticCoder.h"

// Adaptive models by context, each made uniform on its first use. A model
// starts exactly as it would have been made up front, so the coded bits do
// not change, but coding pays only for the contexts it reaches: most of
// the 32,770 connectivity contexts and 768 geometry contexts never occur.
class CIsoModelSet {
public:
  // `count` (at most 65,535) contexts, none made yet. Returns 0 with a
  // message when the table cannot be had.
  int Reset(int count, std::string& error);
  // The model of `context` over `symbols` symbols; null with Error() set
  // when it cannot be made.
  AcModel* Get(int context, int symbols);
  const std::string& Error() const { return m_Error; }

private:
  static constexpr uint16_t kNone = 0xFFFF;
  static constexpr int kPageBits = 8;
  // Slots by pages of 256 contexts, a page laid out when first reached: a
  // short stream does not clear a table for every context.
  int m_Count = 0;
  std::vector<int32_t> m_PageStart; // start of each page in m_Slot, or -1
  std::vector<uint16_t> m_Slot;     // index in m_Models, or kNone
  std::deque<AcModel> m_Models;
  std::string m_Error;
};
