#include "app/AviRecorder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "io/WriteAvi.h"
#include "io/WritePng.h"

namespace orvex {

CRgbImage FitPicture(const CRgbImage& picture, int width, int height) {
  CRgbImage fitted;
  fitted.Resize(width, height);
  const int columns = std::min(width, picture.m_Width);
  const int rows = std::min(height, picture.m_Height);
  for (int y = 0; y < rows; y++)
    std::memcpy(fitted.m_Pixels.data() + size_t(y) * size_t(width) * 3, picture.Pixel(0, y),
                size_t(columns) * 3);
  return fitted;
}

bool CAviRecorder::Open(int width, int height) {
  Close();
  width -= width % 4;
  if (width < 4 || height < 1) return false;
  m_Width = width;
  m_Height = height;
  m_Open = true;
  return true;
}

CAviRecorder::AddResult CAviRecorder::Add(const CRgbImage& picture) {
  if (!m_Open) return AddResult::Closed;
  if (FrameCount() >= kMaxFrames) return AddResult::Full;
  m_Frames.push_back(FitPicture(picture, m_Width, m_Height));
  return AddResult::Added;
}

int CAviRecorder::Write(const std::string& fileName, std::string& error) {
  const int written = WriteAvi(fileName, m_Frames, kAviRate, error);
  Close();
  return written;
}

int CAviRecorder::WritePngFrames(const std::string& pattern, std::string& error) {
  int written = 0;
  for (const CRgbImage& frame : m_Frames) {
    char name[4096];
    std::snprintf(name, sizeof(name), pattern.c_str(), written);
    if (!WritePng(name, frame, error)) break;
    written++;
  }
  Close();
  return written;
}

void CAviRecorder::Close() {
  m_Open = false;
  m_Frames.clear();
  m_Frames.shrink_to_fit();
}

} // namespace orvex
