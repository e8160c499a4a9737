#include "io/ReadPng.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <utility>

namespace {

constexpr png_uint_32 kMaxSide = 1u << 15;

struct PngInput {
  char message[256];
};

void OnError(png_structp png, png_const_charp message) {
  auto* input = static_cast<PngInput*>(png_get_error_ptr(png));
  std::snprintf(input->message, sizeof(input->message), "%s", message);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Decodes the open file into image (sized before the rows are read, so the
// decoding frame holds no object with a destructor). 0 on failure.
int Decode(FILE* file, CRgbImage* image, PngInput* input) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, input, OnError, OnWarning);
  if (!png) return 0;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return 0;
  }
  png_init_io(png, file);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);

  // every format comes out as 8-bit RGB
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_gray_to_rgb(png);
  // interlaced pictures need every pass over every row
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != png_get_image_width(png, info) * 3)
    png_error(png, "unexpected row layout");

  const int width = static_cast<int>(png_get_image_width(png, info));
  const int height = static_cast<int>(png_get_image_height(png, info));
  bool sized = true;
  try {
    image->Resize(width, height);
  } catch (...) {
    sized = false;
  }
  if (!sized) png_error(png, "out of memory");
  for (int pass = 0; pass < passes; pass++)
    for (int y = 0; y < height; y++)
      png_read_row(png, image->m_Pixels.data() + static_cast<size_t>(y) * width * 3, nullptr);
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return 1;
}

} // namespace

int ReadPng(const std::string& fileName, CRgbImage& image, std::string& error) {
  FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) {
    error = "cannot open " + fileName;
    return 0;
  }
  unsigned char signature[8] = {0};
  const bool isPng = std::fread(signature, 1, 8, file) == 8 && png_sig_cmp(signature, 0, 8) == 0;
  int ok = 0;
  PngInput input{{0}};
  if (isPng) {
    std::rewind(file);
    CRgbImage decoded;
    ok = Decode(file, &decoded, &input);
    if (ok) image = std::move(decoded);
  }
  std::fclose(file);
  if (!isPng)
    error = fileName + " is not a PNG file";
  else if (!ok)
    error = "cannot read " + fileName + (input.message[0] ? std::string(": ") + input.message : "");
  return ok;
}
