#include "app/side/ScalarImageReaders.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <new>
#include <sstream>
#include <utility>

namespace orvex {

namespace {

// Walks the text line by line, skipping blank lines, and numbers them.
class LineReader {
public:
  explicit LineReader(const std::string& text) : m_Stream(text) {}
  bool Next(std::istringstream& fields) {
    std::string line;
    while (std::getline(m_Stream, line)) {
      ++m_Number;
      if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
      fields.clear();
      fields.str(line);
      return true;
    }
    return false;
  }
  int Number() const { return m_Number; }

private:
  std::istringstream m_Stream;
  int m_Number = 0;
};

// True when the fields hold exactly the values read and nothing after.
bool AtEnd(std::istringstream& fields) {
  if (fields.fail()) return false;
  fields >> std::ws;
  return fields.eof();
}

std::string LineError(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

int ReadHeader(LineReader& lines, CScalarImage& image, std::string& error, int maxSide) {
  std::istringstream fields;
  long long width = 0, height = 0;
  if (!lines.Next(fields)) {
    error = "the file is empty (expected \"width height\")";
    return 0;
  }
  fields >> width >> height;
  if (!AtEnd(fields)) {
    error = LineError(lines.Number(), "expected \"width height\"");
    return 0;
  }
  if (width < 1 || height < 1 || width > maxSide || height > maxSide) {
    error = LineError(lines.Number(), "the size " + std::to_string(width) + " x " +
                                          std::to_string(height) + " is outside 1 .. " +
                                          std::to_string(maxSide));
    return 0;
  }
  try {
    image.Resize(static_cast<int>(width), static_cast<int>(height));
  } catch (const std::bad_alloc&) {
    error = LineError(lines.Number(), "no memory for an image of " + std::to_string(width) + " x " +
                                          std::to_string(height) + " pixels");
    return 0;
  }
  return 1;
}

bool ValidValue(double value) {
  return std::isfinite(value) && value >= 0.0 && value <= 3.0e38;
}

void SetMaximum(CScalarImage& image) {
  float maximum = 0.0f;
  for (float v : image.m_Values) maximum = std::max(maximum, v);
  image.m_Maximum = maximum;
}

double Edge(double ax, double ay, double bx, double by, double px, double py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

// One edge's side test, the same expression for every pixel centre so that
// centres on an edge are decided alike wherever they are tested. Along a
// row the rounded test is monotone in x (each rounded step is monotone), so
// the centres passing it form one run that ends at one side; `m_Slope`
// tells which: > 0 they run up to a last x, < 0 from a first x, 0 either
// every centre of the row passes or none.
struct EdgeTest {
  double ax, ay, bx, by, sign;
  double m_Slope;
  EdgeTest(double ax, double ay, double bx, double by, double sign)
      : ax(ax), ay(ay), bx(bx), by(by), sign(sign), m_Slope(sign * (by - ay)) {}
  bool Holds(int x, int y) const { return !(sign * Edge(ax, ay, bx, by, x, y) < 0.0); }
  // Where the edge's line crosses row y, as a first guess of the run's end.
  double Crossing(int y) const { return ax + (bx - ax) * (y - ay) / (by - ay); }
};

// The last x in lo .. hi for which inside(x) holds, lo - 1 when none,
// where inside is true up to some x and false after. Galloping search from
// a guess: a couple of tests when the guess is right, a logarithmic number
// when it is off.
template <typename Inside> int LastInside(Inside inside, int lo, int hi, double guess) {
  int in = lo - 1, out = hi + 1; // known inside / outside (or past the ends)
  const int g = guess >= lo - 1 ? (guess <= hi ? static_cast<int>(std::floor(guess)) : hi) : lo - 1;
  // Bracket the end between an inside and an outside x, doubling the steps.
  if (g >= lo && !inside(g)) {
    out = g;
    for (int step = 1; out - step >= lo; step *= 2) {
      if (inside(out - step)) {
        in = out - step;
        break;
      }
      out -= step;
    }
  } else {
    in = g;
    for (int step = 1; in + step <= hi; step *= 2) {
      if (!inside(in + step)) {
        out = in + step;
        break;
      }
      in += step;
    }
  }
  // Bisect the bracket.
  while (out - in > 1) {
    const int mid = in + (out - in) / 2;
    if (inside(mid))
      in = mid;
    else
      out = mid;
  }
  return in;
}

// The row's run of one edge clipped to lo .. hi (lo > hi when empty).
void ClipToEdge(const EdgeTest& edge, int y, int& lo, int& hi) {
  if (edge.m_Slope == 0.0) {
    // Horizontal edge: the whole row is on one side.
    if (!edge.Holds(lo, y)) hi = lo - 1;
    return;
  }
  const double guess = edge.Crossing(y);
  if (edge.m_Slope > 0.0)
    hi = LastInside([&](int x) { return edge.Holds(x, y); }, lo, hi, guess);
  else
    lo = LastInside([&](int x) { return !edge.Holds(x, y); }, lo, hi, guess) + 1;
}

// Sets the pixel centres inside or on the edges of the triangle, either
// orientation; a degenerate triangle covers nothing. Each row is filled as
// one run whose ends are searched with the per-centre test, so a large
// triangle costs a few tests per row instead of three per pixel.
void FillTriangle(CScalarImage& image, const double* c, float value) {
  const double area = Edge(c[0], c[1], c[2], c[3], c[4], c[5]);
  if (area == 0.0) return;
  const double sign = area > 0.0 ? 1.0 : -1.0;
  const int x0 = static_cast<int>(std::max(0.0, std::ceil(std::min({c[0], c[2], c[4]}))));
  const int y0 = static_cast<int>(std::max(0.0, std::ceil(std::min({c[1], c[3], c[5]}))));
  const int xMax = static_cast<int>(
      std::min<double>(image.m_Width - 1, std::floor(std::max({c[0], c[2], c[4]}))));
  const int yMax = static_cast<int>(
      std::min<double>(image.m_Height - 1, std::floor(std::max({c[1], c[3], c[5]}))));
  if (x0 > xMax || y0 > yMax) return; // outside the image
  const EdgeTest edges[3] = {EdgeTest(c[0], c[1], c[2], c[3], sign),
                             EdgeTest(c[2], c[3], c[4], c[5], sign),
                             EdgeTest(c[4], c[5], c[0], c[1], sign)};
  for (int y = y0; y <= yMax; ++y) {
    int lo = x0, hi = xMax;
    for (int e = 0; e < 3 && lo <= hi; ++e) ClipToEdge(edges[e], y, lo, hi);
    if (lo > hi) continue;
    std::fill_n(image.m_Values.data() + static_cast<std::ptrdiff_t>(y) * image.m_Width + lo,
                hi - lo + 1, value);
  }
}

} // namespace

int ReadPtsText(const std::string& text, CScalarImage& image, std::string& error, int maxSide) {
  CScalarImage read;
  LineReader lines(text);
  if (!ReadHeader(lines, read, error, maxSide)) return 0;
  std::istringstream fields;
  while (lines.Next(fields)) {
    long long x = 0, y = 0;
    double value = 0.0;
    fields >> x >> y >> value;
    if (!AtEnd(fields)) {
      error = LineError(lines.Number(), "expected \"x y value\"");
      return 0;
    }
    if (x < 0 || y < 0 || x >= read.m_Width || y >= read.m_Height) {
      error = LineError(lines.Number(), "the pixel " + std::to_string(x) + " " + std::to_string(y) +
                                            " lies outside the image");
      return 0;
    }
    if (!ValidValue(value)) {
      error = LineError(lines.Number(), "the value must be a number of at least 0");
      return 0;
    }
    read.At(static_cast<int>(x), static_cast<int>(y)) = static_cast<float>(value);
  }
  SetMaximum(read);
  image = std::move(read);
  return 1;
}

int ReadFacesText(const std::string& text, CScalarImage& image, std::string& error, int maxSide) {
  CScalarImage read;
  LineReader lines(text);
  if (!ReadHeader(lines, read, error, maxSide)) return 0;
  std::istringstream fields;
  while (lines.Next(fields)) {
    double c[6] = {};
    double value = 0.0;
    for (double& coordinate : c) fields >> coordinate;
    fields >> value;
    if (!AtEnd(fields)) {
      error = LineError(lines.Number(), "expected \"x0 y0 x1 y1 x2 y2 value\"");
      return 0;
    }
    // Corners far outside the image are refused so that sums stay exact.
    for (double coordinate : c)
      if (!std::isfinite(coordinate) || std::abs(coordinate) > 1.0e7) {
        error = LineError(lines.Number(), "a corner lies too far from the image");
        return 0;
      }
    if (!ValidValue(value)) {
      error = LineError(lines.Number(), "the value must be a number of at least 0");
      return 0;
    }
    FillTriangle(read, c, static_cast<float>(value));
  }
  SetMaximum(read);
  image = std::move(read);
  return 1;
}

int ReadScalarImageFile(const std::string& fileName, CScalarImage& image, std::string& error) {
  auto endsWith = [&](const std::string& ending) {
    if (fileName.size() < ending.size()) return false;
    return std::equal(ending.rbegin(), ending.rend(), fileName.rbegin(), [](char a, char b) {
      return a == std::tolower(static_cast<unsigned char>(b));
    });
  };
  const bool pts = endsWith(".pts");
  if (!pts && !endsWith(".faces")) {
    error = fileName + ": not a \".pts\" or \".faces\" file";
    return 0;
  }
  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    error = fileName + ": cannot be opened";
    return 0;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const int ok =
      pts ? ReadPtsText(text.str(), image, error) : ReadFacesText(text.str(), image, error);
  if (!ok) error = fileName + ", " + error;
  return ok;
}

} // namespace orvex
