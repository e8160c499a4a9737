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
  std::vector<uint16_t> m_Slot; // index in m_Models, or kNone (a small table to clear)
  std::deque<AcModel> m_Models;
  std::string m_Error;
};
