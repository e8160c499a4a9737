#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/CommandParams.h"
#include "app/UserInterface.h"

// Front end for tests: records what the document layer asks and answers
// questions and dialogs as told.
class CRecordingUserInterface : public orvex::CUserInterface {
public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<std::string> statusLines;
  std::vector<std::string> dialogs;
  int waitDepth = 0;
  int maxWaitDepth = 0;
  int redraws = 0;
  int erasingRedraws = 0;
  bool answerYes = true;
  bool acceptDialogs = true;
  std::string openFileName;
  std::string saveFileName;
  std::vector<double> progress; // fractions shown, in order
  int progressEnds = 0;
  int stopAtReport = 0; // ask to stop at this report (1 = the first), 0: never
  // The colour chooser's answer; none cancels it.
  std::optional<CColor> colorAnswer;
  int colorQuestions = 0;
  // Pictures put on the clipboard: images and vector pictures.
  int clipboardImages = 0;
  int clipboardPictures = 0;

  void ShowMessage(const std::string& text, const std::string&) override {
    messages.push_back(text);
  }
  bool AskYesNo(const std::string& question) override {
    questions.push_back(question);
    return answerYes;
  }
  void SetStatusText(const std::string& text) override { statusLines.push_back(text); }
  void BeginWaitCursor() override {
    waitDepth++;
    if (waitDepth > maxWaitDepth) maxWaitDepth = waitDepth;
  }
  void EndWaitCursor() override { waitDepth--; }
  void RequestRedraw(bool erase) override {
    redraws++;
    if (erase) erasingRedraws++;
  }
  bool AskOpenFileName(std::string& name) override {
    name = openFileName;
    return !name.empty();
  }
  bool AskSaveFileName(std::string& name) override {
    name = saveFileName;
    return !name.empty();
  }
  bool AskColor(CColor& color) override {
    colorQuestions++;
    if (colorAnswer) color = *colorAnswer;
    return colorAnswer.has_value();
  }
  bool EditParameters(const std::string& title, orvex::ParamValues&) override {
    dialogs.push_back(title);
    return acceptDialogs;
  }
  bool ShowProgress(double fraction, const std::string&, bool) override {
    progress.push_back(fraction);
    return static_cast<int>(progress.size()) != stopAtReport;
  }
  void EndProgress() override { progressEnds++; }
  void SetClipboardImage(const CRgbImage&) override { clipboardImages++; }
  void SetClipboardPicture(const CVectorPicture&) override { clipboardPictures++; }
};
