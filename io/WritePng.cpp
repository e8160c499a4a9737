#include "io/WritePng.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <limits>
#include <vector>

#include "io/ReplaceFile.h"

namespace {

// The encoder's output and its first error. libpng leaves the encoding
// with longjmp on an error, so the encoding frame holds no object that has
// a destructor.
struct PngOutput {
  std::vector<unsigned char>* bytes;
  char message[256];
};

void AppendBytes(png_structp png, png_bytep data, size_t length) {
  auto* output = static_cast<PngOutput*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    output->bytes->insert(output->bytes->end(), data, data + length);
  } catch (...) {
    stored = false;
  }
  if (!stored) png_error(png, "out of memory");
}

void NoFlush(png_structp) {}

void OnError(png_structp png, png_const_charp message) {
  auto* output = static_cast<PngOutput*>(png_get_error_ptr(png));
  std::snprintf(output->message, sizeof(output->message), "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Encodes the rows into output->bytes; 0 with output->message on failure.
int Encode(const CRgbImage& image, PngOutput* output) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, output, OnError, OnWarning);
  if (!png) {
    std::snprintf(output->message, sizeof(output->message), "out of memory");
    return 0;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    if (!output->message[0])
      std::snprintf(output->message, sizeof(output->message), "out of memory");
    return 0;
  }
  png_set_write_fn(png, output, AppendBytes, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.m_Width),
               static_cast<png_uint_32>(image.m_Height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = static_cast<size_t>(image.m_Width) * 3;
  for (int y = 0; y < image.m_Height; y++)
    png_write_row(png, const_cast<png_bytep>(image.m_Pixels.data() + y * rowBytes));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return 1;
}

} // namespace

int WritePng(const std::string& fileName, const CRgbImage& image, std::string& error) {
  const size_t expected = static_cast<size_t>(image.m_Width > 0 ? image.m_Width : 0) *
                          static_cast<size_t>(image.m_Height > 0 ? image.m_Height : 0) * 3;
  if (image.IsEmpty() || image.m_Pixels.size() != expected ||
      image.m_Width > std::numeric_limits<int>::max() / 3) {
    error = "the picture is empty or its size does not match its pixels";
    return 0;
  }
  std::vector<unsigned char> bytes;
  PngOutput output{&bytes, {0}};
  if (!Encode(image, &output)) {
    error = std::string("cannot encode the PNG picture: ") + output.message;
    return 0;
  }
  CReplaceFile file;
  if (!file.Open(fileName)) {
    error = "cannot create " + fileName;
    return 0;
  }
  if (!file.Write(bytes.data(), bytes.size()) || !file.Commit()) {
    error = "cannot write " + fileName;
    return 0;
  }
  return 1;
}
