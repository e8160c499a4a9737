#include "compression/IsoHeader.h"

#include <cmath>
#include <cstdio>

#include "compression/IsoVolume.h"

std::string IsoHeaderText(const CIsoHeader& h) {
  char line[512];
  std::string text;
  std::snprintf(line, sizeof line, "%d %d %d %d %f %f %f %f %f %f\n", h.m_Depth, h.m_N,
                h.m_VertexCount, h.m_Geometry, h.m_Origin[0], h.m_Origin[1], h.m_Origin[2],
                h.m_Unit[0], h.m_Unit[1], h.m_Unit[2]);
  text += line;
  std::snprintf(line, sizeof line, "%d %d %d %f %f %f %f %f %f", h.m_Levels[0], h.m_Levels[1],
                h.m_Levels[2], h.m_Range[0], h.m_Range[1], h.m_Range[2], h.m_Minimum[0],
                h.m_Minimum[1], h.m_Minimum[2]);
  text += line;
  return text;
}

int IsoParseHeader(const std::string& text, CIsoHeader& out, std::string& error) {
  CIsoHeader h;
  int used = 0;
  const int first =
      std::sscanf(text.c_str(), "%d %d %d %d %lf %lf %lf %lf %lf %lf%n", &h.m_Depth, &h.m_N,
                  &h.m_VertexCount, &h.m_Geometry, &h.m_Origin[0], &h.m_Origin[1], &h.m_Origin[2],
                  &h.m_Unit[0], &h.m_Unit[1], &h.m_Unit[2], &used);
  if (first != 10) {
    error = "The header's first line is not depth, size, vertices, flag, origin and units";
    return 0;
  }
  const int second =
      std::sscanf(text.c_str() + used, "%d %d %d %lf %lf %lf %lf %lf %lf", &h.m_Levels[0],
                  &h.m_Levels[1], &h.m_Levels[2], &h.m_Range[0], &h.m_Range[1], &h.m_Range[2],
                  &h.m_Minimum[0], &h.m_Minimum[1], &h.m_Minimum[2]);
  if (second != 9) {
    error = "The header's second line is not quantizations, ranges and minima";
    return 0;
  }
  if (h.m_Depth < 1 || h.m_Depth > kIsoMaxDepth || h.m_N != (1 << h.m_Depth) + 1) {
    error = "The header's depth " + std::to_string(h.m_Depth) + " and grid size " +
            std::to_string(h.m_N) + " disagree (N = 2^D + 1, D from 1 to 9)";
    return 0;
  }
  const int64_t cells = int64_t(h.m_N - 1) * (h.m_N - 1) * (h.m_N - 1);
  if (h.m_VertexCount < 0 || h.m_VertexCount > cells) {
    error = "The header's vertex count " + std::to_string(h.m_VertexCount) + " is out of range";
    return 0;
  }
  if (h.m_Geometry != 0 && h.m_Geometry != 1) {
    error = "The header's geometry flag is neither 0 nor 1";
    return 0;
  }
  for (int k = 0; k < 3; ++k) {
    if (!std::isfinite(h.m_Origin[k]) || !std::isfinite(h.m_Unit[k]) || !(h.m_Unit[k] > 0.0)) {
      error = "The header's origin or unit sizes are not finite positive numbers";
      return 0;
    }
    if (!h.m_Geometry) continue;
    if (h.m_Levels[k] < 2 || h.m_Levels[k] > 4096 || !std::isfinite(h.m_Range[k]) ||
        h.m_Range[k] < 0.0 || !std::isfinite(h.m_Minimum[k])) {
      error = "The header's quantizations, ranges or minima are out of range";
      return 0;
    }
  }
  out = h;
  return 1;
}
