#pragma once

#include <string>

// What the scene graph needs from a texture image: its name (textures are
// shared by file name), its size and its pixel rows. The images themselves
// are read by the file layer, which implements this interface; the scene
// graph owns them through it and uploads them to OpenGL.
class CTextureImage {
public:
  virtual ~CTextureImage() = default;
  virtual const std::string& GetFileName() const = 0;
  virtual unsigned int GetWidth() const = 0;
  virtual unsigned int GetHeight() const = 0;
  // Bits per pixel: 24 (3 bytes per pixel) or 32 (4 bytes per pixel).
  virtual unsigned int GetDepth() const = 0;
  // Distance in bytes between the starts of two consecutive rows.
  virtual int GetRowBytes() const = 0;
  virtual const unsigned char* GetPixels() const = 0;
  virtual int IsValid() const = 0;
};
