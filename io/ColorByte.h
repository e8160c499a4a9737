#pragma once

// A colour channel read from a file as a byte: real channels run 0..1,
// integer channels 0..255; out-of-range values clamp and NaN reads as 0.
inline unsigned char ColorChannelByte(double v, bool real) {
  const double c = real ? v * 255.0 + 0.5 : v;
  return static_cast<unsigned char>(!(c > 0.0) ? 0.0 : c >= 255.0 ? 255.0 : c);
}
