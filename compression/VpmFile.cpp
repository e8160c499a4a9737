#include "compression/VpmFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "compression/BitStream.h"
#include "compression/ByteStream.h"
#include "compression/ContextCoder.h"
#include "compression/FloatBits.h"
#include "compression/ProgressiveConquest.h"
#include "compression/ProgressiveEncoder.h"

namespace orvex {

namespace {

constexpr int kCountBits = 24;
constexpr int kLayerCountBits = 10;
constexpr uint32_t kLargestCount = (1u << kCountBits) - 1;
constexpr int kCodeAlphabet = 7;
// Codes a byte of range-coded data can carry at most (a highly skewed
// model spends about 1/2000 bit on its likeliest symbol); bounds the
// decoding of a corrupt stream.
constexpr uint64_t kCodesPerByte = 16384;

// ceil(log2(n)): 0 for one vertex.
int IndexBits(uint32_t n) {
  int bits = 0;
  while (bits < 32 && (uint64_t(1) << bits) < n) ++bits;
  return bits;
}

// The code as the file holds it, and back.
int StoredCode(int type, int code) {
  return type == kCleaningLayer && code == 3 ? 6 : code;
}

std::string Text(const char* format, long long a, long long b = 0) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

// What may follow in a layer's stored codes: decimation layers hold 1 to
// 6 (1 followed by its side code 5 or 6), cleaning layers 2 and 6 (a
// valence-3 removal, given back as 3).
struct CCodeGrammar {
  int m_Type;
  bool m_AwaitingSide = false;

  bool Accept(int stored, int& code) {
    bool allowed = m_AwaitingSide             ? stored == kSideNext || stored == kSidePrevious
                   : m_Type == kCleaningLayer ? stored == kCodeNullPatch || stored == 6
                                              : stored >= 1 && stored <= 6;
    if (!allowed) return false;
    code = !m_AwaitingSide && m_Type == kCleaningLayer && stored == 6 ? 3 : stored;
    m_AwaitingSide = !m_AwaitingSide && stored == kCodeBoundary;
    return true;
  }
  bool Complete() const { return !m_AwaitingSide; }
};

// One symbol stream with its own order-0 coder.
bool WriteSymbols(BitOutputStream& out, int alphabet, const std::vector<int>& symbols) {
  ContextEncoder coder;
  bool ok = coder.Init(alphabet) && coder.Start(0);
  for (size_t i = 0; ok && i < symbols.size(); ++i) ok = coder.Encode(symbols[i], out);
  return coder.Finish(out) && ok;
}

// The predicted form's header: range (q + 1 bits), sign (1 when the
// minimum is not negative) and the minimum's magnitude (q bits).
void WriteRange(BitOutputStream& out, int q, int32_t lo, int32_t hi) {
  out.WriteBits(static_cast<uint32_t>(hi - lo), q + 1);
  out.WriteBit(lo >= 0 ? 1 : 0);
  out.WriteBits(static_cast<uint32_t>(std::abs(lo)), q);
}

bool WriteGeometry(BitOutputStream& out, int q, const CVpmLayer& layer) {
  const int count = static_cast<int>(layer.m_Values.size() / 3);
  out.WriteBit(layer.m_bPredicted ? 1 : 0);
  if (!layer.m_bPredicted) {
    out.WriteBits(static_cast<uint32_t>(count), 4);
    for (int32_t value : layer.m_Values) out.WriteBits(static_cast<uint32_t>(value), q);
    return true;
  }
  // both ranges start at 0, so they always hold it
  int32_t nLo = 0, nHi = 0, tLo = 0, tHi = 0;
  for (int i = 0; i < count; ++i) {
    nLo = std::min(nLo, layer.m_Values[3 * i]);
    nHi = std::max(nHi, layer.m_Values[3 * i]);
    for (int k = 1; k < 3; ++k) {
      tLo = std::min(tLo, layer.m_Values[3 * i + k]);
      tHi = std::max(tHi, layer.m_Values[3 * i + k]);
    }
  }
  WriteRange(out, q, nLo, nHi);
  WriteRange(out, q, tLo, tHi);
  std::vector<int> normal, tangential;
  for (int i = 0; i < count; ++i) {
    normal.push_back(layer.m_Values[3 * i] - nLo);
    tangential.push_back(layer.m_Values[3 * i + 1] - tLo);
    tangential.push_back(layer.m_Values[3 * i + 2] - tLo);
  }
  return WriteSymbols(out, nHi - nLo + 1, normal) && WriteSymbols(out, tHi - tLo + 1, tangential);
}

// Reading with the checks every field needs.
class CVpmReader {
public:
  CVpmReader(const uint8_t* data, size_t size) : m_Source(data, size), m_In(&m_Source, 0) {
    m_Size = size;
    m_In.Load();
  }

  bool Fail(const std::string& message) {
    if (m_Error.empty()) m_Error = message;
    return false;
  }
  const std::string& Error() const { return m_Error; }
  long long BitsLeft() const { return static_cast<long long>(m_Size) * 8 - m_In.BitCount(); }

  // `count` bits, or false (short file) when fewer are left.
  bool Bits(int count, uint32_t& value) {
    if (BitsLeft() < count) return Fail("The file is truncated");
    value = m_In.BReadBits(count);
    return true;
  }

  bool Header(CVpmFile& file, uint32_t& nbVertex, uint32_t& nbFace) {
    uint32_t q;
    if (!Bits(4, q) || !Bits(kCountBits, nbVertex) || !Bits(kCountBits, nbFace)) return false;
    if (q < 4 || q > 12) return Fail(Text("Quantization of %lld bits is not 4 to 12", q));
    file.m_Quantizer.m_Bits = static_cast<int>(q);
    for (int k = 0; k < 3; ++k) {
      uint32_t step, min;
      if (!Bits(32, step) || !Bits(32, min)) return false;
      file.m_Quantizer.m_Step[k] = BitsFloat(step);
      file.m_Quantizer.m_Min[k] = BitsFloat(min);
      if (!std::isfinite(file.m_Quantizer.m_Step[k]) || !std::isfinite(file.m_Quantizer.m_Min[k]))
        return Fail("The quantization box is not a number");
    }
    return true;
  }

  bool Base(CVpmFile& file, uint32_t nbVertex, uint32_t nbFace) {
    const int q = file.m_Quantizer.m_Bits;
    // counts are checked against the bits left before anything is allocated
    if (static_cast<long long>(nbVertex) * 3 * q > BitsLeft())
      return Fail(Text("%lld base vertices do not fit the file", nbVertex));
    const int indexBits = IndexBits(nbVertex);
    if (nbFace > 0 && nbVertex < 3) return Fail("Base faces on fewer than three vertices");
    if (static_cast<long long>(nbFace) * 3 * indexBits > BitsLeft())
      return Fail(Text("%lld base faces do not fit the file", nbFace));
    file.m_BasePositions.resize(3 * size_t(nbVertex));
    for (int32_t& value : file.m_BasePositions) {
      uint32_t bits;
      if (!Bits(q, bits)) return false;
      value = static_cast<int32_t>(bits);
    }
    file.m_BaseFaces.resize(3 * size_t(nbFace));
    for (uint32_t f = 0; f < nbFace; ++f) {
      int* corner = &file.m_BaseFaces[3 * f];
      for (int k = 0; k < 3; ++k) {
        uint32_t index;
        if (!Bits(indexBits, index)) return false;
        if (index >= nbVertex)
          return Fail(Text("Base face %lld names vertex %lld, beyond the base", f, index));
        corner[k] = static_cast<int>(index);
      }
      if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2])
        return Fail(Text("Base face %lld repeats a vertex", f));
    }
    return true;
  }

  bool Connectivity(CVpmFile& file) {
    uint32_t nbLayer;
    if (!Bits(kLayerCountBits, nbLayer)) return false;
    file.m_Layers.resize(nbLayer);
    ContextDecoder coder;
    coder.Init(kCodeAlphabet);
    coder.SetSymbolLimit(kCodesPerByte * (m_Size + 1));
    if (!coder.Start(m_In, 0)) return Fail("Connectivity codes: " + coder.Error());
    for (uint32_t l = 0; l < nbLayer; ++l) {
      CVpmLayer& layer = file.m_Layers[l];
      int symbol;
      if (!Next(coder, symbol)) return false;
      if (symbol != kDecimationLayer && symbol != kCleaningLayer)
        return Fail(Text("Layer %lld has type %lld", l, symbol));
      layer.m_Type = symbol;
      CCodeGrammar grammar{symbol};
      while (true) {
        if (!Next(coder, symbol)) return false;
        if (symbol == kCodeEndOfLayer && grammar.Complete()) break;
        int code;
        if (!grammar.Accept(symbol, code)) return Fail(Text("Layer %lld has code %lld", l, symbol));
        layer.m_Codes.push_back(code);
      }
    }
    if (!coder.Finish(m_In)) return Fail("Connectivity codes: " + coder.Error());
    if (m_In.Overrun()) return Fail("The file is truncated");
    return true;
  }

  bool Geometry(CVpmFile& file) {
    uint32_t nbLayer;
    if (!Bits(kLayerCountBits, nbLayer)) return false;
    if (nbLayer != file.m_Layers.size())
      return Fail(Text("%lld geometry layers for %lld connectivity layers", nbLayer,
                       static_cast<long long>(file.m_Layers.size())));
    const int q = file.m_Quantizer.m_Bits;
    for (uint32_t l = 0; l < nbLayer; ++l) {
      CVpmLayer& layer = file.m_Layers[l];
      const int count = CountRemovals(layer.m_Codes);
      uint32_t flag;
      if (!Bits(1, flag)) return false;
      layer.m_bPredicted = flag != 0;
      if (!layer.m_bPredicted) {
        uint32_t stored;
        if (!Bits(4, stored)) return false;
        if (static_cast<int>(stored) != count)
          return Fail(Text("Layer %lld stores %lld positions", l, stored));
        layer.m_Values.resize(3 * size_t(count));
        for (int32_t& value : layer.m_Values) {
          uint32_t bits;
          if (!Bits(q, bits)) return false;
          value = static_cast<int32_t>(bits);
        }
        continue;
      }
      int32_t nLo, nRange, tLo, tRange;
      if (!Range(q, nLo, nRange) || !Range(q, tLo, tRange)) return false;
      std::vector<int> normal, tangential;
      if (!Symbols(nRange + 1, count, normal) || !Symbols(tRange + 1, 2 * count, tangential))
        return false;
      layer.m_Values.resize(3 * size_t(count));
      for (int i = 0; i < count; ++i) {
        layer.m_Values[3 * i] = normal[i] + nLo;
        layer.m_Values[3 * i + 1] = tangential[2 * i] + tLo;
        layer.m_Values[3 * i + 2] = tangential[2 * i + 1] + tLo;
      }
    }
    if (m_In.Overrun()) return Fail("The file is truncated");
    return true;
  }

private:
  bool Next(ContextDecoder& coder, int& symbol) {
    if (coder.Decode(symbol, m_In)) return true;
    if (coder.Failed()) return Fail("Connectivity codes: " + coder.Error());
    return Fail("The connectivity codes end before their last layer");
  }

  bool Range(int q, int32_t& lo, int32_t& range) {
    uint32_t r, sign, magnitude;
    if (!Bits(q + 1, r) || !Bits(1, sign) || !Bits(q, magnitude)) return false;
    lo = sign ? static_cast<int32_t>(magnitude) : -static_cast<int32_t>(magnitude);
    range = static_cast<int32_t>(r);
    if (range >= kContextMaxAlphabet) return Fail(Text("Geometry range %lld is too large", range));
    return true;
  }

  bool Symbols(int alphabet, int count, std::vector<int>& symbols) {
    ContextDecoder coder;
    coder.Init(alphabet);
    coder.SetSymbolLimit(static_cast<uint64_t>(count));
    if (!coder.Start(m_In, 0)) return Fail("Geometry: " + coder.Error());
    symbols.resize(count);
    for (int i = 0; i < count; ++i)
      if (!coder.Decode(symbols[i], m_In))
        return Fail(coder.Failed() ? "Geometry: " + coder.Error()
                                   : std::string("Geometry values end early"));
    if (!coder.Finish(m_In)) return Fail("Geometry: " + coder.Error());
    return true;
  }

  CMemoryByteSource m_Source;
  BitInputStream m_In;
  size_t m_Size;
  std::string m_Error;
};

} // namespace

int EncodeLayerCodes(ContextEncoder& coder, BitOutputStream& out, int type,
                     const std::vector<int>& codes) {
  bool ok = coder.Encode(type, out) != 0;
  for (size_t i = 0; ok && i < codes.size(); ++i)
    ok = coder.Encode(StoredCode(type, codes[i]), out);
  return ok && coder.Encode(kCodeEndOfLayer, out);
}

int CountRemovals(const std::vector<int>& codes) {
  int count = 0;
  for (size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] == kCodeBoundary) {
      ++count;
      ++i; // its side code
    } else if (codes[i] >= 3) {
      ++count;
    }
  }
  return count;
}

CVpmFile VpmFromEncoding(const CProgressiveEncoding& encoding) {
  CVpmFile file;
  file.m_Quantizer = encoding.m_Quantizer;
  for (int v : encoding.m_BaseVertex)
    file.m_BasePositions.insert(file.m_BasePositions.end(), &encoding.m_Positions[3 * v],
                                &encoding.m_Positions[3 * v] + 3);
  file.m_BaseFaces = encoding.m_BaseFaces;
  for (auto made = encoding.m_Layers.rbegin(); made != encoding.m_Layers.rend(); ++made) {
    CVpmLayer layer;
    layer.m_Type = made->m_Type;
    layer.m_Codes = made->m_Codes;
    layer.m_bPredicted = made->m_Removals.size() > kMostRawVertices;
    for (const CRemoval& removal : made->m_Removals) {
      const int32_t* values = layer.m_bPredicted ? removal.m_Residual : removal.m_Position;
      layer.m_Values.insert(layer.m_Values.end(), values, values + 3);
    }
    file.m_Layers.push_back(std::move(layer));
  }
  return file;
}

int WriteVpm(const CVpmFile& file, std::vector<uint8_t>& bytes, CVpmSizes& sizes,
             std::string& error) {
  const uint32_t nbVertex = static_cast<uint32_t>(file.m_BasePositions.size() / 3);
  const uint32_t nbFace = static_cast<uint32_t>(file.m_BaseFaces.size() / 3);
  const int q = file.m_Quantizer.m_Bits;
  // refuse what the fields cannot hold rather than truncate it
  if (file.m_BasePositions.size() / 3 > kLargestCount ||
      file.m_BaseFaces.size() / 3 > kLargestCount) {
    error = Text("The base mesh has more than %lld vertices or faces", kLargestCount);
    return 0;
  }
  if (file.m_Layers.size() > static_cast<size_t>(kMaxProgressiveLayers)) {
    error = Text("More than %lld layers: the file cannot hold them", kMaxProgressiveLayers);
    return 0;
  }
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  // header and base mesh
  out.WriteBits(static_cast<uint32_t>(q), 4);
  out.WriteBits(nbVertex, kCountBits);
  out.WriteBits(nbFace, kCountBits);
  for (int k = 0; k < 3; ++k) {
    out.WriteBits(FloatBits(file.m_Quantizer.m_Step[k]), 32);
    out.WriteBits(FloatBits(file.m_Quantizer.m_Min[k]), 32);
  }
  for (int32_t value : file.m_BasePositions) out.WriteBits(static_cast<uint32_t>(value), q);
  const int indexBits = IndexBits(nbVertex);
  for (int corner : file.m_BaseFaces) out.WriteBits(static_cast<uint32_t>(corner), indexBits);
  sizes.m_Base = out.BitCount();
  // connectivity, coarsest layer first
  const uint32_t nbLayer = static_cast<uint32_t>(file.m_Layers.size());
  out.WriteBits(nbLayer, kLayerCountBits);
  ContextEncoder coder;
  bool ok = coder.Init(kCodeAlphabet) && coder.Start(0);
  for (size_t l = 0; ok && l < file.m_Layers.size(); ++l)
    ok = EncodeLayerCodes(coder, out, file.m_Layers[l].m_Type, file.m_Layers[l].m_Codes);
  ok = coder.Finish(out) && ok;
  sizes.m_Connectivity = out.BitCount() - sizes.m_Base;
  // geometry, in the same order
  out.WriteBits(nbLayer, kLayerCountBits);
  for (size_t l = 0; ok && l < file.m_Layers.size(); ++l)
    ok = WriteGeometry(out, q, file.m_Layers[l]);
  sizes.m_Geometry = out.BitCount() - sizes.m_Base - sizes.m_Connectivity;
  out.Close();
  if (!ok || out.Failed()) {
    error = "The progressive mesh could not be coded";
    return 0;
  }
  bytes = sink.Bytes();
  sizes.m_Total = static_cast<long long>(bytes.size()) * 8;
  return 1;
}

int ReadVpm(const uint8_t* data, size_t size, CVpmFile& file, std::string& error) {
  file = CVpmFile();
  CVpmReader reader(data, size);
  uint32_t nbVertex = 0, nbFace = 0;
  bool ok = reader.Header(file, nbVertex, nbFace) && reader.Base(file, nbVertex, nbFace) &&
            reader.Connectivity(file) && reader.Geometry(file);
  if (!ok) {
    error = reader.Error();
    file = CVpmFile();
    return 0;
  }
  return 1;
}

std::vector<uint8_t> WriteLayerFile(int type, const std::vector<int>& codes) {
  CMemoryByteSink sink;
  BitOutputStream out(&sink, 0);
  out.WriteBit(type);
  ContextEncoder coder;
  bool ok = coder.Init(kCodeAlphabet) && coder.Start(0);
  for (size_t i = 0; ok && i < codes.size(); ++i)
    ok = coder.Encode(StoredCode(type, codes[i]), out);
  coder.Finish(out);
  out.Close();
  return sink.Bytes();
}

int ReadLayerFile(const uint8_t* data, size_t size, int& type, std::vector<int>& codes,
                  std::string& error) {
  codes.clear();
  CMemoryByteSource source(data, size);
  BitInputStream in(&source, 0);
  if (size == 0 || !in.Load()) {
    error = "The layer file is empty";
    return 0;
  }
  type = static_cast<int>(in.BReadBits(1));
  ContextDecoder coder;
  coder.Init(kCodeAlphabet);
  coder.SetSymbolLimit(kCodesPerByte * (size + 1));
  int symbol;
  bool ok = coder.Start(in, 0);
  CCodeGrammar grammar{type};
  while (ok && coder.Decode(symbol, in)) {
    int code;
    if (!grammar.Accept(symbol, code)) {
      error = Text("The layer file has code %lld", symbol);
      return 0;
    }
    codes.push_back(code);
  }
  if (ok && !grammar.Complete()) {
    error = "The layer file ends inside a boundary removal";
    return 0;
  }
  if (!ok || coder.Failed() || !coder.Finish(in)) {
    error = "The layer file is damaged: " + coder.Error();
    return 0;
  }
  return 1;
}

} // namespace orvex
