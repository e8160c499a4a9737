#include "io/WriteAvi.h"

#include "io/BmpHeader.h"
#include "io/ReplaceFile.h"
#include "io/WriteBmp.h"

namespace {

constexpr uint32_t kAvifHasIndex = 0x10;
constexpr uint32_t kAviifKeyFrame = 0x10;
constexpr size_t kMainHeaderSize = 56;
constexpr size_t kStreamHeaderSize = 56;
constexpr size_t kFormatSize = 40;
// "hdrl" list: its type, avih and its header, the "strl" list (type,
// strh, strf and their headers).
constexpr size_t kHeaderListSize =
    4 + 8 + kMainHeaderSize + 8 + 4 + 8 + kStreamHeaderSize + 8 + kFormatSize;

uint32_t RowBytes(int width) {
  return uint32_t(BmpRowBytes(uint64_t(width), 24));
}

// Grows a byte vector with little-endian fields and four-character codes.
struct CChunkBuffer {
  std::vector<unsigned char> bytes;
  void Code(const char* fourcc) { bytes.insert(bytes.end(), fourcc, fourcc + 4); }
  void U32(uint32_t value) {
    unsigned char b[4];
    PutLittle32(b, value);
    bytes.insert(bytes.end(), b, b + 4);
  }
  void U16(uint16_t value) {
    unsigned char b[2];
    PutLittle16(b, value);
    bytes.insert(bytes.end(), b, b + 2);
  }
};

// Everything before the first frame chunk: RIFF header, "hdrl" list and
// the head of the "movi" list.
std::vector<unsigned char> Head(int width, int height, size_t count, int samplesPerFrame,
                                uint64_t fileSize, uint64_t moviSize) {
  const uint32_t imageSize = RowBytes(width) * uint32_t(height);
  const uint32_t length = uint32_t(count) * uint32_t(samplesPerFrame);
  CChunkBuffer b;
  b.Code("RIFF");
  b.U32(uint32_t(fileSize - 8));
  b.Code("AVI ");
  b.Code("LIST");
  b.U32(uint32_t(kHeaderListSize));
  b.Code("hdrl");
  // main header
  b.Code("avih");
  b.U32(kMainHeaderSize);
  b.U32(1000000u / kAviRate);                                        // microseconds per frame
  b.U32(imageSize * uint32_t(kAviRate) / uint32_t(samplesPerFrame)); // max bytes per second
  b.U32(0);                                                          // padding granularity
  b.U32(kAvifHasIndex);                                              // flags
  b.U32(length);                                                     // total frames (samples)
  b.U32(0);                                                          // initial frames
  b.U32(1);                                                          // streams
  b.U32(imageSize);                                                  // suggested buffer size
  b.U32(uint32_t(width));
  b.U32(uint32_t(height));
  for (int i = 0; i < 4; i++) b.U32(0); // reserved
  // stream list: header and format
  b.Code("LIST");
  b.U32(uint32_t(4 + 8 + kStreamHeaderSize + 8 + kFormatSize));
  b.Code("strl");
  b.Code("strh");
  b.U32(kStreamHeaderSize);
  b.Code("vids");
  b.U32(0);         // handler
  b.U32(0);         // flags
  b.U16(0);         // priority
  b.U16(0);         // language
  b.U32(0);         // initial frames
  b.U32(1);         // scale
  b.U32(kAviRate);  // rate
  b.U32(0);         // start
  b.U32(length);    // length
  b.U32(imageSize); // suggested buffer size
  b.U32(1000);      // quality
  b.U32(0);         // sample size
  b.U16(0);         // frame rectangle
  b.U16(0);
  b.U16(uint16_t(width));
  b.U16(uint16_t(height));
  b.Code("strf");
  b.U32(kFormatSize);
  b.U32(kFormatSize);
  b.U32(uint32_t(width));
  b.U32(uint32_t(height));
  b.U16(1);  // planes
  b.U16(24); // bit count
  b.U32(0);  // no compression
  b.U32(imageSize);
  for (int i = 0; i < 4; i++) b.U32(0);
  // the frames' list
  b.Code("LIST");
  b.U32(uint32_t(moviSize));
  b.Code("movi");
  return b.bytes;
}

} // namespace

uint64_t AviFileSize(int width, int height, size_t count, int samplesPerFrame) {
  const uint64_t chunks = uint64_t(count) * uint64_t(samplesPerFrame);
  const uint64_t image = uint64_t(RowBytes(width)) * uint64_t(height);
  const uint64_t movi = 4 + chunks * 8 + uint64_t(count) * image;
  const uint64_t index = 8 + chunks * 16;
  return 12 + 8 + kHeaderListSize + 8 + movi + index;
}

int WriteAvi(const std::string& fileName, const std::vector<CRgbImage>& frames, int samplesPerFrame,
             std::string& error) {
  // checks: frames, one size, the 2 GB limit
  if (frames.empty() || frames[0].IsEmpty()) {
    error = "No frame to write";
    return 0;
  }
  const int width = frames[0].m_Width, height = frames[0].m_Height;
  if (width > 0xFFFF || height > 0xFFFF || samplesPerFrame < 1) {
    error = "Frame size not supported";
    return 0;
  }
  for (const CRgbImage& frame : frames)
    if (frame.m_Width != width || frame.m_Height != height ||
        frame.m_Pixels.size() != size_t(width) * size_t(height) * 3) {
      error = "Frames of different sizes";
      return 0;
    }
  const uint64_t fileSize = AviFileSize(width, height, frames.size(), samplesPerFrame);
  if (fileSize > kAviMaxBytes) {
    error = "Video too large (over 2 GB): " + std::to_string(frames.size()) + " frames not written";
    return 0;
  }
  const uint32_t imageSize = RowBytes(width) * uint32_t(height);
  const uint64_t chunks = uint64_t(frames.size()) * uint64_t(samplesPerFrame);
  const uint64_t moviSize = 4 + chunks * 8 + uint64_t(frames.size()) * imageSize;

  CReplaceFile file;
  auto failed = [&error] {
    error = "Unable to write the video file";
    return 0;
  };
  if (!file.Open(fileName)) return failed();
  const std::vector<unsigned char> head =
      Head(width, height, frames.size(), samplesPerFrame, fileSize, moviSize);
  if (!file.Write(head.data(), head.size())) return failed();

  // frames: a key frame chunk, then empty chunks up to the next frame
  CChunkBuffer index;
  index.Code("idx1");
  index.U32(uint32_t(chunks * 16));
  uint32_t offset = 4; // from the "movi" code
  std::vector<unsigned char> pixels;
  const unsigned char emptyChunk[8] = {'0', '0', 'd', 'b', 0, 0, 0, 0};
  for (const CRgbImage& frame : frames) {
    BottomUpBgr(frame, pixels);
    unsigned char chunk[8] = {'0', '0', 'd', 'b', 0, 0, 0, 0};
    PutLittle32(chunk + 4, imageSize);
    if (!file.Write(chunk, 8) || !file.Write(pixels.data(), pixels.size())) return failed();
    index.Code("00db");
    index.U32(kAviifKeyFrame);
    index.U32(offset);
    index.U32(imageSize);
    offset += 8 + imageSize;
    for (int s = 1; s < samplesPerFrame; s++) {
      if (!file.Write(emptyChunk, 8)) return failed();
      index.Code("00db");
      index.U32(0);
      index.U32(offset);
      index.U32(0);
      offset += 8;
    }
  }
  if (!file.Write(index.bytes.data(), index.bytes.size()) || !file.Commit()) return failed();
  return 1;
}
