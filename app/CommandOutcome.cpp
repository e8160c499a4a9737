#include "app/CommandOutcome.h"

#include <algorithm>

namespace orvex {

void CCommandOutcome::AddFileWritten(const std::string& path) {
  if (std::find(filesWritten.begin(), filesWritten.end(), path) == filesWritten.end())
    filesWritten.push_back(path);
}

void CCommandContext::ReportFileWritten(const std::string& path) {
  if (outcome) outcome->AddFileWritten(path);
}

} // namespace orvex
