#include "io/Dib.h"

#include <algorithm>
#include <cstring>

#include "io/ByteCursor.h"
#include "io/ReplaceFile.h"
#include "io/TextFile.h"

static constexpr int DIB_MAX_SIDE = 16384;
static constexpr uint32_t SAVED_BITS_OFFSET = 1078; // 14 + 40 + 256 x 4

CDIB::CDIB() : m_pBMI(new unsigned char[INFO_SIZE]()) {}

CDIB::~CDIB() {
  FreeBits();
  delete[] m_pBMI;
}

void CDIB::FreeBits() {
  if (m_bMyBits) delete[] m_pBits;
  m_pBits = nullptr;
  m_bMyBits = 0;
  m_BitsSize = 0;
}

CBitmapInfoHeader CDIB::GetHeader() const {
  CBitmapInfoHeader header;
  header.Read(m_pBMI);
  return header;
}

void CDIB::SetHeader(const CBitmapInfoHeader& header) {
  header.Write(m_pBMI);
}

int CDIB::GetWidth() const {
  return GetHeader().biWidth;
}
int CDIB::GetHeight() const {
  return GetHeader().biHeight;
}
int CDIB::GetBitCount() const {
  return GetHeader().biBitCount;
}
int CDIB::GetStride() const {
  return static_cast<int>(BmpRowBytes(static_cast<uint32_t>(GetWidth()), GetBitCount()));
}

int CDIB::NumColors() const {
  const CBitmapInfoHeader header = GetHeader();
  if (header.biSize >= CBitmapInfoHeader::SIZE && header.biClrUsed != 0)
    return static_cast<int>(std::min<uint32_t>(header.biClrUsed, 256));
  switch (header.biBitCount) {
  case 1:
    return 2;
  case 4:
    return 16;
  case 8:
    return 256;
  default:
    return 0;
  }
}

CDibRect CDIB::GetRect() const {
  CDibRect rect;
  rect.right = GetWidth();
  rect.bottom = GetHeight();
  return rect;
}

//////////////////////////////////////////////////////////////////////
// Creation
//////////////////////////////////////////////////////////////////////

// Dimensions and layout this class can hold: positive sizes up to the cap,
// one plane, an uncompressed bit count of 1, 4, 8 or 24, at most 256 colors.
static int IsAcceptedHeader(const CBitmapInfoHeader& h) {
  const int sizes =
      h.biWidth > 0 && h.biHeight > 0 && h.biWidth <= DIB_MAX_SIDE && h.biHeight <= DIB_MAX_SIDE;
  const int bits =
      h.biBitCount == 1 || h.biBitCount == 4 || h.biBitCount == 8 || h.biBitCount == 24;
  return sizes && bits && h.biPlanes == 1 && h.biCompression == 0 && h.biClrUsed <= 256;
}

int CDIB::Create(int width, int height) {
  if (width <= 0 || height <= 0 || width > DIB_MAX_SIDE || height > DIB_MAX_SIDE) return 0;
  const size_t stride = static_cast<size_t>(width + 3) / 4 * 4;
  FreeBits();
  std::memset(m_pBMI, 0, INFO_SIZE);
  CBitmapInfoHeader header;
  header.biWidth = width;
  header.biHeight = height;
  header.biBitCount = 8;
  SetHeader(header);
  m_BitsSize = stride * height;
  m_pBits = new unsigned char[m_BitsSize]();
  m_bMyBits = 1;
  return 1;
}

int CDIB::Attach(const unsigned char* info, unsigned char* bits) {
  if (!info || !bits) return 0;
  CBitmapInfoHeader header;
  header.Read(info);
  if (header.biSize != CBitmapInfoHeader::SIZE || !IsAcceptedHeader(header)) return 0;
  FreeBits();
  std::memset(m_pBMI, 0, INFO_SIZE);
  SetHeader(header);
  const int colors = NumColors();
  std::memcpy(m_pBMI + CBitmapInfoHeader::SIZE, info + CBitmapInfoHeader::SIZE,
              static_cast<size_t>(colors) * 4);
  m_pBits = bits;
  return 1;
}

//////////////////////////////////////////////////////////////////////
// Files
//////////////////////////////////////////////////////////////////////

// Header of an OS/2 core bitmap (12 bytes) as a 40-byte header.
static CBitmapInfoHeader FromCoreHeader(const unsigned char* p) {
  CBitmapInfoHeader header;
  header.biWidth = GetLittle16(p + 4);
  header.biHeight = GetLittle16(p + 6);
  header.biPlanes = GetLittle16(p + 8);
  header.biBitCount = GetLittle16(p + 10);
  return header;
}

int CDIB::Load(const std::string& fileName) {
  std::string bytes, ignored;
  if (fileName.empty() || !ReadWholeFile(fileName, bytes, ignored)) return 0;
  return LoadFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

int CDIB::LoadFromMemory(const unsigned char* data, size_t size) {
  // file header: type "BM"
  CByteCursor cursor(data, size);
  const unsigned char* file = cursor.Block(CBitmapFileHeader::SIZE);
  uint32_t infoSize = 0;
  if (!file || !cursor.U32LE(infoSize)) return 0;
  CBitmapFileHeader fileHeader;
  fileHeader.Read(file);
  if (fileHeader.bfType != BMP_FILE_TYPE) return 0;

  // information header: a 12-byte core header or a header of 40 bytes or more
  const int core = infoSize == 12;
  if (!core && (infoSize < CBitmapInfoHeader::SIZE || infoSize > 1024)) return 0;
  cursor.Seek(CBitmapFileHeader::SIZE);
  const unsigned char* info = cursor.Block(infoSize);
  if (!info) return 0;
  CBitmapInfoHeader header;
  if (core) {
    header = FromCoreHeader(info);
  } else {
    header.Read(info);
    header.biSize = CBitmapInfoHeader::SIZE;
  }
  if (!IsAcceptedHeader(header)) return 0;

  // color table: 3-byte entries after a core header, 4-byte entries otherwise
  uint32_t colors = header.biClrUsed;
  if (colors == 0 && header.biBitCount <= 8) colors = 1u << header.biBitCount;
  const size_t entrySize = core ? 3 : 4;
  const unsigned char* entries = cursor.Items(colors, entrySize);
  if (!entries) return 0;

  // bits: from the bits offset, at least the rows the header describes
  const uint64_t stride = BmpRowBytes(static_cast<uint32_t>(header.biWidth), header.biBitCount);
  const uint64_t needed = stride * static_cast<uint32_t>(header.biHeight);
  if (fileHeader.bfOffBits < cursor.Offset() || !cursor.Seek(fileHeader.bfOffBits)) return 0;
  const unsigned char* bits = cursor.Block(needed);
  if (!bits) return 0;

  // the file is consistent: replace the old image
  FreeBits();
  std::memset(m_pBMI, 0, INFO_SIZE);
  SetHeader(header);
  CRgbQuad* table = GetColorTable();
  for (uint32_t i = 0; i < colors; i++) {
    const unsigned char* entry = entries + i * entrySize;
    table[i].rgbBlue = entry[0];
    table[i].rgbGreen = entry[1];
    table[i].rgbRed = entry[2];
    table[i].rgbReserved = core ? 0 : entry[3];
  }
  m_BitsSize = static_cast<size_t>(needed);
  m_pBits = new unsigned char[m_BitsSize];
  std::memcpy(m_pBits, bits, m_BitsSize);
  m_bMyBits = 1;
  return 1;
}

int CDIB::SaveToMemory(std::vector<unsigned char>& file) const {
  file.clear();
  if (!m_pBits) return 0;
  const size_t bits = static_cast<size_t>(GetStride()) * static_cast<size_t>(GetHeight());

  // file header, header with the full table, bits
  CBitmapFileHeader fileHeader;
  fileHeader.bfSize = static_cast<uint32_t>(bits + SAVED_BITS_OFFSET);
  fileHeader.bfOffBits = SAVED_BITS_OFFSET;
  file.resize(SAVED_BITS_OFFSET + bits);
  fileHeader.Write(file.data());
  std::memcpy(file.data() + CBitmapFileHeader::SIZE, m_pBMI, INFO_SIZE);
  std::memcpy(file.data() + SAVED_BITS_OFFSET, m_pBits, bits);
  return 1;
}

int CDIB::Save(const std::string& fileName) {
  m_Error.clear();
  CReplaceFile file;
  if (!file.Open(fileName)) {
    m_Error = "Failed to open file";
    return 0;
  }
  std::vector<unsigned char> bytes;
  if (!SaveToMemory(bytes) || !file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
    m_Error = "Failed to save file";
    return 0;
  }
  return 1;
}

//////////////////////////////////////////////////////////////////////
// Pixels
//////////////////////////////////////////////////////////////////////

const unsigned char* CDIB::PixelAddress(int x, int y) const {
  const int width = GetWidth(), height = GetHeight();
  if (!m_pBits || GetBitCount() != 8 || x < 0 || y < 0 || x >= width || y >= height) return nullptr;
  return m_pBits + static_cast<size_t>(height - y - 1) * GetStride() + x;
}

unsigned char* CDIB::GetPixelAddress(int x, int y) {
  return const_cast<unsigned char*>(PixelAddress(x, y));
}

// Squared distance between two colors.
static int ColorDistance(const CRgbQuad& a, const CRgbQuad& b) {
  const int dr = a.rgbRed - b.rgbRed, dg = a.rgbGreen - b.rgbGreen, db = a.rgbBlue - b.rgbBlue;
  return dr * dr + dg * dg + db * db;
}

// Index of the palette entry nearest to color (the first of equals).
static int NearestEntry(const CRgbQuad& color, const CRgbQuad palette[256]) {
  int best = 0, bestDistance = ColorDistance(color, palette[0]);
  for (int i = 1; i < 256 && bestDistance > 0; i++) {
    const int distance = ColorDistance(color, palette[i]);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

int CDIB::MapColorsToPalette(const CRgbQuad palette[256]) {
  if (!palette || !m_pBits || GetBitCount() != 8) return 0;
  // color map, then every pixel through it
  unsigned char map[256];
  CRgbQuad* table = GetColorTable();
  for (int i = 0; i < 256; i++)
    map[i] = static_cast<unsigned char>(NearestEntry(table[i], palette));
  const size_t bits = static_cast<size_t>(GetStride()) * GetHeight();
  for (size_t i = 0; i < bits; i++) m_pBits[i] = map[m_pBits[i]];
  std::memcpy(table, palette, 256 * sizeof(CRgbQuad));
  return 1;
}

// Shrinks a span [start, start + length) of one axis so that it lies within
// [0, limit), moving the paired start along.
static void ClipSpan(int& start, int& other, int& length, int limit) {
  if (start < 0) {
    length += start;
    other -= start;
    start = 0;
  }
  if (start + length > limit) length = limit - start;
}

int CDIB::CopyBits(CDIB* destination, int dx, int dy, int w, int h, int sx, int sy,
                   int transparent) const {
  if (!destination || w <= 0 || h <= 0) return 0;
  if (GetBitCount() != 8 || destination->GetBitCount() != 8) return 0;
  // clip to the source, then to the destination
  ClipSpan(sx, dx, w, GetWidth());
  ClipSpan(sy, dy, h, GetHeight());
  ClipSpan(dx, sx, w, destination->GetWidth());
  ClipSpan(dy, sy, h, destination->GetHeight());
  if (w <= 0 || h <= 0) return 0;

  for (int row = 0; row < h; row++) {
    const unsigned char* from = PixelAddress(sx, sy + row);
    unsigned char* to = destination->GetPixelAddress(dx, dy + row);
    if (!from || !to) continue;
    if (transparent == -1) {
      std::memmove(to, from, static_cast<size_t>(w));
      continue;
    }
    for (int x = 0; x < w; x++)
      if (from[x] != transparent) to[x] = from[x];
  }
  return h;
}
