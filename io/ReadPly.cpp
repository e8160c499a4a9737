#include "io/ReadPly.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "geometry/Mesh3d.h"
#include "io/AppendElements.h"
#include "io/ByteCursor.h"
#include "io/ColorByte.h"
#include "io/MeshBuilder.h"
#include "io/TextScan.h"

namespace {

enum class EPlyType { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };
enum class EPlyFormat { Ascii, BinaryLittleEndian, BinaryBigEndian };

// What a property gives the mesh.
enum EPlyRole {
  kSkip = -1,
  kX,
  kY,
  kZ,
  kRed,
  kGreen,
  kBlue,
  kNbScalarRole,
  kCorners = kNbScalarRole
};

struct CPlyProperty {
  std::string name;
  bool list = false;
  EPlyType countType = EPlyType::UInt8; // lists only
  EPlyType type = EPlyType::Float32;    // of the value, or of the list items
  int role = kSkip;
};

struct CPlyElement {
  std::string name;
  uint64_t count = 0;
  int line = 0; // of "element", for messages
  std::vector<CPlyProperty> properties;
  bool IsVertex() const { return name == "vertex"; }
  bool IsFace() const { return name == "face"; }
};

struct CPlyHeader {
  EPlyFormat format = EPlyFormat::Ascii;
  std::vector<CPlyElement> elements;
  size_t bodyOffset = 0; // first byte after "end_header"'s line
  int bodyLine = 0;      // number of the body's first line
};

// The values of one record that the mesh uses.
struct CPlyRecord {
  double value[kNbScalarRole] = {0, 0, 0, 255, 255, 255};
  std::vector<int> corners;
};

struct CTypeName {
  const char* name;
  EPlyType type;
};
const CTypeName kTypeNames[] = {
    {"char", EPlyType::Int8},       {"int8", EPlyType::Int8},       {"uchar", EPlyType::UInt8},
    {"uint8", EPlyType::UInt8},     {"short", EPlyType::Int16},     {"int16", EPlyType::Int16},
    {"ushort", EPlyType::UInt16},   {"uint16", EPlyType::UInt16},   {"int", EPlyType::Int32},
    {"int32", EPlyType::Int32},     {"uint", EPlyType::UInt32},     {"uint32", EPlyType::UInt32},
    {"float", EPlyType::Float32},   {"float32", EPlyType::Float32}, {"double", EPlyType::Float64},
    {"float64", EPlyType::Float64},
};

} // namespace

static size_t TypeSize(EPlyType t) {
  static const size_t sizes[] = {1, 1, 2, 2, 4, 4, 4, 8};
  return sizes[static_cast<int>(t)];
}

static bool IsReal(EPlyType t) {
  return t == EPlyType::Float32 || t == EPlyType::Float64;
}

static bool ParseType(const CWord& word, EPlyType& type) {
  for (const CTypeName& t : kTypeNames)
    if (word.Is(t.name)) {
      type = t.type;
      return true;
    }
  return false;
}

// The role of a property in its element.
static int RoleOf(const CPlyElement& element, const CPlyProperty& p) {
  static const char* const scalarNames[kNbScalarRole] = {"x", "y", "z", "red", "green", "blue"};
  if (element.IsFace() && p.list && (p.name == "vertex_indices" || p.name == "vertex_index"))
    return kCorners;
  if (p.list || !(element.IsVertex() || element.IsFace())) return kSkip;
  const int first = element.IsVertex() ? kX : kRed;
  for (int r = first; r < kNbScalarRole; r++)
    if (p.name == scalarNames[r]) return r;
  return kSkip;
}

// "property TYPE NAME" or "property list COUNT_TYPE INDEX_TYPE NAME".
static bool ParseProperty(const std::vector<CWord>& w, CPlyElement& element, std::string& what) {
  CPlyProperty p;
  p.list = w.size() > 1 && w[1].Is("list");
  const size_t n = p.list ? 5 : 3;
  if (w.size() != n) {
    what = p.list ? "\"property list COUNT_TYPE ITEM_TYPE NAME\" expected"
                  : "\"property TYPE NAME\" expected";
    return false;
  }
  if ((p.list && !ParseType(w[2], p.countType)) || !ParseType(w[n - 2], p.type)) {
    what = "unknown type in \"" + std::string(w[0].begin, w.back().end) + "\"";
    return false;
  }
  if (p.list && IsReal(p.countType)) {
    what = "a list count must be an integer type";
    return false;
  }
  p.name = w[n - 1].Str();
  p.role = RoleOf(element, p);
  if (p.role == kCorners && IsReal(p.type)) {
    what = "face corners must be an integer type";
    return false;
  }
  element.properties.push_back(p);
  return true;
}

// "element NAME COUNT"; the count in decimal digits.
static bool ParseElement(const std::vector<CWord>& w, int line, CPlyHeader& header,
                         std::string& what) {
  CPlyElement e;
  if (w.size() != 3 || w[2].Size() > 19) {
    what = "\"element NAME COUNT\" expected";
    return false;
  }
  for (const char* p = w[2].begin; p < w[2].end; ++p) {
    if (*p < '0' || *p > '9') {
      what = "element count \"" + w[2].Str() + "\" is not a number";
      return false;
    }
    e.count = e.count * 10 + static_cast<uint64_t>(*p - '0');
  }
  e.name = w[1].Str();
  e.line = line;
  header.elements.push_back(e);
  return true;
}

static bool ParseFormat(const std::vector<CWord>& w, CPlyHeader& header, std::string& what) {
  if (w.size() != 3 || !w[2].Is("1.0")) {
    what = "\"format ascii|binary_little_endian|binary_big_endian 1.0\" expected";
    return false;
  }
  if (w[1].Is("ascii"))
    header.format = EPlyFormat::Ascii;
  else if (w[1].Is("binary_little_endian"))
    header.format = EPlyFormat::BinaryLittleEndian;
  else if (w[1].Is("binary_big_endian"))
    header.format = EPlyFormat::BinaryBigEndian;
  else {
    what = "unknown format \"" + w[1].Str() + "\"";
    return false;
  }
  return true;
}

// One header line after "ply"; sets done at "end_header".
static bool ParseHeaderLine(const std::vector<CWord>& w, int line, CPlyHeader& header,
                            bool& sawFormat, bool& done, std::string& what) {
  if (w.empty() || w[0].Is("comment") || w[0].Is("obj_info")) return true;
  if (w[0].Is("format")) {
    sawFormat = true;
    return ParseFormat(w, header, what);
  }
  if (w[0].Is("element")) return ParseElement(w, line, header, what);
  if (w[0].Is("property")) {
    if (header.elements.empty()) {
      what = "a property before any element";
      return false;
    }
    return ParseProperty(w, header.elements.back(), what);
  }
  if (w[0].Is("end_header")) {
    done = true;
    return true;
  }
  what = "unknown header line \"" + w[0].Str() + "\"";
  return false;
}

// The vertex and face elements must fit what the mesh can take.
static bool CheckElements(const CPlyHeader& header, std::string& error) {
  bool vertexSeen = false;
  for (const CPlyElement& e : header.elements) {
    const std::string where = LineError(e.line, "element \"" + e.name + "\": ");
    if (e.IsVertex()) {
      bool has[3] = {false, false, false};
      for (const CPlyProperty& p : e.properties)
        if (p.role >= kX && p.role <= kZ) has[p.role] = true;
      if (!has[0] || !has[1] || !has[2]) {
        error = where + "no x, y and z properties";
        return false;
      }
      if (e.count > static_cast<uint64_t>(INT_MAX)) {
        error = where + std::to_string(e.count) + " vertices are more than a mesh holds";
        return false;
      }
      vertexSeen = true;
    } else if (e.IsFace() && e.count > 0 && !vertexSeen) {
      error = where + "faces before the vertices are not read";
      return false;
    }
  }
  return true;
}

static bool ParseHeader(const unsigned char* data, size_t size, CPlyHeader& header,
                        std::string& error) {
  const char* text = reinterpret_cast<const char*>(data);
  CLineReader lines(text, size);
  const char* begin;
  const char* end;
  std::vector<CWord> words;
  if (lines.Next(begin, end)) SplitWords(begin, end, words);
  if (words.size() != 1 || !words[0].Is("ply")) {
    error = "line 1: \"ply\" expected";
    return false;
  }
  bool sawFormat = false, done = false;
  std::string what;
  while (!done) {
    if (!lines.Next(begin, end)) {
      error = "the header does not end: \"end_header\" missing";
      return false;
    }
    SplitWords(begin, end, words);
    if (!ParseHeaderLine(words, lines.LineNumber(), header, sawFormat, done, what)) {
      error = LineError(lines.LineNumber(), what);
      return false;
    }
  }
  if (!sawFormat) {
    error = "the header has no \"format\" line";
    return false;
  }
  // the body starts after the line feed ending "end_header"
  const char* p = end;
  while (p < text + size && *p != '\n') ++p;
  header.bodyOffset = p < text + size ? static_cast<size_t>(p + 1 - text) : size;
  header.bodyLine = lines.LineNumber() + 1;
  return true;
}

// Fewest bytes a record of the element takes in the body: every value (a
// list its count) in binary; a character and a separator each in ascii.
static uint64_t MinimalRecordSize(const CPlyElement& e, bool ascii) {
  uint64_t n = 0;
  for (const CPlyProperty& p : e.properties)
    n += ascii ? 2 : TypeSize(p.list ? p.countType : p.type);
  return n;
}

// Refuses counts the body cannot hold, before anything is allocated.
static bool CheckCounts(const CPlyHeader& header, size_t size, std::string& error) {
  const bool ascii = header.format == EPlyFormat::Ascii;
  // the last ascii value needs no separator after it
  uint64_t left = size - header.bodyOffset + (ascii ? 1 : 0);
  for (const CPlyElement& e : header.elements) {
    const uint64_t record = MinimalRecordSize(e, ascii);
    if (record && e.count > left / record) {
      error = LineError(
          e.line, "element \"" + e.name + "\" announces " + std::to_string(e.count) +
                      " records of at least " + std::to_string(record) + " bytes: the file holds " +
                      std::to_string(size - header.bodyOffset) + " bytes after the header");
      return false;
    }
    left -= e.count * record;
  }
  return true;
}

// The value of type T at p, its bytes turned around when swap.
template <class T> static T Load(const unsigned char* p, bool swap) {
  unsigned char b[sizeof(T)];
  std::memcpy(b, p, sizeof(T));
  if (swap)
    for (size_t i = 0; i < sizeof(T) / 2; i++) std::swap(b[i], b[sizeof(T) - 1 - i]);
  T v;
  std::memcpy(&v, b, sizeof(T));
  return v;
}

// A value stored in the body, from its bytes; swap when the file's byte
// order is not the machine's.
static double BinaryValue(const unsigned char* p, EPlyType t, bool swap) {
  switch (t) {
  case EPlyType::Int8:
    return Load<int8_t>(p, false);
  case EPlyType::UInt8:
    return Load<uint8_t>(p, false);
  case EPlyType::Int16:
    return Load<int16_t>(p, swap);
  case EPlyType::UInt16:
    return Load<uint16_t>(p, swap);
  case EPlyType::Int32:
    return Load<int32_t>(p, swap);
  case EPlyType::UInt32:
    return Load<uint32_t>(p, swap);
  case EPlyType::Float32:
    return Load<float>(p, swap);
  case EPlyType::Float64:
    return Load<double>(p, swap);
  }
  return 0.0;
}

// A corner index as the builder takes it: -1 (not a vertex) beyond int.
static int CornerIndex(double v) {
  return v >= 0.0 && v <= static_cast<double>(INT_MAX) ? static_cast<int>(v) : -1;
}

// n corner indices of type t. 32-bit indices are taken as they are: one
// beyond int range becomes negative, which no vertex has either.
static void ReadCorners(const unsigned char* items, size_t n, EPlyType t, bool swap,
                        std::vector<int>& corners) {
  corners.resize(n);
  if ((t == EPlyType::Int32 || t == EPlyType::UInt32) && !swap) {
    if (n) std::memcpy(corners.data(), items, 4 * n);
    return;
  }
  const size_t itemSize = TypeSize(t);
  for (size_t k = 0; k < n; k++)
    corners[k] = CornerIndex(BinaryValue(items + k * itemSize, t, swap));
}

// One record of an element from a binary body into record (the used
// values and the corners); lists are checked against the bytes left first.
static bool ReadBinaryRecord(CByteCursor& in, const CPlyElement& e, bool swap, uint64_t r,
                             CPlyRecord& record, std::string& error) {
  for (const CPlyProperty& p : e.properties) {
    const size_t at = in.Offset();
    if (!p.list) {
      const unsigned char* b = in.Block(TypeSize(p.type));
      if (b && p.role != kSkip) record.value[p.role] = BinaryValue(b, p.type, swap);
      if (b) continue;
    } else {
      const unsigned char* c = in.Block(TypeSize(p.countType));
      const double count = c ? BinaryValue(c, p.countType, swap) : -1.0;
      const size_t itemSize = TypeSize(p.type);
      const unsigned char* items =
          count >= 0.0 ? in.Items(static_cast<uint64_t>(count), itemSize) : nullptr;
      if (items && p.role == kCorners)
        ReadCorners(items, static_cast<size_t>(count), p.type, swap, record.corners);
      if (items) continue;
      if (c && count < 0.0) {
        error = "byte offset " + std::to_string(at) + ": negative list count in element \"" +
                e.name + "\"";
        return false;
      }
    }
    error = "byte offset " + std::to_string(at) + ": the file ends inside record " +
            std::to_string(r) + " of element \"" + e.name + "\"";
    return false;
  }
  return true;
}

// Reads the element's records from a binary body; each record's used
// values go to emit.
template <class Emit>
static bool ReadBinaryElement(CByteCursor& in, const CPlyElement& e, bool swap, CPlyRecord& record,
                              Emit emit, std::string& error) {
  bool fixed = true, used = false;
  uint64_t recordSize = 0;
  for (const CPlyProperty& p : e.properties) {
    fixed = fixed && !p.list;
    used = used || p.role != kSkip;
    recordSize += TypeSize(p.type);
  }
  if (fixed && !used) {
    // nothing to take: the whole element at once
    if (in.Items(e.count, recordSize)) return true;
    error = "byte offset " + std::to_string(in.Offset()) + ": the file ends inside element \"" +
            e.name + "\"";
    return false;
  }
  for (uint64_t r = 0; r < e.count; r++)
    if (!ReadBinaryRecord(in, e, swap, r, record, error) || !emit(record, in.Offset(), error))
      return false;
  return true;
}

// The layouts most files use, read without the per-property loop when the
// file's byte order is the machine's: a vertex element of exactly x, y, z
// in float32, and a face element of exactly one list of int32 or uint32
// corners with a one-byte count.
static bool IsPlainXyz(const CPlyElement& e) {
  if (e.properties.size() != 3) return false;
  for (int k = 0; k < 3; k++) {
    const CPlyProperty& p = e.properties[static_cast<size_t>(k)];
    if (p.list || p.type != EPlyType::Float32 || p.role != kX + k) return false;
  }
  return true;
}

static bool IsPlainCornerList(const CPlyElement& e) {
  if (e.properties.size() != 1) return false;
  const CPlyProperty& p = e.properties[0];
  return p.list && p.role == kCorners && TypeSize(p.countType) == 1 &&
         (p.type == EPlyType::Int32 || p.type == EPlyType::UInt32);
}

// Positions of a plain x, y, z element, copied as a block; false (with the
// general path's message) at the first that is not finite. A block cut
// short goes through the general path, which says where.
template <class Emit>
static bool ReadPlainXyz(CByteCursor& in, const CPlyElement& e, CPlyRecord& record, Emit emit,
                         CMeshBuilder& builder, std::string& error) {
  if (!in.Fits(e.count, 12)) return ReadBinaryElement(in, e, false, record, emit, error);
  const size_t start = in.Offset();
  const size_t n = static_cast<size_t>(e.count);
  const unsigned char* block = in.Items(n, 12);
  const size_t first = builder.m_Position.size();
  builder.m_Position.resize(first + 3 * n);
  float* xyz = builder.m_Position.data() + first;
  if (n) std::memcpy(xyz, block, 12 * n);
  for (size_t i = 0; i < n; i++, xyz += 3)
    if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2])) {
      error = "byte offset " + std::to_string(start + 12 * (i + 1)) + ": vertex " +
              std::to_string(first / 3 + i) + " is not a finite float position";
      return false;
    }
  return true;
}

// A face element of plain corner lists: triangles go straight to the
// builder, any other record (another count, the end of the file) through
// the general path. Corners beyond int range become negative, as there.
template <class Emit>
static bool ReadPlainTriangles(CByteCursor& in, const CPlyElement& e, CPlyRecord& record, Emit emit,
                               CMeshBuilder& builder, CReadReport& report, std::string& error) {
  for (uint64_t r = 0; r < e.count; r++) {
    const size_t at = in.Offset();
    const unsigned char* p = in.Remaining() >= 13 ? in.Block(13) : nullptr;
    if (p && p[0] == 3) {
      int32_t c[3];
      std::memcpy(c, p + 1, sizeof c);
      builder.AddFace(c[0], c[1], c[2], report);
      continue;
    }
    in.Seek(at);
    if (!ReadBinaryRecord(in, e, false, r, record, error) || !emit(record, in.Offset(), error))
      return false;
  }
  return true;
}

// The same from an ascii body: values are words, records need not keep to
// lines.
template <class Emit>
static bool ReadAsciiElement(CWordReader& in, const CPlyElement& e, CPlyRecord& record, Emit emit,
                             std::string& error) {
  if (e.properties.empty()) return true;
  CWord w;
  auto fail = [&](const std::string& what) {
    error = LineError(in.LineNumber(), "element \"" + e.name + "\": " + what);
    return false;
  };
  for (uint64_t r = 0; r < e.count; r++) {
    for (const CPlyProperty& p : e.properties) {
      if (!in.Next(w)) return fail("the file ends inside record " + std::to_string(r));
      float v;
      int n = 0;
      if (!p.list) {
        if (p.role == kSkip) continue;
        if (!w.Float(v)) return fail("\"" + w.Str() + "\" is not a number");
        record.value[p.role] = v;
        continue;
      }
      if (!w.Int(n) || n < 0) return fail("list count \"" + w.Str() + "\" is not a count");
      if (p.role == kCorners) record.corners.clear();
      for (int k = 0; k < n; k++) {
        if (!in.Next(w)) return fail("the file ends inside record " + std::to_string(r));
        if (p.role != kCorners) continue;
        int index;
        if (!w.Int(index)) return fail("corner \"" + w.Str() + "\" is not an index");
        record.corners.push_back(index);
      }
    }
    if (!emit(record, in.LineNumber(), error)) return false;
  }
  return true;
}

static bool HasRole(const CPlyElement& e, int role, bool* real = nullptr) {
  for (const CPlyProperty& p : e.properties)
    if (p.role == role) {
      if (real) *real = IsReal(p.type);
      return true;
    }
  return false;
}

static CColor RecordColor(const CPlyRecord& r, bool real) {
  return CColor(ColorChannelByte(r.value[kRed], real), ColorChannelByte(r.value[kGreen], real),
                ColorChannelByte(r.value[kBlue], real));
}

// "byte offset N" or "line N" for the messages of the records.
static std::string Place(bool ascii, size_t at) {
  return (ascii ? "line " : "byte offset ") + std::to_string(at) + ": ";
}

// Room for the triangles a binary face element holds at most: each takes
// a count and three corners.
static void ReserveTriangles(const CPlyElement& e, size_t bytesLeft, CMeshBuilder& builder) {
  uint64_t smallest = 0;
  for (const CPlyProperty& p : e.properties)
    smallest += p.list ? TypeSize(p.countType) + (p.role == kCorners ? 3 * TypeSize(p.type) : 0)
                       : TypeSize(p.type);
  const uint64_t most = bytesLeft / smallest;
  const size_t n = static_cast<size_t>(e.count < most ? e.count : most);
  builder.m_Face.reserve(builder.m_Face.size() + n);
}

// Reads the body element by element into the builder.
static bool ReadBody(const unsigned char* data, size_t size, const CPlyHeader& header,
                     CMeshBuilder& builder, CReadReport& report, std::string& error) {
  const bool ascii = header.format == EPlyFormat::Ascii;
  const bool swap = (header.format == EPlyFormat::BinaryBigEndian) == kHostIsLittleEndian;
  CByteCursor bytes(data, size);
  bytes.Seek(header.bodyOffset);
  CWordReader words(reinterpret_cast<const char*>(data) + header.bodyOffset,
                    size - header.bodyOffset, header.bodyLine);
  CPlyRecord record;
  for (const CPlyElement& e : header.elements) {
    bool realColor = false;
    const bool colored = HasRole(e, kRed, &realColor) && HasRole(e, kGreen) && HasRole(e, kBlue);
    auto vertex = [&](const CPlyRecord& r, size_t at, std::string& why) {
      const float x = NarrowToFloat(r.value[kX]), y = NarrowToFloat(r.value[kY]),
                  z = NarrowToFloat(r.value[kZ]);
      if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
        why = Place(ascii, at) + "vertex " + std::to_string(builder.NbVertex()) +
              " is not a finite float position";
        return false;
      }
      const int i = builder.AddVertex(x, y, z);
      if (colored) builder.SetVertexColor(i, RecordColor(r, realColor));
      return true;
    };
    auto face = [&](const CPlyRecord& r, size_t, std::string&) {
      CPolygon polygon;
      polygon.corners = r.corners.data();
      polygon.size = r.corners.size();
      if (colored) polygon.color = RecordColor(r, realColor);
      if (builder.AddPolygon(polygon, report) && polygon.size > 3) report.fannedPolygons++;
      return true;
    };
    auto skip = [](const CPlyRecord&, size_t, std::string&) { return true; };
    bool ok;
    if (e.IsVertex()) {
      builder.m_Position.reserve(builder.m_Position.size() + 3 * e.count);
      if (ascii)
        ok = ReadAsciiElement(words, e, record, vertex, error);
      else if (!swap && IsPlainXyz(e))
        ok = ReadPlainXyz(bytes, e, record, vertex, builder, error);
      else
        ok = ReadBinaryElement(bytes, e, swap, record, vertex, error);
    } else if (e.IsFace() && HasRole(e, kCorners)) {
      if (!ascii) ReserveTriangles(e, bytes.Remaining(), builder);
      if (ascii)
        ok = ReadAsciiElement(words, e, record, face, error);
      else if (!swap && IsPlainCornerList(e))
        ok = ReadPlainTriangles(bytes, e, record, face, builder, report, error);
      else
        ok = ReadBinaryElement(bytes, e, swap, record, face, error);
    } else {
      ok = ascii ? ReadAsciiElement(words, e, record, skip, error)
                 : ReadBinaryElement(bytes, e, swap, record, skip, error);
    }
    if (!ok) return false;
  }
  return true;
}

int ReadPlyToBuilder(CMeshBuilder& builder, const unsigned char* data, size_t size,
                     CReadReport& report, std::string& error) {
  CPlyHeader header;
  return ParseHeader(data, size, header, error) && CheckCounts(header, size, error) &&
         CheckElements(header, error) && ReadBody(data, size, header, builder, report, error);
}

// The body of a file of the common layout, found and checked without
// copying it: one plain x, y, z vertex element, at most one plain corner
// list element holding only triangles whose corners are all vertices, any
// other element of fixed-size records (skipped), in the machine's byte
// order, every position finite. False for any other file.
struct CPlainBody {
  const unsigned char* positions = nullptr; // 12 bytes a vertex
  const unsigned char* triangles = nullptr; // 13 bytes a face: count 3, corners
  size_t nbVertex = 0, nbFace = 0;
};

static bool FindPlainBody(const unsigned char* data, size_t size, const CPlyHeader& header,
                          CPlainBody& body) {
  const bool swap = (header.format == EPlyFormat::BinaryBigEndian) == kHostIsLittleEndian;
  if (header.format == EPlyFormat::Ascii || swap) return false;
  CByteCursor in(data, size);
  in.Seek(header.bodyOffset);
  bool vertexSeen = false, faceSeen = false;
  for (const CPlyElement& e : header.elements) {
    uint64_t recordSize = 0;
    for (const CPlyProperty& p : e.properties) recordSize += p.list ? 0 : TypeSize(p.type);
    if (e.IsVertex()) {
      if (vertexSeen || !IsPlainXyz(e) || faceSeen) return false;
      vertexSeen = true;
      body.nbVertex = static_cast<size_t>(e.count);
      body.positions = in.Items(e.count, 12);
    } else if (e.IsFace() && HasRole(e, kCorners)) {
      if (faceSeen || !IsPlainCornerList(e)) return false;
      faceSeen = true;
      body.nbFace = static_cast<size_t>(e.count);
      body.triangles = in.Items(e.count, 13);
    } else {
      for (const CPlyProperty& p : e.properties)
        if (p.list) return false;
      in.Items(e.count, recordSize);
    }
    if (!in.Ok()) return false;
  }
  if (!vertexSeen) return false;

  // positions finite, records triangles, corners vertices
  for (size_t i = 0; i < body.nbVertex; i++) {
    float p[3];
    std::memcpy(p, body.positions + 12 * i, sizeof p);
    if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) return false;
  }
  for (size_t k = 0; k < body.nbFace; k++) {
    const unsigned char* r = body.triangles + 13 * k;
    uint32_t c[3];
    std::memcpy(c, r + 1, sizeof c);
    if (r[0] != 3 || c[0] >= body.nbVertex || c[1] >= body.nbVertex || c[2] >= body.nbVertex)
      return false;
  }
  return true;
}

int ReadPlyFromMemory(CMesh3d* mesh, const unsigned char* data, size_t size, CReadReport& report,
                      std::string& error) {
  // the common layout: the elements straight from the file's bytes
  CPlyHeader header;
  if (!ParseHeader(data, size, header, error) || !CheckCounts(header, size, error) ||
      !CheckElements(header, error))
    return 0;
  CPlainBody plain;
  if (FindPlainBody(data, size, header, plain)) {
    AppendElements(
        mesh, plain.nbVertex,
        [&plain](size_t i, void* block) {
          float p[3];
          std::memcpy(p, plain.positions + 12 * i, sizeof p);
          return ::new (block) CVertex3d(p[0], p[1], p[2]);
        },
        plain.nbFace,
        [&plain](size_t k, int c[3]) { std::memcpy(c, plain.triangles + 13 * k + 1, 12); },
        [](size_t, CFace3d*) {});
    return 1;
  }

  // anything else (and every fault in the body, with its message) through
  // the builder
  CMeshBuilder builder;
  if (!ReadBody(data, size, header, builder, report, error)) return 0;
  builder.AppendTo(mesh);
  return 1;
}

int ReadPly(CMesh3d* mesh, const std::string& fileName, CReadReport& report, std::string& error) {
  return ReadMeshBinaryFile(mesh, fileName, ReadPlyFromMemory, report, error);
}
