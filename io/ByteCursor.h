#pragma once

// A read position over the bytes of a binary file held in memory. Every
// read checks the bytes left first and never goes past the end: a read that
// does not fit fails, leaves its output zero, and marks the cursor failed,
// so that a reader can make a run of reads and test Ok() once. Nothing
// throws; counts read from a file are checked with Fits() before they size
// anything.

#include <cstddef>
#include <cstdint>
#include <cstring>

// True when the machine stores numbers least significant byte first, so
// that little-endian blocks of a file can be copied as they are.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr bool kHostIsLittleEndian = false;
#else
constexpr bool kHostIsLittleEndian = true;
#endif

class CByteCursor {
public:
  CByteCursor(const unsigned char* data, size_t size) : m_pData(data), m_Size(data ? size : 0) {}

  bool Ok() const { return !m_Failed; }
  size_t Offset() const { return m_Offset; }
  size_t Remaining() const { return m_Size - m_Offset; }

  // True when count items of itemSize bytes fit in the bytes left (the
  // product is not formed, so huge counts cannot wrap around).
  bool Fits(uint64_t count, uint64_t itemSize) const {
    return itemSize == 0 || count <= Remaining() / itemSize;
  }

  // Moves to an offset from the start (at most the end).
  bool Seek(uint64_t offset) {
    if (m_Failed || offset > m_Size) return Fail();
    m_Offset = static_cast<size_t>(offset);
    return true;
  }
  bool Skip(uint64_t n) { return n <= Remaining() ? Seek(m_Offset + n) : Fail(); }

  // The next n bytes in place (null on failure), then past them.
  const unsigned char* Block(uint64_t n) {
    if (m_Failed || n > Remaining()) {
      Fail();
      return nullptr;
    }
    const unsigned char* p = m_pData + m_Offset;
    m_Offset += static_cast<size_t>(n);
    return p;
  }
  // count items of itemSize bytes in place, checked as by Fits().
  const unsigned char* Items(uint64_t count, uint64_t itemSize) {
    if (!Fits(count, itemSize)) {
      Fail();
      return nullptr;
    }
    return Block(count * itemSize);
  }
  bool Bytes(void* out, size_t n) {
    const unsigned char* p = Block(n);
    if (p)
      std::memcpy(out, p, n);
    else if (n)
      std::memset(out, 0, n);
    return p != nullptr;
  }

  bool U8(uint8_t& v) { return Unsigned(v, 1, false); }
  bool U16LE(uint16_t& v) { return Unsigned(v, 2, false); }
  bool U16BE(uint16_t& v) { return Unsigned(v, 2, true); }
  bool U32LE(uint32_t& v) { return Unsigned(v, 4, false); }
  bool U32BE(uint32_t& v) { return Unsigned(v, 4, true); }
  bool U64LE(uint64_t& v) { return Unsigned(v, 8, false); }
  bool U64BE(uint64_t& v) { return Unsigned(v, 8, true); }
  bool I16LE(int16_t& v) { return BitsAs<uint16_t>(v, &CByteCursor::U16LE); }
  bool I16BE(int16_t& v) { return BitsAs<uint16_t>(v, &CByteCursor::U16BE); }
  bool I32LE(int32_t& v) { return BitsAs<uint32_t>(v, &CByteCursor::U32LE); }
  bool I32BE(int32_t& v) { return BitsAs<uint32_t>(v, &CByteCursor::U32BE); }
  bool F32LE(float& v) { return BitsAs<uint32_t>(v, &CByteCursor::U32LE); }
  bool F32BE(float& v) { return BitsAs<uint32_t>(v, &CByteCursor::U32BE); }
  bool F64LE(double& v) { return BitsAs<uint64_t>(v, &CByteCursor::U64LE); }
  bool F64BE(double& v) { return BitsAs<uint64_t>(v, &CByteCursor::U64BE); }

private:
  bool Fail() {
    m_Failed = true;
    return false;
  }

  template <class T> bool Unsigned(T& v, size_t n, bool bigEndian) {
    v = 0;
    const unsigned char* p = Block(n);
    if (!p) return false;
    for (size_t i = 0; i < n; i++) {
      const unsigned char byte = p[bigEndian ? i : n - 1 - i];
      v = static_cast<T>((static_cast<uint64_t>(v) << 8) | byte);
    }
    return true;
  }
  // The bit pattern of the unsigned value read as the signed or real type
  // (copied, never cast, so no value is out of range).
  template <class U, class T> bool BitsAs(T& v, bool (CByteCursor::*read)(U&)) {
    static_assert(sizeof(T) == sizeof(U), "same width");
    U bits;
    const bool ok = (this->*read)(bits);
    std::memcpy(&v, &bits, sizeof v);
    return ok;
  }

  const unsigned char* m_pData;
  size_t m_Size;
  size_t m_Offset = 0;
  bool m_Failed = false;
};
