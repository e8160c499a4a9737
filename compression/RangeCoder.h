#pragma once

#include <cstdint>

#include "compression/BitStream.h"

// Carry-less byte-oriented range coder with 32-bit registers: range coding
// after G. N. N. Martin (1979) in M. Schindler's formulation, where a
// possible carry is resolved by holding back one byte plus a count of
// pending 0xFF bytes instead of propagating it through written output.
// Every byte goes through BitOutputStream::WriteByte / BitInputStream::
// ReadByte, so range-coded data can sit between plain bit fields.

constexpr uint32_t kRangeTopValue = 0x80000000u;    // 2^31
constexpr uint32_t kRangeBottomValue = 0x00800000u; // 2^23
constexpr int kRangeShiftBits = 23;
constexpr int kRangeExtraBits = 7;

class RangeEncoder {
public:
  // low 0, range 2^31; `firstByte` is held as the first byte of the output.
  void Start(uint8_t firstByte = 0);
  // Codes the interval [c, c + f) of a total of 2^shift. The last interval
  // of the table (c + f = 2^shift) also takes the rounding remainder.
  void EncodeShift(uint32_t f, uint32_t c, int shift, BitOutputStream& out) {
    Normalize(out);
    uint32_t r = m_Range >> shift;
    uint32_t t = r * c;
    if ((c + f) >> shift)
      m_Range -= t;
    else
      m_Range = r * f;
    m_Low += t;
  }
  // Writes the held bytes, the final byte of low and the byte count (bits
  // 16-23, 8-15, 0-7); returns the byte count.
  uint32_t Finish(BitOutputStream& out);

  uint32_t Low() const { return m_Low; }
  uint32_t Range() const { return m_Range; }
  uint32_t Help() const { return m_Help; }
  uint32_t Buffer() const { return m_Buffer; }
  uint32_t ByteCount() const { return m_ByteCount; }

private:
  void Normalize(BitOutputStream& out) {
    while (m_Range <= kRangeBottomValue) ShiftByte(out);
  }
  // One normalisation step: settles the held byte when no carry can reach
  // it any more, then scales low and range by 256.
  void ShiftByte(BitOutputStream& out);
  // Writes the held byte (plus `carry`) and the pending bytes, which are
  // 0xFF without a carry and 0x00 with one.
  void ReleaseHeld(uint32_t carry, BitOutputStream& out);

  uint32_t m_Low = 0;
  uint32_t m_Range = kRangeTopValue;
  uint32_t m_Help = 0; // pending 0xFF / 0x00 bytes
  uint32_t m_Buffer = 0;
  uint32_t m_ByteCount = 0;
};

class RangeDecoder {
public:
  // Discards the encoder's first byte (returned) and loads the next one.
  int Start(BitInputStream& in);
  // Cumulative value of the next symbol in a total of 2^shift.
  uint32_t DecodeCulShift(int shift, BitInputStream& in) {
    Normalize(in);
    m_Help = m_Range >> shift;
    uint32_t t = m_Low / m_Help;
    return (t >> shift) ? (1u << shift) - 1 : t;
  }
  // Removes the decoded symbol's interval [c, c + f) of `total`.
  void Update(uint32_t f, uint32_t c, uint32_t total) {
    uint32_t t = m_Help * c;
    m_Low -= t;
    if (c + f < total)
      m_Range = m_Help * f;
    else
      m_Range -= t;
  }
  void Finish(BitInputStream& in) { Normalize(in); }
  // A range of 0 was met: only a corrupt model or stream leads there.
  bool Failed() const { return m_Failed; }

  uint32_t Low() const { return m_Low; }
  uint32_t Range() const { return m_Range; }
  uint32_t Help() const { return m_Help; }
  uint32_t Buffer() const { return m_Buffer; }
  uint32_t ByteCount() const { return m_ByteCount; }

private:
  void Normalize(BitInputStream& in) {
    while (m_Range <= kRangeBottomValue) ShiftByte(in);
  }
  void ShiftByte(BitInputStream& in);

  uint32_t m_Low = 0;
  uint32_t m_Range = 0;
  uint32_t m_Help = 0; // range / total of the symbol being decoded
  uint32_t m_Buffer = 0;
  uint32_t m_ByteCount = 0;
  bool m_Failed = false;
};
