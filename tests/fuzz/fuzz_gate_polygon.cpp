// The gate coder's polygon file decoder on arbitrary bytes, with the
// adaptive conquest on and off (the first byte chooses).
#include <cstddef>
#include <cstdint>

#include "compression/GatePolygonFile.h"
#include "fuzz_gate_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  orvex::CGateDecoded decoded;
  std::string error;
  const int ok = orvex::ReadGatePolygonFile(data + 1, size - 1, data[0] & 1, decoded, error);
  CheckGateDecoding(ok, decoded, error);
  return 0;
}
