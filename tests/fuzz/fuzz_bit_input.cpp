// Bit input stream on arbitrary bytes: a short program (first bytes) of
// reads is run against the rest of the input. The stream must never read
// outside its source, and its counters must stay consistent.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>

#include "compression/BitStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t programSize = data[0] % 16;
  if (programSize + 1 > size) return 0;
  const uint8_t* program = data + 1;
  CMemoryByteSource source(data + 1 + programSize, size - 1 - programSize);
  BitInputStream in(&source, 0);
  std::ostringstream console;
  in.SetConsole(&console);
  int loaded = in.Load();
  if (!loaded && !in.Exhausted()) __builtin_trap();

  // run the program until the input is used up (each pass reads something)
  for (int pass = 0; pass < 64 && !in.Overrun(); ++pass) {
    for (size_t i = 0; i < programSize; ++i) {
      uint8_t op = program[i];
      uint32_t before = in.BitCount();
      uint32_t value = 0;
      switch (op % 4) {
      case 0:
        if (in.ReadBit() > 1) __builtin_trap();
        break;
      case 1: {
        int count = (op >> 2) % 33;
        value = in.BReadBits(count);
        if (count < 32 && (value >> count) != 0) __builtin_trap();
        break;
      }
      case 2: {
        int count = (op >> 2) % 33;
        int read = in.BReadBits(value, count);
        if (read < 0 || read > count || in.BitCount() - before != uint32_t(read)) __builtin_trap();
        break;
      }
      default:
        in.ReadByte();
        if (in.BitPosition() != 7) __builtin_trap();
        break;
      }
      if (in.BitCount() < before) __builtin_trap();
    }
    if (programSize == 0) break;
  }
  std::unique_ptr<BitInputStream> clone(in.Clone());
  std::ostringstream dump;
  clone->Dump(dump);
  return 0;
}
