#pragma once

#include <cstdint>

// Fixed 15-bit pseudo-random generator standing in for the C run-time's
// rand(): the linear congruential recurrence of the C library's reference
// implementation (state = state * 1103515245 + 12345, output bits 16..30),
// so that every machine draws the same sequence. Next() returns 0..32767;
// a fresh generator starts from seed 1, as rand() does before any srand().
class CRandom15 {
public:
  static constexpr int kMax = 32767;

  explicit CRandom15(uint32_t seed = 1) : m_State(seed) {}
  void Seed(uint32_t seed) { m_State = seed; }
  int Next() {
    m_State = m_State * 1103515245u + 12345u;
    return static_cast<int>((m_State / 65536u) % 32768u);
  }

private:
  uint32_t m_State;
};
