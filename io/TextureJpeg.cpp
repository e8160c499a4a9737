// JPEG reading of CTexture through libjpeg (IJG v6 API). Fatal library
// errors jump back to the decoder, which releases everything and reports the
// library's message; warnings about damaged data are ignored.

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "io/Texture.h"

namespace {

// libjpeg's error manager extended with the place to jump back to.
struct JpegErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// Where the compressed bytes come from: a stdio file or a memory block.
struct JpegSource {
  FILE* file;
  const unsigned char* data;
  size_t size;
};

// What the decoder reports besides the image.
struct JpegResult {
  int tooLarge;
  char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, manager->message);
  std::longjmp(manager->jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

void AttachSource(j_decompress_ptr cinfo, const JpegSource* source) {
  if (source->file)
    jpeg_stdio_src(cinfo, source->file);
  else
    jpeg_mem_src(cinfo, const_cast<unsigned char*>(source->data),
                 static_cast<unsigned long>(source->size));
}

// Copies one decoded scanline as red, green, blue; a gray scanline is
// expanded to three equal bytes.
void StoreScanline(const JSAMPLE* line, int components, unsigned int width, unsigned char* row) {
  if (components == 3) {
    std::memcpy(row, line, static_cast<size_t>(width) * 3);
    return;
  }
  for (unsigned int x = 0; x < width; x++) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = line[x];
}

// Decodes the whole image into texture. Returns 1 on success, 0 on a fatal
// library error (message in result->message) or when the image is larger
// than the texture size limit or cannot be allocated (result->tooLarge).
// Only plain C objects live in this frame, since a fatal error leaves it by
// longjmp.
int DecodeJpeg(const JpegSource* source, CTexture* texture, JpegResult* result) {
  jpeg_decompress_struct cinfo;
  JpegErrorManager manager;
  cinfo.err = jpeg_std_error(&manager.pub);
  manager.pub.error_exit = OnFatalError;
  manager.pub.output_message = IgnoreMessage;
  manager.message[0] = '\0';
  if (setjmp(manager.jump)) {
    // a fatal error inside the library lands here
    jpeg_destroy_decompress(&cinfo);
    texture->Free();
    std::memcpy(result->message, manager.message, sizeof result->message);
    return 0;
  }

  // header; every color model other than gray is decoded to RGB
  jpeg_create_decompress(&cinfo);
  AttachSource(&cinfo, source);
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.jpeg_color_space != JCS_GRAYSCALE) cinfo.out_color_space = JCS_RGB;
  const unsigned int maxSide = CTexture::GetMaxSide();
  if (cinfo.image_width > maxSide || cinfo.image_height > maxSide) {
    jpeg_destroy_decompress(&cinfo);
    result->tooLarge = 1;
    return 0;
  }
  jpeg_start_decompress(&cinfo);

  // padded rows of red, green, blue, top row first
  if (!texture->Alloc(cinfo.output_width, cinfo.output_height, 24)) {
    jpeg_destroy_decompress(&cinfo);
    result->tooLarge = 1;
    return 0;
  }
  const size_t rowBytes = static_cast<size_t>(texture->m_WidthByte32);
  const int components = cinfo.output_components;
  JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                               cinfo.output_width * components, 1);

  // scanlines
  while (cinfo.output_scanline < cinfo.output_height) {
    if (jpeg_read_scanlines(&cinfo, line, 1) != 1) break;
    unsigned char* row = texture->m_pData + (cinfo.output_scanline - 1) * rowBytes;
    StoreScanline(line[0], components, cinfo.output_width, row);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return 1;
}

} // namespace

// Runs the decoder and turns its failure into the reader's message.
static int DecodeInto(CTexture* texture, const JpegSource& source) {
  JpegResult result;
  std::memset(&result, 0, sizeof result);
  if (DecodeJpeg(&source, texture, &result)) return 1;
  if (result.tooLarge) {
    texture->m_Error = "JpegFile :\nOut of memory";
  } else {
    texture->m_Error = result.message;
    texture->m_ErrorTitle = "JPEG Fatal Error";
  }
  return 0;
}

int CTexture::ReadJpeg(const std::string& fileName) {
  Free();
  m_Error.clear();
  m_ErrorTitle.clear();
  FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return Fail("JPEG :\nCan't open " + fileName + "\n");
  JpegSource source{file, nullptr, 0};
  const int done = DecodeInto(this, source);
  std::fclose(file);
  if (done) m_FileName = fileName;
  return done;
}

int CTexture::ReadJpegFromMemory(const unsigned char* data, size_t size) {
  Free();
  m_Error.clear();
  m_ErrorTitle.clear();
  JpegSource source{nullptr, data, size};
  return DecodeInto(this, source);
}
