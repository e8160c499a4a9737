#include "app/TerminalUserInterface.h"

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <sstream>

#include "app/BatchInterrupt.h"
#include "io/WritePng.h"
#include "io/WriteSvg.h"

namespace orvex {

void CTerminalUserInterface::ShowMessage(const std::string& text, const std::string& title) {
  if (title.empty())
    std::fprintf(m_Err, "%s\n", text.c_str());
  else
    std::fprintf(m_Err, "%s: %s\n", title.c_str(), text.c_str());
  std::fflush(m_Err);
}

bool CTerminalUserInterface::AskYesNo(const std::string& question) {
  bool yes = m_AnswerYes || m_AnswerNextYes;
  m_AnswerNextYes = false;
  std::fprintf(m_Err, "%s %s\n", question.c_str(), yes ? "yes" : "no");
  std::fflush(m_Err);
  return yes;
}

bool CTerminalUserInterface::AskColor(CColor& color) {
  if (m_ColorAnswer) color = *m_ColorAnswer;
  if (m_ColorAnswer)
    std::fprintf(m_Err, "Color? %d %d %d\n", color.r, color.g, color.b);
  else
    std::fprintf(m_Err, "Color? cancelled\n");
  std::fflush(m_Err);
  return m_ColorAnswer.has_value();
}

bool ParseColorAnswer(const std::string& text, CColor& color, std::string& error) {
  std::istringstream in(text);
  long channel[3];
  std::string rest;
  if (!(in >> channel[0] >> channel[1] >> channel[2]) || (in >> rest)) {
    error = "\"" + text + "\" is not a colour \"R G B\"";
    return false;
  }
  for (long c : channel)
    if (c < 0 || c > 255) {
      error = "\"" + text + "\": colour channels lie in 0 ... 255";
      return false;
    }
  color.Set(static_cast<unsigned char>(channel[0]), static_cast<unsigned char>(channel[1]),
            static_cast<unsigned char>(channel[2]));
  return true;
}

void CTerminalUserInterface::SetStatusText(const std::string& text) {
  std::fprintf(m_Out, "%s\n", text.c_str());
  std::fflush(m_Out);
}

void CTerminalUserInterface::SetClipboardText(const std::string& text) {
  std::fputs(text.c_str(), m_Out);
  if (!text.empty() && text.back() != '\n') std::fputc('\n', m_Out);
  std::fflush(m_Out);
}

void CTerminalUserInterface::SetClipboardImage(const CRgbImage& image) {
  std::string error;
  if (WritePng(kClipboardPng, image, error))
    SetStatusText(std::string("Clipboard picture written to ") + kClipboardPng);
  else
    ShowMessage(error, std::string());
}

void CTerminalUserInterface::SetClipboardPicture(const CVectorPicture& picture) {
  std::string error;
  if (WriteSvg(kClipboardSvg, picture, error))
    SetStatusText(std::string("Clipboard picture written to ") + kClipboardSvg);
  else
    ShowMessage(error, std::string());
}

void CTerminalUserInterface::ShowDistribution(const std::string& title,
                                              const std::vector<int>& histogram) {
  std::fputs(TextHistogram(title, histogram).c_str(), m_Out);
  std::fflush(m_Out);
}

bool CTerminalUserInterface::ShowProgress(double fraction, const std::string& phase,
                                          bool /*cancellable*/) {
  if (m_InterruptAt > 0 && ++m_Reports == m_InterruptAt) std::raise(SIGINT);
  if (isatty(fileno(m_Err))) {
    constexpr int kWidth = 30;
    const int done = std::clamp(static_cast<int>(fraction * kWidth), 0, kWidth);
    std::fprintf(m_Err, "\r[%s%s] %3d%% %-24.24s", std::string(size_t(done), '#').c_str(),
                 std::string(size_t(kWidth - done), ' ').c_str(),
                 static_cast<int>(fraction * 100.0), phase.c_str());
    std::fflush(m_Err);
    m_BarShown = true;
  }
  return !Interrupted();
}

void CTerminalUserInterface::EndProgress() {
  if (!m_BarShown) return;
  // clear the bar's line for what follows
  std::fprintf(m_Err, "\r%72s\r", "");
  std::fflush(m_Err);
  m_BarShown = false;
}

std::string TextHistogram(const std::string& title, const std::vector<int>& histogram) {
  std::string text = title + "\n";
  int highest = 0;
  for (int count : histogram) highest = std::max(highest, count);
  for (size_t value = 0; value < histogram.size(); value++) {
    int count = histogram[value];
    if (count <= 0) continue;
    // at least one mark for every value that occurs
    long long width = std::max<long long>(1, 1LL * count * kHistogramBarWidth / highest);
    char head[48];
    std::snprintf(head, sizeof(head), "%5zu %9d ", value, count);
    text += head;
    text.append(static_cast<size_t>(width), '#');
    text += '\n';
  }
  return text;
}

} // namespace orvex
