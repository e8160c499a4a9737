#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>

#include "compression/ByteStream.h"
#include "compression/CoderStatus.h"

// Class tags returned by GetType().
constexpr uint16_t kBitBufferTag = 20480;       // 0x5000
constexpr uint16_t kBitOutputStreamTag = 20485; // 0x5005
constexpr uint16_t kBitInputStreamTag = 20482;  // 0x5002

// Bit-level state shared by the two bit streams. Bits fill a byte from the
// most significant (mask 128, position 7) to the least (mask 1, position 0).
class BitBuffer {
public:
  BitBuffer() = default;
  virtual uint16_t GetType() const { return kBitBufferTag; }
  virtual bool IsKindOf(uint16_t tag) const { return tag == kBitBufferTag; }
  virtual ~BitBuffer() = default;
  virtual BitBuffer* Clone() const { return new BitBuffer(*this); }
  virtual int IsValid() const { return 1; }
  // Writes the diagnostic block: the current byte's 8 bits, position, mask
  // and bit count.
  virtual void Dump(std::ostream& os) const;

  uint8_t CurrentByte() const { return m_Byte; }
  uint32_t BitPosition() const { return m_Position; }
  uint32_t Mask() const { return m_Mask; }
  uint32_t BitCount() const { return m_Count; }

protected:
  BitBuffer(const BitBuffer&) = default;
  BitBuffer& operator=(const BitBuffer&) = default;

  // Counts one bit and moves to the next bit of the byte; returns 0 when
  // bits of the byte remain and 1 when the byte is used up (position and
  // mask then start a new byte; the byte itself is left to the caller).
  int Step() {
    ++m_Count;
    if (m_Position > 0) {
      --m_Position;
      m_Mask >>= 1;
      return 0;
    }
    m_Position = 7;
    m_Mask = 128;
    return 1;
  }

  uint8_t m_Byte = 0;
  uint32_t m_Position = 7;
  uint32_t m_Mask = 128;
  uint32_t m_Count = 0;
};

// Writes bits, fixed-width integers and whole bytes to a byte sink.
class BitOutputStream : public BitBuffer {
public:
  // Binds an open sink; with `owner` non-zero the sink is deleted when the
  // last stream sharing it (the stream and its clones) is destroyed.
  BitOutputStream(CByteSink* stream, int owner);
  uint16_t GetType() const override { return kBitOutputStreamTag; }
  bool IsKindOf(uint16_t tag) const override {
    return tag == kBitOutputStreamTag || tag == kBitBufferTag;
  }
  BitOutputStream* Clone() const override { return new BitOutputStream(*this); }
  void Dump(std::ostream& os) const override;

  // b = 0 clears and b = 1 sets the current bit; other values leave it.
  void WriteBit(int b) {
    if (b == 0)
      m_Byte &= static_cast<uint8_t>(~m_Mask);
    else if (b == 1)
      m_Byte |= static_cast<uint8_t>(m_Mask);
    Advance();
  }
  // The `count` low bits of `value`, least significant first (count 0..32).
  void WriteBits(uint32_t value, int count);
  // Moves to the next bit; a completed byte is put to the sink and cleared.
  // Returns 1 when a byte was completed.
  int Advance() {
    if (!Step()) return 0;
    PutByte(m_Byte);
    m_Byte = 0;
    return 1;
  }
  // Pads a partly written byte with 0 bits (put and flushed), then puts `v`.
  void WriteByte(uint8_t v);
  // Pads the current byte with 0 bits and puts it (a whole 0 byte when no
  // bit is pending), then flushes. Returns 0 when the sink failed.
  int Close();

  CByteSink* Stream() const { return m_Stream.get(); }
  int Owner() const { return m_Owner; }
  // The sink refused a byte or a flush.
  bool Failed() const { return m_Status.Failed(); }
  const std::string& Error() const { return m_Status.Message(); }

private:
  BitOutputStream(const BitOutputStream&) = default;
  // Writes 0 bits up to and including the end of the current byte.
  void PadByte();
  void PutByte(uint8_t byte) {
    if (!m_Stream->Put(byte)) m_Status.Fail("cannot write the bit stream");
  }
  void Flush() {
    if (!m_Stream->Flush()) m_Status.Fail("cannot write the bit stream");
  }

  std::shared_ptr<CByteSink> m_Stream;
  int m_Owner;
  CCoderStatus m_Status;
};

// Reads bits, fixed-width integers and whole bytes from a byte source. The
// next byte is always loaded ahead into the current byte. Once the source
// is exhausted the current byte is 0; consuming such a fill byte marks the
// stream as overrun, which decoders treat as a truncated stream.
class BitInputStream : public BitBuffer {
public:
  BitInputStream(CByteSource* stream, int owner);
  uint16_t GetType() const override { return kBitInputStreamTag; }
  bool IsKindOf(uint16_t tag) const override {
    return tag == kBitInputStreamTag || tag == kBitBufferTag;
  }
  BitInputStream* Clone() const override { return new BitInputStream(*this); }
  void Dump(std::ostream& os) const override;

  // Reads the first byte; returns 0 (current byte 0) when there is none.
  int Load();
  int ReadBit() {
    if (m_Exhausted) ++m_Overrun;
    int bit = (m_Byte & m_Mask) ? 1 : 0;
    if (Step()) LoadNext();
    return bit;
  }
  // Reads up to `count` bits (0..32), the first read becoming bit 0. Stops
  // after the bit that used up the last byte of the source; a short read is
  // reported on the console stream. Returns the assembled value.
  uint32_t BReadBits(int count);
  // Same reading; stores the value and returns the number of bits read.
  int BReadBits(uint32_t& value, int count);
  // Skips the rest of a partly read byte, returns the current byte and
  // loads the next one.
  uint8_t ReadByte();

  // Console stream for the short-read message (default std::cerr).
  void SetConsole(std::ostream* console) { m_Console = console; }
  CByteSource* Stream() const { return m_Stream.get(); }
  int Owner() const { return m_Owner; }
  // The source has delivered its last byte (the current byte is a fill 0).
  bool Exhausted() const { return m_Exhausted; }
  // Bits or bytes were consumed past the end of the source.
  bool Overrun() const { return m_Overrun > 0; }

private:
  BitInputStream(const BitInputStream&) = default;
  void LoadNext() {
    int c = m_Exhausted ? -1 : m_Stream->Get();
    m_Exhausted = c < 0;
    m_Byte = m_Exhausted ? 0 : static_cast<uint8_t>(c);
  }
  int ReadBitsUntilEnd(uint32_t& value, int count);

  std::shared_ptr<CByteSource> m_Stream;
  int m_Owner;
  bool m_Exhausted = false;
  uint32_t m_Overrun = 0;
  std::ostream* m_Console;
};
