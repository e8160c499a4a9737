#include "compression/IsoVolumeFiles.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>

namespace {

constexpr size_t kMaxHeaderLine = 512;

int64_t PayloadBytes(CIsoVolumeKind kind, int64_t n) {
  return kind == CIsoVolumeKind::Potentials ? n * n * n * 4 : (n * n * n + 7) / 8;
}

// Reads exactly `size` bytes, and then checks that the input ends.
bool ReadExactly(std::istream& in, char* data, int64_t size) {
  constexpr int64_t kBlock = int64_t(1) << 24;
  for (int64_t done = 0; done < size;) {
    const int64_t part = std::min(kBlock, size - done);
    in.read(data + done, part);
    if (in.gcount() != part) return false;
    done += part;
  }
  return in.peek() == std::char_traits<char>::eof();
}

} // namespace

int IsoReadVolume(std::istream& in, CIsoVolumeKind kind, CIsoVolume& volume, std::string& error) {
  // The text line
  std::string line;
  for (int c; line.size() < kMaxHeaderLine && (c = in.get()) != std::char_traits<char>::eof();) {
    if (c == '\n') break;
    line.push_back(static_cast<char>(c));
  }
  long long n = 0;
  double origin[3], unit[3], isovalue = 0.0;
  int used = 0;
  if (std::sscanf(line.c_str(), "%lld %lf %lf %lf %lf %lf %lf %lf %n", &n, &origin[0], &origin[1],
                  &origin[2], &unit[0], &unit[1], &unit[2], &isovalue, &used) != 8 ||
      line.size() >= kMaxHeaderLine || static_cast<size_t>(used) != line.size()) {
    error = "The first line is not \"N x0 y0 z0 ux uy uz isovalue\"";
    return 0;
  }
  for (int k = 0; k < 3; ++k)
    if (!std::isfinite(origin[k]) || !std::isfinite(unit[k]) || !(unit[k] > 0.0)) {
      error = "The origin and unit sizes must be finite, the unit sizes positive";
      return 0;
    }
  if (!std::isfinite(isovalue)) {
    error = "The isovalue is not a finite number";
    return 0;
  }

  // The payload size, checked before any memory is taken when the input can
  // tell its length. A first line that ends the input leaves the stream
  // failed at its end, where it cannot tell its place: cleared, it tells
  // the end, and the empty payload is refused like any short one.
  const int64_t depth = IsoDepthOfGrid(n);
  const int64_t bytes = depth ? PayloadBytes(kind, n) : 0;
  if (in.eof()) in.clear();
  const std::streampos here = in.tellg();
  if (depth && here != std::streampos(-1)) {
    in.seekg(0, std::ios::end);
    const std::streampos end = in.tellg();
    in.seekg(here);
    if (end != std::streampos(-1) && int64_t(end - here) != bytes) {
      error = "The file does not hold exactly " + std::to_string(bytes) +
              " bytes of data after its first line";
      return 0;
    }
  }

  // The payload, straight into the new volume
  CIsoVolume fresh;
  if (!IsoAllocate(fresh, n, kind == CIsoVolumeKind::Potentials, error)) return 0;
  for (int k = 0; k < 3; ++k) {
    fresh.m_Origin[k] = origin[k];
    fresh.m_Unit[k] = unit[k];
  }
  fresh.m_Isovalue = isovalue;
  char* target = kind == CIsoVolumeKind::Potentials
                     ? reinterpret_cast<char*>(fresh.m_Potential.data())
                     : reinterpret_cast<char*>(fresh.m_Signs.Bytes().data());
  if (!ReadExactly(in, target, bytes)) {
    error = "The file does not hold exactly " + std::to_string(bytes) + " bytes of " +
            (kind == CIsoVolumeKind::Potentials ? "potentials" : "signs") + " after its first line";
    return 0;
  }
  if (kind == CIsoVolumeKind::Potentials) {
    // little-endian float32 on disk
    for (float& f : fresh.m_Potential) {
      uint8_t b[4];
      std::memcpy(b, &f, 4);
      const uint32_t u =
          uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
      std::memcpy(&f, &u, 4);
    }
    fresh.SignsFromPotentials();
  } else if ((n * n * n) % 8) {
    // bits past the last point stay clear
    fresh.m_Signs.Bytes().back() &= static_cast<uint8_t>(0xFF << (8 - (n * n * n) % 8));
  }
  volume = std::move(fresh);
  return 1;
}

int IsoReadVolumeFile(const std::string& path, CIsoVolumeKind kind, CIsoVolume& volume,
                      std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "Cannot open " + path;
    return 0;
  }
  try {
    return IsoReadVolume(in, kind, volume, error);
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for the volume of " + path;
    return 0;
  }
}

int IsoWriteVolumeFile(const std::string& path, CIsoVolumeKind kind, const CIsoVolume& volume,
                       std::string& error) {
  const bool potentials = kind == CIsoVolumeKind::Potentials;
  if (potentials && static_cast<int64_t>(volume.m_Potential.size()) != volume.PointCount()) {
    error = "The volume has no potentials to save";
    return 0;
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    error = "Cannot write " + path;
    return 0;
  }
  bool ok = std::fprintf(f, "%lld %.17g %.17g %.17g %.17g %.17g %.17g %.17g\n",
                         static_cast<long long>(volume.m_N), volume.m_Origin[0], volume.m_Origin[1],
                         volume.m_Origin[2], volume.m_Unit[0], volume.m_Unit[1], volume.m_Unit[2],
                         volume.m_Isovalue) > 0;
  if (potentials) {
    for (size_t i = 0; ok && i < volume.m_Potential.size(); ++i) {
      uint32_t u;
      std::memcpy(&u, &volume.m_Potential[i], 4);
      const uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
      ok = std::fwrite(b, 1, 4, f) == 4;
    }
  } else {
    const auto& bytes = volume.m_Signs.Bytes();
    ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  }
  if (std::fclose(f) != 0) ok = false;
  if (!ok) error = "Error during writing " + path;
  return ok ? 1 : 0;
}
