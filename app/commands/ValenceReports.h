#pragma once

#include <string>
#include <vector>

#include "compression/ValenceEncoder.h"

namespace orvex {

// Status texts and clipboard tables of the valence-driven coder's commands.
// Every rate in them is in bits per vertex ("b/v") except the geometry
// coder's own rate, which is per element ("b/f").

// Faces per second; 0 when no time was measured.
double FacesPerSecond(int faces, double seconds);

// Connectivity plus geometry in bits per vertex: the geometry bits are
// spread over the same vertices as the connectivity rate.
double TotalRate(const CValenceResult& result);

// The status line of one run, with the valence entropy appended:
// "%d faces, %d vertices, rate: %g b/v, %g s, %g f/s, %d split(s),
// %d complete(s), entropy %g b/v", or with geometry "%d faces, CONN %g b/v,
// %g s, %g f/s, GEOM %g b/f, SUM %g b/v, PSNR: %g, L2: %g, entropy %g b/v".
std::string SingleRunStatus(const CValenceResult& result, bool geometry, double entropy);

// The multiple-seed study: its running statistics, status lines and table.
class CSeedStudy {
public:
  // The seed face of a random run: a draw in 0..32767 scaled to
  // 0..count-1 (in 64 bits: no overflow for large counts).
  static int RandomSeed(int draw, int count);

  explicit CSeedStudy(int count) : m_Count(count) {}

  // Records run index (0-based) made from seed face with its result.
  void Add(int index, int face, const CValenceResult& result);

  // "Face %d/%d, rate: %1.6f b/v, %3.4f s, %4.3f f/s, min %f (f %d), %d split"
  // for the run just added.
  std::string LastRunStatus() const;
  // "Min rate: %1.7f b/v (index %d), max rate: %g b/v (index %d), mean
  // rate: %g, mean speed: %g f/s"; the indices are seed faces, the mean
  // speed is all faces coded over all the time taken.
  std::string Summary() const;
  // "Face \t Rate (b/v)\t #Split\n" and one "%d\t%g\t%d\n" line per run.
  const std::string& Table() const { return m_Table; }
  int Runs() const { return m_Runs; }

private:
  int m_Count;
  int m_Runs = 0;
  int m_LastIndex = 0;
  int m_LastFace = 0;
  double m_LastRate = 0.0;
  double m_LastSeconds = 0.0;
  double m_LastSpeed = 0.0;
  int m_LastSplits = 0;
  double m_MinRate = 0.0;
  double m_MaxRate = 0.0;
  int m_MinFace = 0;
  int m_MaxFace = 0;
  double m_SumRate = 0.0;
  double m_SumSeconds = 0.0;
  long long m_SumFaces = 0;
  std::string m_Table = "Face \t Rate (b/v)\t #Split\n";
};

// The geometry benchmark: status of one pair, header and line of its table.
std::string BenchmarkStatus(int normalBits, int paramBits);
const char* BenchmarkHeader();
std::string BenchmarkLine(int normalBits, int paramBits, const CValenceResult& result);

// Count of each code value, indexed by the value; negative codes are not
// counted.
std::vector<int> CodeHistogram(const std::vector<int>& codes);
// Adds a histogram into another, growing it as needed.
void AddHistogram(std::vector<int>& total, const std::vector<int>& more);

} // namespace orvex
