#include "app/side/DromeAnalysis.h"

#include <filesystem>

#include "io/WriteBmp.h"

namespace orvex {

int RunDromeProcess(CScalarImage& image, DromeProcess process, std::string& error) {
  switch (process) {
  case DromeProcess::None:
    return 1;
  case DromeProcess::Fill:
    image.FillPass();
    return 1;
  case DromeProcess::RecursiveFill:
    image.FillRecursive();
    return 1;
  case DromeProcess::Gaussian3x3:
    return image.Gaussian3x3(error);
  }
  return 1;
}

std::string DromeFileName(int width, int height) {
  return "drome_" + std::to_string(width) + "_" + std::to_string(height) + ".bmp";
}

std::string SaveDromePicture(const std::string& folder, const CRgbImage& display,
                             std::string& error) {
  if (display.IsEmpty()) {
    error = "There is no picture to save";
    return "";
  }
  const std::string path = (std::filesystem::path(folder.empty() ? "." : folder) /
                            DromeFileName(display.m_Width, display.m_Height))
                               .string();
  // The writer goes through a temporary file renamed into place.
  if (!WriteBmp24(path, display, error)) return "";
  return path;
}

} // namespace orvex
