#include "compression/RangeCoder.h"

namespace {
// Largest low whose top byte cannot receive a carry any more (0xFF << 23).
constexpr uint32_t kNoCarryLimit = 0xFFu << kRangeShiftBits;
} // namespace

// ------------------------------------------------------------- RangeEncoder

void RangeEncoder::Start(uint8_t firstByte) {
  m_Low = 0;
  m_Range = kRangeTopValue;
  m_Help = 0;
  m_Buffer = firstByte;
  m_ByteCount = 0;
}

void RangeEncoder::ReleaseHeld(uint32_t carry, BitOutputStream& out) {
  out.WriteByte(static_cast<uint8_t>(m_Buffer + carry));
  uint8_t pending = carry ? 0x00 : 0xFF;
  for (; m_Help; --m_Help) out.WriteByte(pending);
}

void RangeEncoder::ShiftByte(BitOutputStream& out) {
  if (m_Low < kNoCarryLimit) {
    // no carry can reach the held byte any more
    ReleaseHeld(0, out);
    m_Buffer = (m_Low >> kRangeShiftBits) & 0xFF;
  } else if (m_Low & kRangeTopValue) {
    // the carry has arrived: it turns the pending 0xFF bytes into 0x00
    ReleaseHeld(1, out);
    m_Buffer = (m_Low >> kRangeShiftBits) & 0xFF;
  } else {
    // top byte 0xFF: a later carry may still ripple through it
    ++m_Help;
  }
  m_Range <<= 8;
  m_Low = (m_Low << 8) & (kRangeTopValue - 1);
  ++m_ByteCount;
}

uint32_t RangeEncoder::Finish(BitOutputStream& out) {
  Normalize(out);
  m_ByteCount += 5;
  // final byte: the top of low, rounded up when the rest of low lies in the
  // upper half of what the byte count leaves undetermined
  uint32_t t = m_Low >> kRangeShiftBits;
  if ((m_Low & (kRangeBottomValue - 1)) >= (m_ByteCount >> 1)) ++t;
  ReleaseHeld(t > 0xFF ? 1 : 0, out);
  out.WriteByte(static_cast<uint8_t>(t & 0xFF));
  out.WriteByte(static_cast<uint8_t>((m_ByteCount >> 16) & 0xFF));
  out.WriteByte(static_cast<uint8_t>((m_ByteCount >> 8) & 0xFF));
  out.WriteByte(static_cast<uint8_t>(m_ByteCount & 0xFF));
  return m_ByteCount;
}

// ------------------------------------------------------------- RangeDecoder

int RangeDecoder::Start(BitInputStream& in) {
  int first = in.ReadByte();
  m_Buffer = in.ReadByte();
  m_Low = m_Buffer >> (8 - kRangeExtraBits);
  m_Range = 1u << kRangeExtraBits;
  m_Help = 0;
  m_ByteCount = 2;
  m_Failed = false;
  return first;
}

void RangeDecoder::ShiftByte(BitInputStream& in) {
  // a range of 0 would never grow again: stop with a defined state
  if (m_Range == 0) {
    m_Failed = true;
    m_Low = 0;
    m_Range = kRangeTopValue;
    return;
  }
  m_Low = (m_Low << 8) | ((m_Buffer << kRangeExtraBits) & 0xFF);
  m_Buffer = in.ReadByte();
  m_Low |= m_Buffer >> (8 - kRangeExtraBits);
  m_Range <<= 8;
  ++m_ByteCount;
}
