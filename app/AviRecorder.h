#pragma once

#include <string>
#include <vector>

#include "io/RgbImage.h"

namespace orvex {

// A video recording (Window/AVI): closed, then open from Init until Write.
// Frames are kept as pictures of the size fixed at Init (the width rounded
// down to a multiple of 4) and written as one frame per second of a 25
// samples per second AVI file.
class CAviRecorder {
public:
  static constexpr int kMaxFrames = 100;
  enum class AddResult { Added, Full, Closed };

  bool IsOpen() const { return m_Open; }
  int Width() const { return m_Width; }
  int Height() const { return m_Height; }
  int FrameCount() const { return int(m_Frames.size()); }
  const std::vector<CRgbImage>& Frames() const { return m_Frames; }

  // Opens a recording of width x height frames (the width rounded down to
  // a multiple of 4), dropping any frames of an earlier one; false, left
  // closed, when no frame of at least 4 x 1 pixels fits.
  bool Open(int width, int height);
  // Keeps a copy of the picture fitted to the frame size (cut at the right
  // and bottom, or filled black there).
  AddResult Add(const CRgbImage& picture);
  // Writes the frames as an AVI file and closes the recording; 0 with the
  // reason in error (the recording is closed either way).
  int Write(const std::string& fileName, std::string& error);
  // Writes the frames as PNG files named by the printf pattern (one %d for
  // the frame number from 0) and closes the recording; the number of files
  // written, with the reason in error when one failed.
  int WritePngFrames(const std::string& pattern, std::string& error);
  void Close();

private:
  bool m_Open = false;
  int m_Width = 0;
  int m_Height = 0;
  std::vector<CRgbImage> m_Frames;
};

// The picture cut or filled black to width x height, anchored top left.
CRgbImage FitPicture(const CRgbImage& picture, int width, int height);

} // namespace orvex
