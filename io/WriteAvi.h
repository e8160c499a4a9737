#pragma once

// A RIFF AVI file of one video stream of uncompressed 24-bit frames
// (bottom-up BGR rows padded to 4 bytes), with its index. Each frame is a
// key frame at sample samplesPerFrame * i of a stream of 25 samples per
// second; the samples between two frames are empty chunks, so a frame
// stays on screen until the next one.

#include <cstdint>
#include <string>
#include <vector>

#include "io/RgbImage.h"

constexpr int kAviRate = 25;
// Largest file written: RIFF sizes are 32-bit and many readers stop at 2 GB.
constexpr uint64_t kAviMaxBytes = 0x7FFFFFFFull;

// Bytes of the file WriteAvi writes for count frames of width x height.
uint64_t AviFileSize(int width, int height, size_t count, int samplesPerFrame);

// Writes the frames, which all have the size of the first, through a
// temporary file renamed into place. 0 with the reason in error: no
// frames, frames of different sizes, a file over kAviMaxBytes, or a write
// that failed (the old file of that name is then kept).
int WriteAvi(const std::string& fileName, const std::vector<CRgbImage>& frames, int samplesPerFrame,
             std::string& error);
