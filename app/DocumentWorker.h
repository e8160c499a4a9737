#pragma once

// Work that runs on a document's scene outside the user-interface thread
// (the volume-based metric). The work gets a stop flag and the hooks of
// the document: the scene lock it takes around every change (painting and
// saving take the same lock, so no picture shows half a step) and a redraw
// request it posts to the front end, which serves it in its own thread.
// It never waits for the front end.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "processing/Approximation.h"

namespace orvex {

class CDocumentWorker {
public:
  // The work returns the text to report when it ends; an exception it
  // throws is reported as a failure.
  using Work = std::function<std::string(const CApproximationHooks&)>;

  CDocumentWorker() = default;
  CDocumentWorker(const CDocumentWorker&) = delete;
  CDocumentWorker& operator=(const CDocumentWorker&) = delete;
  // Stops the work and waits for it.
  ~CDocumentWorker() { Stop(); }

  // Runs work on a new thread at the lowest priority. notify (called from
  // the worker's thread, at most ten times a second and once at the end)
  // must be safe to call from any thread. false when a thread could not be
  // created or one already runs.
  bool Start(Work work, std::mutex& sceneLock, std::function<void()> notify);
  bool IsRunning() const { return m_Running.load(); }
  // Asks the work to stop at its next step.
  void RequestStop() { m_Stop.store(true); }
  // Asks it to stop and waits for it.
  void Stop();
  // Waits for the work to end.
  void Wait();
  // The report of work that ended (once): text and whether it failed.
  bool TakeReport(std::string& text, bool& failed);

private:
  std::thread m_Thread;
  std::atomic<bool> m_Stop{false};
  std::atomic<bool> m_Running{false};
  std::mutex m_ReportMutex;
  std::string m_Report;
  bool m_Failed = false;
  bool m_HasReport = false;
};

} // namespace orvex
