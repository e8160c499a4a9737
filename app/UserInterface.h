#pragma once

#include <string>
#include <vector>

#include "geometry/Color.h"

struct CRgbImage;
class CVectorPicture;

namespace orvex {

class ParamValues;

// Everything the document layer asks of a front end: message boxes, yes/no
// questions, the status line, the wait cursor, redraw requests, file names
// and parameter dialogs. The Qt program implements it with windows; the
// batch runner implements it on the terminal (CTerminalUserInterface).
class CUserInterface {
public:
  static constexpr int kStatusMaxLength = 255;

  virtual ~CUserInterface() = default;

  // Modal message box with an OK button.
  virtual void ShowMessage(const std::string& text, const std::string& title = std::string()) = 0;
  // Modal question with Yes and No buttons; true only for Yes.
  virtual bool AskYesNo(const std::string& question) = 0;
  // Replaces the text of the status line and shows it at once (long
  // commands call this from inside their loops).
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // Asks the views of the active document to repaint (later, from the event
  // loop); erase says whether the background is cleared first.
  virtual void RequestRedraw(bool erase) = 0;
  // Repaints the views at once (commands that show their progress step by
  // step). The default only requests a redraw.
  virtual void RedrawNow() { RequestRedraw(false); }
  // File dialogs; false when cancelled. The open dialog starts in the
  // folder fileName holds (empty: where it was last), the save dialog with
  // the name fileName holds.
  virtual bool AskOpenFileName(std::string& fileName) = 0;
  virtual bool AskSaveFileName(std::string& fileName) = 0;
  // Shows a command's dialog filled with values (defaults or values given
  // beforehand) under the title; false on Cancel, values unchanged then.
  virtual bool EditParameters(const std::string& title, ParamValues& values) = 0;
  // Puts a report table on the clipboard as plain text (the terminal prints
  // it). The default drops it.
  virtual void SetClipboardText(const std::string& /*text*/) {}
  // Puts a picture of the view on the clipboard (the batch runner writes
  // "clipboard.png" instead). The default drops it.
  virtual void SetClipboardImage(const CRgbImage& /*image*/) {}
  // Puts a vector picture on the clipboard as SVG with a raster copy (the
  // batch runner writes "clipboard.svg" instead). The default drops it.
  virtual void SetClipboardPicture(const CVectorPicture& /*picture*/) {}
  // Asks where an export goes, starting from the name fileName holds, with
  // a filter such as "EPS Files (*.eps)"; false when cancelled. The default
  // keeps the name (the batch runner's --set "File=...").
  virtual bool AskExportFileName(std::string& /*fileName*/, const std::string& /*filter*/) {
    return true;
  }
  // Shows a histogram (count per value, value = index) in a window of its
  // own under the title, replacing what that window showed. The default
  // shows nothing.
  virtual void ShowDistribution(const std::string& /*title*/,
                                const std::vector<int>& /*histogram*/) {}
  // Shows how far the running command is (fraction 0 ... 1, the phase it
  // is in, whether it can be stopped) and lets the user ask to stop it:
  // false then. EndProgress hides it when the command returns. The
  // defaults show nothing and never stop.
  virtual bool ShowProgress(double /*fraction*/, const std::string& /*phase*/,
                            bool /*cancellable*/) {
    return true;
  }
  virtual void EndProgress() {}
  // The colour chooser, starting from color; false on Cancel, color
  // unchanged then. The default cancels.
  virtual bool AskColor(CColor& /*color*/) { return false; }

  // printf-like status text, formatted with a bounded call: longer texts are
  // cut at kStatusMaxLength characters. Returns the number of characters
  // shown.
  int StatusMessage(const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
};

// Formats like printf into at most CUserInterface::kStatusMaxLength
// characters (the rest is dropped).
std::string FormatStatus(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace orvex
