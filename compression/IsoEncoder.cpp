#include "compression/IsoCoder.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "compression/ArithmeticCoder.h"
#include "compression/IsoBitRows.h"
#include "compression/IsoGeometry.h"
#include "compression/IsoTraversal.h"

namespace {

// For every cell size 2^k (k >= 1), whether the cell holds a sign change:
// a cell is uniform exactly when its eight children are (they share faces).
class CMixedPyramid {
public:
  explicit CMixedPyramid(const CBitGrid& signs) : m_N(signs.Size()) {
    m_Levels.push_back(CellsOfSizeTwo(signs));
    for (int64_t cells = (m_N - 1) / 4; cells >= 1; cells /= 2) {
      const std::vector<uint8_t>& below = m_Levels.back();
      const int64_t fine = cells * 2;
      std::vector<uint8_t> up(static_cast<size_t>(cells * cells * cells));
      for (int64_t x = 0; x < cells; ++x)
        for (int64_t y = 0; y < cells; ++y)
          for (int64_t z = 0; z < cells; ++z) {
            uint8_t mixed = 0;
            for (int c = 0; c < 8; ++c)
              mixed |= below[((2 * x + (c & 1)) * fine + 2 * y + ((c >> 1) & 1)) * fine + 2 * z +
                             (c >> 2)];
            up[(x * cells + y) * cells + z] = mixed;
          }
      m_Levels.push_back(std::move(up));
    }
  }
  // Cell of size s >= 2 at minimum corner (x, y, z).
  int Mixed(int64_t x, int64_t y, int64_t z, int64_t s) const {
    int k = 0;
    while ((int64_t(2) << k) < s) ++k;
    const int64_t cells = (m_N - 1) / s;
    return m_Levels[k][((x / s) * cells + y / s) * cells + z / s];
  }

private:
  // Cells of size 2: mixed when their 27 points are not all 0 and not all
  // 1. Each slab of three lattice planes is folded into one row of "some
  // point 1" and one of "every point 1" per y, three such rows make a row
  // of cells, and each cell reads three points of them along z.
  static std::vector<uint8_t> CellsOfSizeTwo(const CBitGrid& signs) {
    const int64_t n = signs.Size(), cells = (n - 1) / 2, words = isorows::WordCount(n);
    std::vector<uint8_t> level(static_cast<size_t>(cells * cells * cells));
    std::vector<uint64_t> planes(static_cast<size_t>(3 * n * words));
    std::vector<uint64_t> slabAny(static_cast<size_t>(n * words)), slabAll(slabAny.size());
    std::vector<uint64_t> rowAny(static_cast<size_t>(2 * words));
    uint64_t* rowAll = rowAny.data() + words;
    isorows::LatticePlane(signs, 0, 1, n, words, planes.data());
    for (int64_t x = 0; x < cells; ++x) {
      // planes 2x (kept from the last slab), 2x + 1 and 2x + 2
      uint64_t* p0 = planes.data() + ((2 * x) % 3) * n * words;
      uint64_t* p1 = planes.data() + ((2 * x + 1) % 3) * n * words;
      uint64_t* p2 = planes.data() + ((2 * x + 2) % 3) * n * words;
      isorows::LatticePlane(signs, 2 * x + 1, 1, n, words, p1);
      isorows::LatticePlane(signs, 2 * x + 2, 1, n, words, p2);
      for (int64_t k = 0; k < n * words; ++k) {
        slabAny[k] = p0[k] | p1[k] | p2[k];
        slabAll[k] = p0[k] & p1[k] & p2[k];
      }
      for (int64_t y = 0; y < cells; ++y) {
        const int64_t r0 = 2 * y * words, r1 = r0 + words, r2 = r1 + words;
        for (int64_t k = 0; k < words; ++k) {
          rowAny[k] = slabAny[r0 + k] | slabAny[r1 + k] | slabAny[r2 + k];
          rowAll[k] = slabAll[r0 + k] & slabAll[r1 + k] & slabAll[r2 + k];
        }
        // along z: some point 1 and not every point 1 among 2z..2z + 2
        uint8_t* out = level.data() + (x * cells + y) * cells;
        for (int64_t z = 0; z < cells; ++z) {
          const int64_t p = 2 * z;
          const int some = isorows::Bit(rowAny.data(), p) | isorows::Bit(rowAny.data(), p + 1) |
                           isorows::Bit(rowAny.data(), p + 2);
          const int every =
              isorows::Bit(rowAll, p) & isorows::Bit(rowAll, p + 1) & isorows::Bit(rowAll, p + 2);
          out[z] = static_cast<uint8_t>(some & !every);
        }
      }
    }
    return level;
  }

  int64_t m_N;
  std::vector<std::vector<uint8_t>> m_Levels;
};

class CIsoEncoderSymbols : public CIsoSymbols {
public:
  CIsoEncoderSymbols(const CBitGrid& truth, const CMixedPyramid& pyramid, AcEncoder& sign,
                     AcEncoder& leaf, CIsoModelSet& models, CIsoEncodeResult& result)
      : m_Truth(truth), m_Pyramid(pyramid), m_Sign(sign), m_Leaf(leaf), m_Models(models),
        m_Result(result) {}
  int Sign(int context, int64_t index) override {
    const int s = m_Truth.Get(index);
    AcModel* model = IsoConnectivityModel(m_Models, context);
    return model && m_Sign.EncodeSymbol(*model, s) ? s : -1;
  }
  int Occupancy(int context, int64_t x, int64_t y, int64_t z, int64_t size) override {
    const int bit = m_Pyramid.Mixed(x, y, z, size);
    AcModel* model = IsoConnectivityModel(m_Models, kIsoSignContexts + context);
    return model && m_Leaf.EncodeSymbol(*model, bit) ? bit : -1;
  }
  int LevelDone(int) override {
    m_Result.m_LevelBytes.push_back((uint64_t(m_Sign.Bits()) + m_Leaf.Bits()) / 8);
    return 1;
  }

private:
  const CBitGrid& m_Truth;
  const CMixedPyramid& m_Pyramid;
  AcEncoder& m_Sign;
  AcEncoder& m_Leaf;
  CIsoModelSet& m_Models;
  CIsoEncodeResult& m_Result;
};

} // namespace

int IsoInitConnectivityModels(CIsoModelSet& models, std::string& error) {
  return models.Reset(kIsoSignContexts + kIsoLeafContexts, error);
}

int IsoEncode(const CIsoVolume& volume, const CIsoEncodeOptions& options, CByteSink& signSink,
              CByteSink& leafSink, CByteSink& geoSink, CIsoEncodeResult& result,
              std::string& error) {
  result = CIsoEncodeResult();
  if (options.m_Geometry && (options.m_QuantXY < 2 || options.m_QuantZ < 2 ||
                             options.m_QuantXY > 4096 || options.m_QuantZ > 4096)) {
    error = "Geo Quant must be from 2 to 4096";
    return 0;
  }
  if (!IsoDepthOfGrid(volume.m_N) || volume.m_Signs.Size() != volume.m_N) {
    error = "The volume has no valid grid";
    return 0;
  }
  try {
    // The surface the decoder will rebuild
    CIsoSurface surface;
    IsoContour(volume.m_Signs, 1, surface, &volume);
    CIsoHeader& h = result.m_Header;
    h.m_Depth = volume.m_Depth;
    h.m_N = static_cast<int>(volume.m_N);
    h.m_VertexCount = surface.VertexCount();
    h.m_Geometry = options.m_Geometry ? 1 : 0;
    for (int k = 0; k < 3; ++k) {
      h.m_Origin[k] = volume.m_Origin[k];
      h.m_Unit[k] = volume.m_Unit[k];
    }
    result.m_Vertices = surface.VertexCount();
    result.m_Faces = surface.QuadCount();

    // Geometry: ranges as the header prints them, then the stream
    if (options.m_Geometry) {
      const std::vector<double> components = IsoComponents(volume.m_Signs, surface);
      h.m_Levels[0] = h.m_Levels[1] = options.m_QuantXY;
      h.m_Levels[2] = options.m_QuantZ;
      for (int c = 0; c < 3; ++c) {
        double lo = 0.0, hi = 0.0;
        for (size_t v = 0; v < surface.m_Cell.size(); ++v) {
          const double value = components[3 * v + c];
          if (v == 0 || value < lo) lo = value;
          if (v == 0 || value > hi) hi = value;
        }
        h.m_Minimum[c] = lo;
        h.m_Range[c] = hi - lo;
      }
      std::string printed;
      IsoParseHeader(IsoHeaderText(h), h, printed);
      AcEncoder geo;
      geo.Init(&geoSink);
      if (!IsoEncodeGeometry(volume.m_Signs, surface, components, h, geo, error)) return 0;
      if (!geo.Done()) {
        error = geo.Error();
        return 0;
      }
      result.m_GeoBytes = geo.Bits() / 8;
    }

    // Connectivity: signs and occupancy bits, breadth first
    CIsoModelSet models;
    if (!IsoInitConnectivityModels(models, error)) return 0;
    const CMixedPyramid pyramid(volume.m_Signs);
    CBitGrid signs = volume.m_Signs, known;
    known.Reset(volume.m_N);
    AcEncoder sign, leaf;
    sign.Init(&signSink);
    leaf.Init(&leafSink);
    CIsoEncoderSymbols symbols(volume.m_Signs, pyramid, sign, leaf, models, result);
    const int walked = IsoTraverse(volume.m_Depth, signs, known, symbols);
    sign.Done();
    leaf.Done();
    if (!walked || sign.Failed() || leaf.Failed()) {
      error = sign.Failed() ? sign.Error() : leaf.Failed() ? leaf.Error() : models.Error();
      return 0;
    }
    result.m_SignBytes = sign.Bits() / 8;
    result.m_LeafBytes = leaf.Bits() / 8;
  } catch (const std::bad_alloc&) {
    error = "Not enough memory to encode the surface";
    return 0;
  }
  return 1;
}

int IsoEncodeFiles(const CIsoVolume& volume, const CIsoEncodeOptions& options,
                   const std::string& base, CIsoEncodeResult& result, std::string& error) {
  CMemoryByteSink sign, leaf, geo;
  if (!IsoEncode(volume, options, sign, leaf, geo, result, error)) return 0;
  auto write = [&](const std::string& path, const void* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const bool ok = f && std::fwrite(data, 1, size, f) == size;
    if (f && std::fclose(f) != 0) return false;
    if (!ok) error = "Cannot write " + path;
    return ok;
  };
  const std::string header = IsoHeaderText(result.m_Header) + "\n";
  if (!write(base + "_header.txt", header.data(), header.size())) return 0;
  if (!write(base + ".sign", sign.Bytes().data(), sign.Bytes().size())) return 0;
  if (!write(base + ".leaf", leaf.Bytes().data(), leaf.Bytes().size())) return 0;
  if (options.m_Geometry && !write(base + ".geo", geo.Bytes().data(), geo.Bytes().size())) return 0;
  return 1;
}

std::vector<float> IsoWorldXyz(const CIsoHeader& header, const CIsoSurface& surface) {
  std::vector<float> out(surface.m_Xyz.size());
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<float>(header.m_Origin[i % 3] + header.m_Unit[i % 3] * surface.m_Xyz[i]);
  return out;
}
