#include "app/commands/ValenceReports.h"

#include <cstdio>

#include "app/UserInterface.h"

namespace orvex {

double FacesPerSecond(int faces, double seconds) {
  return seconds > 0.0 ? faces / seconds : 0.0;
}

double TotalRate(const CValenceResult& result) {
  double geometry =
      result.m_NbVertex > 0 ? static_cast<double>(result.m_GeometryBits) / result.m_NbVertex : 0.0;
  return result.m_ConnectivityRate + geometry;
}

std::string SingleRunStatus(const CValenceResult& r, bool geometry, double entropy) {
  double speed = FacesPerSecond(r.m_NbFace, r.m_Seconds);
  if (geometry)
    return FormatStatus("%d faces, CONN %g b/v, %g s, %g f/s, GEOM %g b/f, SUM %g b/v, PSNR: %g, "
                        "L2: %g, entropy %g b/v",
                        r.m_NbFace, r.m_ConnectivityRate, r.m_Seconds, speed, r.m_GeometryRate,
                        TotalRate(r), r.m_Psnr, r.m_L2, entropy);
  return FormatStatus("%d faces, %d vertices, rate: %g b/v, %g s, %g f/s, %d split(s), "
                      "%d complete(s), entropy %g b/v",
                      r.m_NbFace, r.m_NbVertex, r.m_ConnectivityRate, r.m_Seconds, speed,
                      r.m_Splits, r.m_Completions, entropy);
}

// multiple-seed study ----------------------------------------------------------

int CSeedStudy::RandomSeed(int draw, int count) {
  if (count <= 1 || draw <= 0) return 0;
  return static_cast<int>(static_cast<long long>(draw) * (count - 1) / 32767);
}

void CSeedStudy::Add(int index, int face, const CValenceResult& result) {
  double rate = result.m_ConnectivityRate;
  m_LastIndex = index;
  m_LastFace = face;
  m_LastRate = rate;
  m_LastSeconds = result.m_Seconds;
  m_LastSpeed = FacesPerSecond(result.m_NbFace, result.m_Seconds);
  m_LastSplits = result.m_Splits;
  if (m_Runs == 0 || rate < m_MinRate) {
    m_MinRate = rate;
    m_MinFace = face;
  }
  if (m_Runs == 0 || rate > m_MaxRate) {
    m_MaxRate = rate;
    m_MaxFace = face;
  }
  m_SumRate += rate;
  m_SumSeconds += result.m_Seconds;
  m_SumFaces += result.m_NbFace;
  m_Runs++;

  char line[96];
  std::snprintf(line, sizeof(line), "%d\t%g\t%d\n", face, rate, result.m_Splits);
  m_Table += line;
}

std::string CSeedStudy::LastRunStatus() const {
  return FormatStatus("Face %d/%d, rate: %1.6f b/v, %3.4f s, %4.3f f/s, min %f (f %d), %d split",
                      m_LastIndex, m_Count, m_LastRate, m_LastSeconds, m_LastSpeed, m_MinRate,
                      m_MinFace, m_LastSplits);
}

std::string CSeedStudy::Summary() const {
  double mean = m_Runs ? m_SumRate / m_Runs : 0.0;
  double speed = m_SumSeconds > 0.0 ? m_SumFaces / m_SumSeconds : 0.0;
  return FormatStatus("Min rate: %1.7f b/v (index %d), max rate: %g b/v (index %d), mean rate: %g, "
                      "mean speed: %g f/s",
                      m_MinRate, m_MinFace, m_MaxRate, m_MaxFace, mean, speed);
}

// geometry benchmark -------------------------------------------------------------

std::string BenchmarkStatus(int normalBits, int paramBits) {
  return FormatStatus("Encode(%d;%d)...", normalBits, paramBits);
}

const char* BenchmarkHeader() {
  return "BENCHS PSNR/Quantization geometry\r\nN \t P \t PSNR \t L2 \t Cost\r\n";
}

std::string BenchmarkLine(int normalBits, int paramBits, const CValenceResult& result) {
  return FormatStatus("%d \t %d \t %g \t %g \t %g\n", normalBits, paramBits, result.m_Psnr,
                      result.m_L2, TotalRate(result));
}

// code distribution ---------------------------------------------------------------

std::vector<int> CodeHistogram(const std::vector<int>& codes) {
  std::vector<int> histogram;
  for (int code : codes) {
    if (code < 0) continue;
    if (static_cast<size_t>(code) >= histogram.size()) histogram.resize(code + 1, 0);
    histogram[code]++;
  }
  return histogram;
}

void AddHistogram(std::vector<int>& total, const std::vector<int>& more) {
  if (more.size() > total.size()) total.resize(more.size(), 0);
  for (size_t i = 0; i < more.size(); i++) total[i] += more[i];
}

} // namespace orvex
