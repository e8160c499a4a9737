#include "compression/IsoGeometry.h"

#include <cmath>
#include <new>

namespace {

constexpr int kNormal = 2;

void Cross(const double* a, const double* b, double* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

void Normalise(double* v) {
  const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (length > 0.0)
    for (int k = 0; k < 3; ++k) v[k] /= length;
}

int CellContext(const CBitGrid& signs, int64_t cell) {
  const int64_t n = signs.Size();
  return IsoCornerByte(signs, cell / (n * n), (cell / n) % n, cell % n, 1);
}

} // namespace

CIsoFrame IsoLeafFrame(const CBitGrid& signs, int64_t cell) {
  const int64_t n = signs.Size();
  const int64_t x = cell / (n * n), y = (cell / n) % n, z = cell % n;
  CIsoFrame frame{};
  frame.m_Reference[0] = x + 0.5;
  frame.m_Reference[1] = y + 0.5;
  frame.m_Reference[2] = z + 0.5;
  // Normal: corner offsets weighted by side, pointing outside
  double* normal = frame.m_Axis[kNormal];
  for (int dx = 0; dx < 2; ++dx)
    for (int dy = 0; dy < 2; ++dy)
      for (int dz = 0; dz < 2; ++dz) {
        const double w = signs.At(x + dx, y + dy, z + dz) ? -1.0 : 1.0;
        normal[0] += w * (dx - 0.5);
        normal[1] += w * (dy - 0.5);
        normal[2] += w * (dz - 0.5);
      }
  if (normal[0] == 0.0 && normal[1] == 0.0 && normal[2] == 0.0) normal[2] = 1.0;
  Normalise(normal);
  // Tangents: against the least aligned coordinate axis
  int least = 0;
  for (int k = 1; k < 3; ++k)
    if (std::fabs(normal[k]) < std::fabs(normal[least])) least = k;
  double axis[3] = {0.0, 0.0, 0.0};
  axis[least] = 1.0;
  Cross(normal, axis, frame.m_Axis[0]);
  Normalise(frame.m_Axis[0]);
  Cross(normal, frame.m_Axis[0], frame.m_Axis[1]);
  return frame;
}

int IsoQuantize(double v, double lo, double range, int levels) {
  if (!(range > 0.0)) return 1;
  double q = std::floor((v - lo) / range * levels + 0.5);
  if (q > levels - 1) q = levels - 1;
  if (q < 1) q = 1;
  return static_cast<int>(q);
}

double IsoDequantize(int q, double lo, double range, int levels) {
  if (!(range > 0.0)) return lo;
  return lo + q * range / levels;
}

std::vector<double> IsoComponents(const CBitGrid& signs, const CIsoSurface& surface) {
  std::vector<double> out(surface.m_Cell.size() * 3);
  for (size_t v = 0; v < surface.m_Cell.size(); ++v) {
    const CIsoFrame frame = IsoLeafFrame(signs, surface.m_Cell[v]);
    double r[3];
    for (int k = 0; k < 3; ++k) r[k] = surface.m_Xyz[3 * v + k] - frame.m_Reference[k];
    for (int c = 0; c < 3; ++c)
      out[3 * v + c] =
          r[0] * frame.m_Axis[c][0] + r[1] * frame.m_Axis[c][1] + r[2] * frame.m_Axis[c][2];
  }
  return out;
}

int CIsoGeometryModels::Init(const int levels[3], std::string& error) {
  for (int c = 0; c < 3; ++c) m_Levels[c] = levels[c];
  return m_Models.Reset(3 * 256, error);
}

int IsoEncodeGeometry(const CBitGrid& signs, const CIsoSurface& surface,
                      const std::vector<double>& components, const CIsoHeader& h,
                      AcEncoder& encoder, std::string& error) {
  CIsoGeometryModels models;
  if (!models.Init(h.m_Levels, error)) return 0;
  auto code = [&](size_t v, int c, int context) {
    const int q = IsoQuantize(components[3 * v + c], h.m_Minimum[c], h.m_Range[c], h.m_Levels[c]);
    AcModel* model = models.Model(c, context);
    return model ? encoder.EncodeSymbol(*model, q) : 0;
  };
  // First pass: normal components; second: both tangential ones per vertex
  for (size_t v = 0; v < surface.m_Cell.size(); ++v)
    if (!code(v, kNormal, CellContext(signs, surface.m_Cell[v]))) break;
  for (size_t v = 0; v < surface.m_Cell.size() && !encoder.Failed() && models.Error().empty();
       ++v) {
    const int context = CellContext(signs, surface.m_Cell[v]);
    if (!code(v, 0, context) || !code(v, 1, context)) break;
  }
  if (encoder.Failed() || !models.Error().empty()) {
    error = encoder.Failed() ? encoder.Error() : models.Error();
    return 0;
  }
  return 1;
}

int IsoDecodeGeometry(const CBitGrid& signs, CIsoSurface& surface, const CIsoHeader& h,
                      AcDecoder& decoder, std::string& error) {
  CIsoGeometryModels models;
  if (!models.Init(h.m_Levels, error)) return 0;
  const size_t count = surface.m_Cell.size();
  std::vector<double> components(count * 3, 0.0);
  auto read = [&](size_t v, int c, int context) {
    AcModel* model = models.Model(c, context);
    const int q = model ? decoder.DecodeSymbol(*model) : -1;
    if (q < 0) return 0;
    components[3 * v + c] = IsoDequantize(q, h.m_Minimum[c], h.m_Range[c], h.m_Levels[c]);
    return 1;
  };
  for (size_t v = 0; v < count; ++v)
    if (!read(v, kNormal, CellContext(signs, surface.m_Cell[v]))) break;
  for (size_t v = 0; v < count && !decoder.Failed() && models.Error().empty(); ++v) {
    const int context = CellContext(signs, surface.m_Cell[v]);
    if (!read(v, 0, context) || !read(v, 1, context)) break;
  }
  if (decoder.Failed() || !models.Error().empty()) {
    error = "The geometry stream is damaged or short: " +
            (decoder.Failed() ? decoder.Error() : models.Error());
    return 0;
  }
  // Every vertex: reference point plus the components along the axes
  for (size_t v = 0; v < count; ++v) {
    const CIsoFrame frame = IsoLeafFrame(signs, surface.m_Cell[v]);
    for (int k = 0; k < 3; ++k) {
      double p = frame.m_Reference[k];
      for (int c = 0; c < 3; ++c) p += components[3 * v + c] * frame.m_Axis[c][k];
      surface.m_Xyz[3 * v + k] = p;
    }
  }
  return 1;
}
