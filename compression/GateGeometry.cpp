#include "compression/GateGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "compression/ContextCoder.h"
#include "compression/FloatBits.h"
#include "compression/GateFrame.h"
#include "geometry/FormatText.h"
#include "geometry/Vector3d.h"

namespace {

constexpr int kCountBits = 24;
constexpr uint32_t kMaxCount = (1u << kCountBits) - 1;
constexpr int kLevelBits = 12;
constexpr int kMaxLevels = (1 << kLevelBits) - 1;
// The encoder widens its estimated ranges at most this many times before
// it clamps the values that still fall outside.
constexpr int kMaxRestarts = 48;

int Fail(std::string& error, const std::string& message) {
  error = message;
  return 0;
}

// A message with one or two counts, each passed as the %lld it prints as.
std::string Text(const char* format, long long a, long long b = 0) {
  return FormatText(format, a, b);
}

// Nearest floats at or below / above v (the header stores ranges as floats).
double FloatBelow(double v) {
  float f = static_cast<float>(v);
  if (f > v) f = std::nextafter(f, -std::numeric_limits<float>::infinity());
  return f;
}
double FloatAbove(double v) {
  float f = static_cast<float>(v);
  if (f < v) f = std::nextafter(f, std::numeric_limits<float>::infinity());
  return f;
}

bool IsSeed(const CGateVertexRef& r) {
  return r.left == -1 && r.right == -1 && r.behind == -1;
}

// Number of predicted vertices, or -1 with a message when a reference is
// neither a seed nor three corners earlier in the order.
long long CountPredicted(const std::vector<CGateVertexRef>& refs, std::string& error) {
  long long predicted = 0;
  for (size_t i = 0; i < refs.size(); ++i) {
    const CGateVertexRef& r = refs[i];
    if (IsSeed(r)) continue;
    const long long limit = static_cast<long long>(i);
    for (int corner : {r.left, r.right, r.behind})
      if (corner < 0 || corner >= limit) {
        Fail(error, Text("Vertex %lld is predicted from corner %lld, not an earlier vertex", limit,
                         corner));
        return -1;
      }
    ++predicted;
  }
  return predicted;
}

// What both sides agree on once the header is known: the grouping of the
// parameter streams, the parameters and their quantizers (alpha or local x,
// beta or local y, gamma or local z).
struct CGateLayout {
  int option = 0;
  CGateParameterSpace space;
  CGateQuantizer quant[3];
};

// Parameters each stream interleaves per vertex, by encoding option. A
// stream codes with the alphabet of its first parameter.
std::vector<std::vector<int>> StreamGroups(int option) {
  if (option == 1) return {{0, 1, 2}};
  if (option == 2) return {{0, 1}, {2}};
  return {{0}, {1}, {2}};
}

// Checks the level counts and that every parameter fits its stream's
// alphabet.
int CheckLevels(const CGateLayout& layout, std::string& error) {
  static const char* const kNames[2][3] = {{"Alpha", "Beta", "Gamma"},
                                           {"Local X", "Local Y", "Local Z"}};
  const char* const* names = kNames[layout.space.local ? 1 : 0];
  for (int k = 0; k < 3; ++k)
    if (layout.quant[k].levels < 2 || layout.quant[k].levels > kMaxLevels)
      return Fail(error,
                  std::string(names[k]) + Text(" quantization of %lld levels is not 2 to %lld",
                                               layout.quant[k].levels, kMaxLevels));
  for (const std::vector<int>& group : StreamGroups(layout.option))
    for (int k : group)
      if (layout.quant[k].levels > layout.quant[group[0]].levels)
        return Fail(error, std::string(names[k]) + " quantization exceeds the " + names[group[0]] +
                               " quantization it is coded with");
  return 1;
}

// The fixed ranges of the angles.
void SetAngleRanges(CGateLayout& layout) {
  layout.quant[0].lo = -PI_3D;
  layout.quant[0].hi = PI_3D;
  layout.quant[2].lo = -PI_3D / 2;
  layout.quant[2].hi = PI_3D / 2;
}

// Ranges (as floats) that hold the observed parameter values: beta on
// [0, max] or its offset from the mean on [-max, max], the local
// coordinates on their own extent. The angles keep their fixed ranges.
void SetObservedRanges(CGateLayout& layout, const double lo[3], const double hi[3]) {
  if (layout.space.local) {
    for (int k = 0; k < 3; ++k) {
      layout.quant[k].lo = FloatBelow(lo[k]);
      layout.quant[k].hi = FloatAbove(std::max(lo[k], hi[k]));
    }
    return;
  }
  const double extent =
      layout.space.useBeta ? std::max(0.0, hi[1]) : std::max(std::fabs(lo[1]), std::fabs(hi[1]));
  layout.quant[1].hi = FloatAbove(extent);
  layout.quant[1].lo = layout.space.useBeta ? 0.0 : -layout.quant[1].hi;
}

const float* At(const std::vector<float>& xyz, int i) {
  return &xyz[3 * size_t(i)];
}

CGateFrame FrameOf(const std::vector<float>& xyz, const CGateVertexRef& r) {
  return MakeGateFrame(At(xyz, r.left), At(xyz, r.right), At(xyz, r.behind));
}

bool IsFinite(const float* p) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// ------------------------------------------------------------- encoding

// Extent of the parameters in the frames of the original positions, and
// the mean beta.
void EstimateRanges(const std::vector<CGateVertexRef>& refs, const std::vector<float>& xyz,
                    CGateLayout& layout) {
  CGateParameterSpace plain = layout.space;
  plain.useBeta = true;
  std::vector<double> params;
  double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0}, sum = 0.0;
  for (size_t i = 0; i < refs.size(); ++i) {
    if (IsSeed(refs[i])) continue;
    double p[3];
    GateParameters(FrameOf(xyz, refs[i]), plain, At(xyz, int(i)), p);
    params.insert(params.end(), p, p + 3);
    sum += p[1];
  }
  const size_t count = params.size() / 3;
  if (!layout.space.local && !layout.space.useBeta && count > 0)
    layout.space.meanBeta = static_cast<float>(sum / double(count));
  for (size_t v = 0; v < count; ++v)
    for (int k = 0; k < 3; ++k) {
      double value = params[3 * v + k];
      if (k == 1 && !layout.space.local && !layout.space.useBeta) value -= layout.space.meanBeta;
      lo[k] = v == 0 ? value : std::min(lo[k], value);
      hi[k] = v == 0 ? value : std::max(hi[k], value);
    }
  SetObservedRanges(layout, lo, hi);
}

// Grows the range of every free parameter that does not hold `p` (the
// angles have fixed ranges): to 1/8 beyond the value, and at least by half
// its extent, so that few restarts are needed. Returns true when a range
// changed.
bool Widen(CGateLayout& layout, const double p[3]) {
  bool changed = false;
  for (int k = 0; k < 3; ++k) {
    if (!layout.space.local && k != 1) continue;
    CGateQuantizer& q = layout.quant[k];
    if (p[k] >= q.lo && p[k] <= q.hi) continue;
    const double width = q.hi - q.lo;
    if (!layout.space.local && !layout.space.useBeta) {
      // beta's offset from the mean: symmetric range
      q.hi = FloatAbove(std::max(std::fabs(p[k]) * 1.125, q.hi * 1.5));
      q.lo = -q.hi;
    } else if (p[k] > q.hi) {
      q.hi = FloatAbove(std::max(p[k] + 0.125 * (p[k] - q.lo), q.hi + 0.5 * width));
    } else {
      q.lo = FloatBelow(std::min(p[k] - 0.125 * (q.hi - p[k]), q.lo - 0.5 * width));
    }
    changed = true;
  }
  return changed;
}

// Quantizes every predicted vertex in the frame of its decoded corners,
// reconstructing positions as the decoder will. The ranges come from the
// frames of the original positions; a value the decoded frames put outside
// them widens them and the pass starts again (a clamped value would move
// the vertex and, through the frames built on it, its successors). After
// kMaxRestarts values are clamped. Fails when a decoded position leaves the
// float range.
int QuantizeAll(const std::vector<CGateVertexRef>& refs, const std::vector<float>& xyz,
                CGateLayout& layout, std::vector<int>& codes, std::string& error) {
  EstimateRanges(refs, xyz, layout);
  for (int restart = 0;; ++restart) {
    std::vector<float> decoded = xyz;
    codes.clear();
    bool widened = false;
    for (size_t i = 0; i < refs.size(); ++i) {
      if (IsSeed(refs[i])) continue;
      const CGateFrame frame = FrameOf(decoded, refs[i]);
      double p[3], value[3];
      GateParameters(frame, layout.space, At(xyz, int(i)), p);
      if (restart < kMaxRestarts && Widen(layout, p)) {
        widened = true;
        break;
      }
      for (int k = 0; k < 3; ++k) {
        const int q = layout.quant[k].Quantize(p[k]);
        codes.push_back(q);
        value[k] = layout.quant[k].Value(q);
      }
      GatePoint(frame, layout.space, value, &decoded[3 * i]);
      if (!IsFinite(&decoded[3 * i]))
        return Fail(error, Text("Vertex %lld cannot be predicted within the float range", i));
    }
    if (!widened) break;
  }
  for (int k = 0; k < 3; ++k)
    if (!std::isfinite(layout.quant[k].lo) || !std::isfinite(layout.quant[k].hi))
      return Fail(error, "The geometry parameters exceed the float range");
  return 1;
}

void WriteFloat(BitOutputStream& out, double v) {
  out.WriteBits(FloatBits(static_cast<float>(v)), 32);
}

// Header fields after the raw-geometry flag, then the seed positions.
void WriteHeader(BitOutputStream& out, const CGateLayout& layout, long long predicted,
                 const std::vector<CGateVertexRef>& refs, const std::vector<float>& xyz) {
  const bool local = layout.space.local;
  const bool useBeta = local || layout.space.useBeta;
  out.WriteBit(0); // non-linear quantization
  out.WriteBit(0); // entropy-based quantization
  out.WriteBits(static_cast<uint32_t>(layout.option), 2);
  out.WriteBits(static_cast<uint32_t>(predicted), kCountBits);
  out.WriteBits(static_cast<uint32_t>(layout.quant[0].levels), kLevelBits);
  out.WriteBits(static_cast<uint32_t>(layout.quant[2].levels), kLevelBits);
  out.WriteBit(useBeta ? 1 : 0);
  out.WriteBit(local ? 0 : 1); // beta's range follows
  out.WriteBits(static_cast<uint32_t>(layout.quant[1].levels), kLevelBits);
  out.WriteBit(local ? 1 : 0);
  if (!useBeta) WriteFloat(out, layout.space.meanBeta);
  if (!local) WriteFloat(out, layout.quant[1].hi);
  if (local)
    for (const CGateQuantizer& q : layout.quant) {
      WriteFloat(out, q.lo);
      WriteFloat(out, q.hi);
    }
  for (size_t i = 0; i < refs.size(); ++i)
    if (IsSeed(refs[i]))
      for (int k = 0; k < 3; ++k) WriteFloat(out, xyz[3 * i + k]);
}

int WriteStreams(BitOutputStream& out, const CGateLayout& layout, const std::vector<int>& codes,
                 std::string& error) {
  const size_t count = codes.size() / 3;
  for (const std::vector<int>& group : StreamGroups(layout.option)) {
    ContextEncoder coder;
    int ok = coder.Init(layout.quant[group[0]].levels) && coder.Start(0);
    for (size_t v = 0; ok && v < count; ++v)
      for (int k : group) ok = ok && coder.Encode(codes[3 * v + k], out);
    if (!coder.Finish(out) || !ok) return Fail(error, "Geometry stream: " + coder.Error());
  }
  return 1;
}

// ------------------------------------------------------------- decoding

// Fixed-width fields with the checks every read needs.
class CGateSectionReader {
public:
  CGateSectionReader(BitInputStream& in, std::string& error) : m_In(in), m_Error(error) {}

  bool Fail(const std::string& message) {
    ::Fail(m_Error, message);
    return false;
  }
  bool Bits(int count, uint32_t& value) {
    if (m_In.BReadBits(value, count) < count) return Fail("The geometry section is truncated");
    return true;
  }
  bool Flag(bool& flag) {
    uint32_t bit;
    if (!Bits(1, bit)) return false;
    flag = bit != 0;
    return true;
  }
  bool Float(float& value, const char* what) {
    uint32_t bits;
    if (!Bits(32, bits)) return false;
    value = BitsFloat(bits);
    if (!std::isfinite(value)) return Fail(std::string(what) + " is not a finite number");
    return true;
  }
  bool Positions(const std::vector<CGateVertexRef>& refs, bool seedsOnly, std::vector<float>& xyz) {
    for (size_t i = 0; i < refs.size(); ++i)
      if (!seedsOnly || IsSeed(refs[i]))
        for (int k = 0; k < 3; ++k)
          if (!Float(xyz[3 * i + k], "A stored coordinate")) return false;
    return true;
  }

  // Header fields after the two disabled flags, into `layout`.
  bool Header(long long predicted, CGateLayout& layout) {
    uint32_t option, count, levels[3];
    bool useBeta, betaRange, local;
    if (!Bits(2, option) || !Bits(kCountBits, count) || !Bits(kLevelBits, levels[0]) ||
        !Bits(kLevelBits, levels[2]) || !Flag(useBeta) || !Flag(betaRange) ||
        !Bits(kLevelBits, levels[1]) || !Flag(local))
      return false;
    if (option > 2) return Fail(Text("Encoding option %lld is not 0, 1 or 2", option));
    if (count != static_cast<uint64_t>(predicted))
      return Fail(Text("The geometry holds %lld predicted vertices, the connectivity %lld", count,
                       predicted));
    if (betaRange == local)
      return Fail(local ? "A beta range is given with the local frame"
                        : "The beta range is missing");
    layout.option = static_cast<int>(option);
    layout.space.local = local;
    layout.space.useBeta = useBeta;
    for (int k = 0; k < 3; ++k) layout.quant[k].levels = static_cast<int>(levels[k]);
    if (!CheckLevels(layout, m_Error)) return false;

    float mean = 0.0f, extent = 0.0f;
    if (!useBeta && !Float(mean, "The mean beta")) return false;
    if (betaRange && !Float(extent, "The beta range")) return false;
    if (extent < 0.0f) return Fail("The beta range is negative");
    layout.space.meanBeta = mean;
    if (local) {
      for (CGateQuantizer& q : layout.quant) {
        float lo, hi;
        if (!Float(lo, "A local range") || !Float(hi, "A local range")) return false;
        if (lo > hi) return Fail("A local range ends below its start");
        q.lo = lo;
        q.hi = hi;
      }
      return true;
    }
    SetAngleRanges(layout);
    layout.quant[1].hi = extent;
    layout.quant[1].lo = useBeta ? 0.0 : -double(extent);
    return true;
  }

  // The parameter streams, every value checked against its level count.
  bool Streams(const CGateLayout& layout, size_t count, std::vector<int>& codes) {
    codes.assign(3 * count, 0);
    for (const std::vector<int>& group : StreamGroups(layout.option)) {
      ContextDecoder coder;
      coder.Init(layout.quant[group[0]].levels);
      coder.SetSymbolLimit(uint64_t(count) * group.size());
      if (!coder.Start(m_In, 0)) return Fail("Geometry stream: " + coder.Error());
      for (size_t v = 0; v < count; ++v)
        for (int k : group) {
          int symbol;
          if (!coder.Decode(symbol, m_In))
            return Fail(coder.Failed() ? "Geometry stream: " + coder.Error()
                                       : std::string("A geometry stream ends early"));
          if (symbol >= layout.quant[k].levels)
            return Fail(Text("Geometry value %lld is beyond its %lld levels", symbol,
                             layout.quant[k].levels));
          codes[3 * v + k] = symbol;
        }
      if (!coder.Finish(m_In)) return Fail("Geometry stream: " + coder.Error());
    }
    return true;
  }

private:
  BitInputStream& m_In;
  std::string& m_Error;
};

} // namespace

int WriteGateGeometry(BitOutputStream& out, const std::vector<CGateVertexRef>& refs,
                      const std::vector<float>& xyz, const CGateGeometryOptions& options,
                      std::string& error) {
  // Checks of the input
  const size_t n = refs.size();
  if (xyz.size() != 3 * n)
    return Fail(error, Text("%lld coordinates for %lld vertices", xyz.size(), n));
  if (n > kMaxCount) return Fail(error, Text("%lld vertices exceed the 24-bit count", n));
  const long long predicted = CountPredicted(refs, error);
  if (predicted < 0) return 0;
  for (size_t i = 0; i < n; ++i)
    if (!IsFinite(At(xyz, int(i))))
      return Fail(error, Text("Vertex %lld has a coordinate that is not a finite number", i));

  // Raw positions
  if (options.raw) {
    out.WriteBit(1);
    out.WriteBits(static_cast<uint32_t>(n), kCountBits);
    for (float f : xyz) WriteFloat(out, f);
    return out.Failed() ? Fail(error, out.Error()) : 1;
  }

  // Layout from the options: the local frame groups x + y + z or x + y, z
  CGateLayout layout;
  layout.space.local = options.localFrame;
  layout.space.useBeta = options.localFrame || options.useBeta;
  const int levels[3] = {options.localFrame ? options.localX : options.alpha,
                         options.localFrame ? options.localY : options.beta,
                         options.localFrame ? options.localZ : options.gamma};
  for (int k = 0; k < 3; ++k) layout.quant[k].levels = levels[k];
  layout.option = options.localFrame ? (options.together ? 1 : 2) : options.encodingOption;
  if (layout.option < 0 || layout.option > 2)
    return Fail(error, Text("Encoding option %lld is not 0, 1 or 2", layout.option));
  if (!CheckLevels(layout, error)) return 0;
  if (!layout.space.local) SetAngleRanges(layout);

  // Quantization with the decoder's predictions
  std::vector<int> codes;
  if (!QuantizeAll(refs, xyz, layout, codes, error)) return 0;

  // Header, seed positions and parameter streams
  out.WriteBit(0);
  WriteHeader(out, layout, predicted, refs, xyz);
  if (!WriteStreams(out, layout, codes, error)) return 0;
  return out.Failed() ? Fail(error, out.Error()) : 1;
}

int ReadGateGeometry(BitInputStream& in, const std::vector<CGateVertexRef>& refs,
                     std::vector<float>& xyz, std::string& error) {
  const long long predicted = CountPredicted(refs, error);
  if (predicted < 0) return 0;
  const size_t n = refs.size();
  CGateSectionReader reader(in, error);
  bool raw, nonLinear, entropy;
  if (!reader.Flag(raw)) return 0;
  xyz.assign(3 * n, 0.0f);

  // Raw positions
  if (raw) {
    uint32_t count;
    if (!reader.Bits(kCountBits, count)) return 0;
    if (count != n)
      return Fail(error, Text("The geometry holds %lld vertices, the connectivity %lld", count, n));
    return reader.Positions(refs, false, xyz) ? 1 : 0;
  }

  // Header and seed positions
  if (!reader.Flag(nonLinear) || !reader.Flag(entropy)) return 0;
  if (nonLinear || entropy)
    return Fail(error, "The geometry uses a quantization this reader does not know");
  CGateLayout layout;
  if (!reader.Header(predicted, layout) || !reader.Positions(refs, true, xyz)) return 0;

  // Parameter streams, then positions in conquest order
  std::vector<int> codes;
  if (!reader.Streams(layout, size_t(predicted), codes)) return 0;
  size_t v = 0;
  for (size_t i = 0; i < n; ++i) {
    if (IsSeed(refs[i])) continue;
    double value[3];
    for (int k = 0; k < 3; ++k) value[k] = layout.quant[k].Value(codes[3 * v + k]);
    ++v;
    GatePoint(FrameOf(xyz, refs[i]), layout.space, value, &xyz[3 * i]);
    if (!IsFinite(At(xyz, int(i))))
      return Fail(error, Text("Vertex %lld decodes outside the float range", i));
  }
  if (in.Overrun()) return Fail(error, "The geometry section is truncated");
  return 1;
}
