#include "compression/BitStream.h"

#include <iostream>

namespace {

// A non-owning stream shares the caller's object without ever deleting it.
template <class T> std::shared_ptr<T> ShareStream(T* stream, int owner) {
  if (owner) return std::shared_ptr<T>(stream);
  return std::shared_ptr<T>(stream, [](T*) {});
}

void DumpStreamFields(std::ostream& os, const void* stream, int owner) {
  os << "\nPointer of the stream : " << stream << "\n";
  os << (owner ? "Owner:True\n " : "Owner:False\n ") << owner << "\n";
}

} // namespace

// ---------------------------------------------------------------- BitBuffer

void BitBuffer::Dump(std::ostream& os) const {
  os << "\nBuffer storing bit : ";
  for (int bit = 7; bit >= 0; --bit) os << (((m_Byte >> bit) & 1) ? " 1" : " 0");
  os << "\nCurrent bit position : " << m_Position << "\n";
  os << "Mask on the current bit : " << m_Mask << "\n";
  os << "Total number of bits read or write : " << m_Count << "\n";
}

// ---------------------------------------------------------- BitOutputStream

BitOutputStream::BitOutputStream(CByteSink* stream, int owner)
    : m_Stream(ShareStream(stream, owner)), m_Owner(owner) {}

void BitOutputStream::Dump(std::ostream& os) const {
  BitBuffer::Dump(os);
  DumpStreamFields(os, m_Stream.get(), m_Owner);
}

void BitOutputStream::WriteBits(uint32_t value, int count) {
  if (count > 32) count = 32;
  for (int i = 0; i < count; ++i) WriteBit((value >> i) & 1);
}

void BitOutputStream::WriteByte(uint8_t v) {
  // complete a partly written byte with 0 bits first (they count as bits)
  if (m_Position < 7) {
    PadByte();
    Flush();
  }
  PutByte(v);
  m_Count += 8;
}

void BitOutputStream::PadByte() {
  do {
    m_Byte &= static_cast<uint8_t>(~m_Mask);
  } while (!Advance());
}

int BitOutputStream::Close() {
  // with no bit pending this pads a whole byte, so a stream always ends
  // with at least one pad byte
  PadByte();
  Flush();
  return Failed() ? 0 : 1;
}

// ----------------------------------------------------------- BitInputStream

BitInputStream::BitInputStream(CByteSource* stream, int owner)
    : m_Stream(ShareStream(stream, owner)), m_Owner(owner), m_Console(&std::cerr) {}

void BitInputStream::Dump(std::ostream& os) const {
  BitBuffer::Dump(os);
  DumpStreamFields(os, m_Stream.get(), m_Owner);
}

int BitInputStream::Load() {
  m_Exhausted = false;
  LoadNext();
  return m_Exhausted ? 0 : 1;
}

int BitInputStream::ReadBitsUntilEnd(uint32_t& value, int count) {
  if (count > 32) count = 32;
  value = 0;
  int read = 0;
  // stop once the source could not deliver the byte after the last one
  while (read < count && !m_Exhausted) {
    value |= static_cast<uint32_t>(ReadBit()) << read;
    ++read;
  }
  return read;
}

uint32_t BitInputStream::BReadBits(int count) {
  uint32_t value;
  int read = ReadBitsUntilEnd(value, count);
  if (read < count && m_Console)
    *m_Console << "BReadBits: Nb bits effectively read: " << read << "\n";
  return value;
}

int BitInputStream::BReadBits(uint32_t& value, int count) {
  return ReadBitsUntilEnd(value, count);
}

uint8_t BitInputStream::ReadByte() {
  // skip what is left of a partly read byte; the last skipped bit loads
  // the next byte
  if (m_Position < 7) {
    while (m_Position != 7) ReadBit();
  }
  if (m_Exhausted) ++m_Overrun;
  uint8_t byte = m_Byte;
  LoadNext();
  m_Count += 8;
  return byte;
}
