#include "app/side/ScalarImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

namespace orvex {

namespace {

// Bit-wise choice between two floats: `a` when `first`, else `b`. The
// hot loops choose by masks because the compiler keeps a plain select of
// floating-point results as a branch, which stops vectorization.
inline float Choose(bool first, float a, float b) {
  std::uint32_t ia, ib;
  std::memcpy(&ia, &a, sizeof ia);
  std::memcpy(&ib, &b, sizeof ib);
  const std::uint32_t mask = 0u - static_cast<std::uint32_t>(first);
  const std::uint32_t bits = (ia & mask) | (ib & ~mask);
  float chosen;
  std::memcpy(&chosen, &bits, sizeof chosen);
  return chosen;
}

// Adds a neighbour to the sum and count when it is filled. Branch-free, as
// holes in measured data are random: an empty neighbour adds +0.0, which
// leaves the sum as it is (the sum starts at +0.0 and so never becomes
// -0.0).
inline void AddFilled(float v, double& sum, int& count) {
  const bool filled = v != kEmptyPixel;
  sum += static_cast<double>(Choose(filled, v, 0.0f));
  count += filled ? 1 : 0;
}

// The sum and count of the filled neighbours of column x, read from the
// row above, the pixel's own row and the row below, in reading order.
inline int NeighbourSum(const float* above, const float* row, const float* below, int x,
                        double& sum) {
  int count = 0;
  sum = 0.0;
  AddFilled(above[x - 1], sum, count);
  AddFilled(above[x], sum, count);
  AddFilled(above[x + 1], sum, count);
  AddFilled(row[x - 1], sum, count);
  AddFilled(row[x + 1], sum, count);
  AddFilled(below[x - 1], sum, count);
  AddFilled(below[x], sum, count);
  AddFilled(below[x + 1], sum, count);
  return count;
}

// The mean of the filled neighbours of interior pixel (x, y) of `values`,
// or false when all eight are empty.
bool NeighbourMean(const float* values, int width, int x, int y, float& mean) {
  const float* row = values + static_cast<std::ptrdiff_t>(y) * width;
  double sum;
  const int count = NeighbourSum(row - width, row, row + width, x, sum);
  if (count == 0) return false;
  mean = static_cast<float>(sum / count);
  return true;
}

// One interior row of a fill pass: `row`, `above` and `below` hold the
// values from before the pass, `out` receives the filled pixels. Every
// pixel's mean is formed and then kept or dropped by a select, so that the
// loop has no branch and vectorizes. True when a pixel was filled.
bool FillRow(const float* above, const float* row, const float* below, int width, float* out) {
  int filledAny = 0;
  for (int x = 1; x < width - 1; ++x) {
    double sum;
    const int count = NeighbourSum(above, row, below, x, sum);
    const bool fill = (row[x] == kEmptyPixel) & (count > 0);
    const float mean = static_cast<float>(sum / (count + (count == 0)));
    out[x] = Choose(fill, mean, row[x]);
    filledAny |= fill ? 1 : 0;
  }
  return filledAny != 0;
}

// One output row of a convolution: rows[ky][x + kx] is the bordered
// original under weight (kx, ky). The weighted sum is formed in double in
// reading order, empty pixels joining with their value -1.
void ConvolveRow(const float* const* rows, const int* kernel, int kernelWidth, int kernelHeight,
                 int divider, int width, float* out) {
  for (int x = 0; x < width; ++x) {
    double sum = 0.0;
    for (int ky = 0; ky < kernelHeight; ++ky) {
      const float* row = rows[ky] + x;
      const int* weights = kernel + static_cast<std::ptrdiff_t>(ky) * kernelWidth;
      for (int kx = 0; kx < kernelWidth; ++kx) sum += static_cast<double>(weights[kx]) * row[kx];
    }
    out[x] = static_cast<float>(sum / divider);
  }
}

// The same for a 3x3 kernel with its weights held in registers: the same
// operations in the same order, unrolled so that the loop over x
// vectorizes.
void Convolve3x3Row(const float* const* rows, const int* kernel, int divider, int width,
                    float* out) {
  double w[9];
  for (int i = 0; i < 9; ++i) w[i] = kernel[i];
  const float *r0 = rows[0], *r1 = rows[1], *r2 = rows[2];
  const double d = divider;
  for (int x = 0; x < width; ++x) {
    double sum = 0.0;
    sum += w[0] * r0[x];
    sum += w[1] * r0[x + 1];
    sum += w[2] * r0[x + 2];
    sum += w[3] * r1[x];
    sum += w[4] * r1[x + 1];
    sum += w[5] * r1[x + 2];
    sum += w[6] * r2[x];
    sum += w[7] * r2[x + 1];
    sum += w[8] * r2[x + 2];
    out[x] = static_cast<float>(sum / d);
  }
}

bool IsInterior(int x, int y, int width, int height) {
  return x > 0 && y > 0 && x < width - 1 && y < height - 1;
}

} // namespace

void CScalarImage::Resize(int width, int height, float value) {
  m_Width = width;
  m_Height = height;
  m_Values.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), value);
}

bool CScalarImage::FillPass() {
  const int width = m_Width, height = m_Height;
  // Border case: without interior pixels there is nothing to fill; border
  // pixels are never filled, so the loops below cover the interior only.
  if (width < 3 || height < 3) return false;
  // Rolling copies of the two rows above the one being written keep the
  // values from before the pass; the row below is still unchanged.
  std::vector<float> above(m_Values.begin(), m_Values.begin() + width);
  std::vector<float> current(m_Values.begin() + width, m_Values.begin() + 2 * width);
  bool changed = false;
  for (int y = 1; y < height - 1; ++y) {
    float* out = m_Values.data() + static_cast<std::ptrdiff_t>(y) * width;
    changed |= FillRow(above.data(), current.data(), out + width, width, out);
    above.swap(current);
    std::copy_n(out + width, width, current.begin());
  }
  return changed;
}

// Breadth-first filling: ring k holds the empty pixels next to a pixel
// known before ring k, which are exactly the pixels pass k would fill.
int CScalarImage::FillRecursive(const std::function<void()>& ring) {
  const int width = m_Width, height = m_Height;
  std::vector<unsigned char> queued(m_Values.size(), 0);
  std::vector<int> front, next;
  std::vector<float> means;
  // Phase 1: the first front, empty interior pixels touching a filled one.
  for (int y = 1; y < height - 1; ++y)
    for (int x = 1; x < width - 1; ++x) {
      const int index = y * width + x;
      if (m_Values[static_cast<std::size_t>(index)] != kEmptyPixel) continue;
      float mean;
      if (NeighbourMean(m_Values.data(), width, x, y, mean)) {
        front.push_back(index);
        queued[static_cast<std::size_t>(index)] = 1;
      }
    }
  int rings = 0;
  while (!front.empty()) {
    // Phase 2: every front pixel's mean from the values before this ring.
    means.resize(front.size());
    for (std::size_t i = 0; i < front.size(); ++i)
      NeighbourMean(m_Values.data(), width, front[i] % width, front[i] / width, means[i]);
    for (std::size_t i = 0; i < front.size(); ++i)
      m_Values[static_cast<std::size_t>(front[i])] = means[i];
    ++rings;
    if (ring) ring();
    // Phase 3: the empty interior neighbours of this ring form the next.
    next.clear();
    for (int index : front) {
      const int x = index % width, y = index / width;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int nx = x + dx, ny = y + dy, n = ny * width + nx;
          if (!IsInterior(nx, ny, width, height) || queued[static_cast<std::size_t>(n)]) continue;
          if (m_Values[static_cast<std::size_t>(n)] != kEmptyPixel) continue;
          queued[static_cast<std::size_t>(n)] = 1;
          next.push_back(n);
        }
    }
    front.swap(next);
  }
  return rings;
}

int CScalarImage::Convolve(const std::vector<int>& kernel, int kernelWidth, int kernelHeight,
                           int divider, std::string& error) {
  // Bad kernels and dividers leave the image as it is.
  if (kernelWidth <= 0 || kernelHeight <= 0 || kernelWidth % 2 == 0 || kernelHeight % 2 == 0 ||
      kernelWidth > m_Width || kernelHeight > m_Height ||
      kernel.size() != static_cast<std::size_t>(kernelWidth) * kernelHeight) {
    error = "Filter : invalid specified filter size\n";
    return 0;
  }
  if (divider == 0) {
    error = "Filter: invalid specified divider\n";
    return 0;
  }
  // The original rows the kernel covers, each centred in a zero border of
  // half a kernel and rows outside the image all zeros: a ring of
  // kernelHeight rows instead of a bordered copy of the whole image.
  const int rx = kernelWidth / 2, ry = kernelHeight / 2;
  const int paddedWidth = m_Width + 2 * rx;
  std::vector<float> ring;
  try {
    ring.assign(static_cast<std::size_t>(paddedWidth) * kernelHeight, 0.0f);
  } catch (const std::bad_alloc&) {
    error = "Filter : unable to create empty image\n";
    return 0;
  }
  const auto slot = [&](int imageRow) {
    const int index = ((imageRow % kernelHeight) + kernelHeight) % kernelHeight;
    return ring.data() + static_cast<std::ptrdiff_t>(index) * paddedWidth;
  };
  // Copies original row imageRow into its slot; rows outside are zeros.
  const auto load = [&](int imageRow) {
    float* padded = slot(imageRow);
    if (imageRow < 0 || imageRow >= m_Height)
      std::fill_n(padded + rx, m_Width, 0.0f);
    else
      std::copy_n(m_Values.data() + static_cast<std::ptrdiff_t>(imageRow) * m_Width, m_Width,
                  padded + rx);
  };
  for (int r = -ry; r < ry; ++r) load(r);
  std::vector<const float*> rows(static_cast<std::size_t>(kernelHeight));
  for (int y = 0; y < m_Height; ++y) {
    // Row y + ry is still original: only rows above y have been written.
    load(y + ry);
    for (int ky = 0; ky < kernelHeight; ++ky)
      rows[static_cast<std::size_t>(ky)] = slot(y - ry + ky);
    float* out = m_Values.data() + static_cast<std::ptrdiff_t>(y) * m_Width;
    if (kernelWidth == 3 && kernelHeight == 3)
      Convolve3x3Row(rows.data(), kernel.data(), divider, m_Width, out);
    else
      ConvolveRow(rows.data(), kernel.data(), kernelWidth, kernelHeight, divider, m_Width, out);
  }
  return 1;
}

int CScalarImage::Gaussian3x3(std::string& error) {
  static const std::vector<int> kKernel = {1, 2, 1, 2, 4, 2, 1, 2, 1};
  return Convolve(kKernel, 3, 3, 16, error);
}

void CScalarImage::RefreshDisplay(CRgbImage& display) const {
  if (display.m_Width != m_Width || display.m_Height != m_Height) display.Resize(m_Width, m_Height);
  // A maximum of 0 or less would divide by zero: such images show grey 0.
  const double maximum = m_Maximum;
  for (std::size_t i = 0; i < m_Values.size(); ++i) {
    const float v = m_Values[i];
    if (v == kEmptyPixel) continue;
    const double grey = maximum > 0.0 ? std::clamp(v / maximum * 255.0, 0.0, 255.0) : 0.0;
    unsigned char* pixel = display.m_Pixels.data() + i * 3;
    pixel[0] = pixel[1] = pixel[2] = static_cast<unsigned char>(grey);
  }
}

} // namespace orvex
