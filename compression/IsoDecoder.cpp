#include "compression/IsoCoder.h"

#include <fstream>
#include <memory>
#include <new>
#include <sstream>

#include "compression/ArithmeticCoder.h"
#include "compression/IsoGeometry.h"
#include "compression/IsoTraversal.h"

namespace {

class CIsoDecoderSymbols : public CIsoSymbols {
public:
  CIsoDecoderSymbols(int depth, const CBitGrid& signs, AcDecoder& sign, AcDecoder& leaf,
                     CIsoModelSet& models, const CIsoLevelCallback& onLevel)
      : m_Depth(depth), m_Signs(signs), m_Sign(sign), m_Leaf(leaf), m_Models(models),
        m_OnLevel(onLevel) {}
  int Sign(int context, int64_t) override {
    AcModel* model = IsoConnectivityModel(m_Models, context);
    return model ? m_Sign.DecodeSymbol(*model) : -1;
  }
  int Occupancy(int context, int64_t, int64_t, int64_t, int64_t) override {
    AcModel* model = IsoConnectivityModel(m_Models, kIsoSignContexts + context);
    return model ? m_Leaf.DecodeSymbol(*model) : -1;
  }
  // Each level's surface on its own lattice, for the caller to show
  int LevelDone(int level) override {
    if (!m_OnLevel || level >= m_Depth - 1) return 1;
    CIsoSurface surface;
    IsoContour(m_Signs, int64_t(1) << (m_Depth - level - 1), surface);
    m_Stopped = !m_OnLevel(level, surface);
    return !m_Stopped;
  }
  bool Stopped() const { return m_Stopped; }

private:
  int m_Depth;
  const CBitGrid& m_Signs;
  AcDecoder& m_Sign;
  AcDecoder& m_Leaf;
  CIsoModelSet& m_Models;
  const CIsoLevelCallback& m_OnLevel;
  bool m_Stopped = false;
};

} // namespace

int IsoDecode(const CIsoHeader& h, CByteSource& signSource, CByteSource& leafSource,
              CByteSource* geoSource, CIsoSurface& surface, std::string& error,
              const CIsoLevelCallback& onLevel) {
  surface = CIsoSurface();
  if (h.m_Geometry && !geoSource) {
    error = "The geometry stream is missing";
    return 0;
  }
  try {
    CIsoModelSet models;
    if (!IsoInitConnectivityModels(models, error)) return 0;
    CBitGrid signs, known;
    signs.Reset(h.m_N);
    known.Reset(h.m_N);
    AcDecoder sign, leaf;
    if (!sign.Init(&signSource) || !leaf.Init(&leafSource)) {
      error = "The sign or occupancy stream is unreadable";
      return 0;
    }

    // Connectivity, level by level
    CIsoDecoderSymbols symbols(h.m_Depth, signs, sign, leaf, models, onLevel);
    // (no level of a sound stream has more cells than the surface vertices)
    if (!IsoTraverse(h.m_Depth, signs, known, symbols, h.m_VertexCount)) {
      if (sign.Failed() || leaf.Failed())
        error = "The sign or occupancy stream is damaged or short: " +
                (sign.Failed() ? sign.Error() : leaf.Error());
      else if (!models.Error().empty())
        error = models.Error();
      else if (symbols.Stopped())
        error = "Decoding stopped";
      else
        error = "The sign and occupancy streams give more cells than the header's " +
                std::to_string(h.m_VertexCount) + " vertices";
      return 0;
    }
    IsoContour(signs, 1, surface);
    if (surface.VertexCount() != h.m_VertexCount) {
      error = "The streams give " + std::to_string(surface.VertexCount()) +
              " vertices, the header says " + std::to_string(h.m_VertexCount);
      surface = CIsoSurface();
      return 0;
    }
    if (onLevel && !onLevel(h.m_Depth - 1, surface)) {
      error = "Decoding stopped";
      return 0;
    }

    // Geometry
    if (h.m_Geometry) {
      AcDecoder geo;
      if (!geo.Init(geoSource) || !IsoDecodeGeometry(signs, surface, h, geo, error)) {
        if (error.empty()) error = "The geometry stream is unreadable";
        surface = CIsoSurface();
        return 0;
      }
    }
  } catch (const std::bad_alloc&) {
    error = "Not enough memory to decode the surface";
    surface = CIsoSurface();
    return 0;
  }
  return 1;
}

int IsoDecodeFiles(const std::string& base, CIsoHeader& header, CIsoSurface& surface,
                   std::string& error, const CIsoLevelCallback& onLevel) {
  std::ifstream text(base + "_header.txt");
  if (!text) {
    error = "Cannot open " + base + "_header.txt";
    return 0;
  }
  std::stringstream buffer;
  buffer << text.rdbuf();
  if (!IsoParseHeader(buffer.str(), header, error)) return 0;
  auto open = [&](const std::string& path) {
    std::unique_ptr<CFileByteSource> source(CFileByteSource::Open(path));
    if (!source) error = "Cannot open " + path;
    return source;
  };
  std::unique_ptr<CFileByteSource> sign = open(base + ".sign");
  if (!sign) return 0;
  std::unique_ptr<CFileByteSource> leaf = open(base + ".leaf");
  if (!leaf) return 0;
  std::unique_ptr<CFileByteSource> geo;
  if (header.m_Geometry && !(geo = open(base + ".geo"))) return 0;
  return IsoDecode(header, *sign, *leaf, geo.get(), surface, error, onLevel);
}
