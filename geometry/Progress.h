#pragma once

// Progress of the long piece of work running on the current thread, and the
// user's request to stop it.
//
// Work reports at its natural steps (per pass, per level, per thousand
// elements) with ReportProgress(fraction, phase). Whoever runs the work (the
// command dispatcher, a worker thread) installs a CProgressScope with a sink
// that shows the progress; without one a report costs a test of one
// thread-local pointer. Reports reach the sink at most every few
// milliseconds, fractions only grow, and only CProgressScope::Finish
// reports 1.
//
// Stopping: when the sink answers that the user asked to stop and the scope
// is cancellable, ReportProgress throws CCancelled. The runner of the work
// must then put back the state it recorded, so work only reports where
// unwinding leaves nothing it owns unreleased.

#include <chrono>
#include <exception>

class CProgressSink {
public:
  virtual ~CProgressSink() = default;
  // fraction in [0, 1]; phase may be null. false: the user asked to stop.
  virtual bool OnProgress(double fraction, const char* phase, bool cancellable) = 0;
};

class CCancelled : public std::exception {
public:
  const char* what() const noexcept override { return "Cancelled"; }
};

class CProgressScope {
public:
  CProgressScope(CProgressSink* sink, bool cancellable);
  CProgressScope(const CProgressScope&) = delete;
  CProgressScope& operator=(const CProgressScope&) = delete;
  ~CProgressScope();

  // The work is complete: the sink hears 1 once.
  void Finish();

  // The least time between two reports the sinks of scopes made afterwards
  // hear (40 ms unless set; tests set 0 to hear every report).
  static void SetInterval(std::chrono::milliseconds interval);

private:
  friend void ReportProgress(double fraction, const char* phase);
  friend class CProgressSpan;

  CProgressSink* m_pSink;
  bool m_Cancellable;
  bool m_Finished = false;
  double m_Last = 0.0;  // largest fraction forwarded
  double m_Begin = 0.0; // the current span, in fractions of the whole
  double m_Length = 1.0;
  std::chrono::milliseconds m_Interval;
  std::chrono::steady_clock::time_point m_Next; // earliest time of the next report
  CProgressScope* m_pOuter;
};

// Reports that fraction (0 ... 1) of the current span is done.
void ReportProgress(double fraction, const char* phase = nullptr);

// For loops over many elements: reports i of n every 16384 elements, so
// the report costs nothing measurable.
inline void ReportLoopProgress(long long i, long long n, const char* phase = nullptr) {
  if ((i & 0x3fff) == 0 && n > 0)
    ReportProgress(static_cast<double>(i) / static_cast<double>(n), phase);
}

// Maps the reports of a part of the work (from 0 to 1) to [begin, end] of
// the enclosing span while it lives: step i of n is CProgressSpan(i / n,
// (i + 1) / n).
class CProgressSpan {
public:
  CProgressSpan(double begin, double end);
  CProgressSpan(const CProgressSpan&) = delete;
  CProgressSpan& operator=(const CProgressSpan&) = delete;
  ~CProgressSpan();

private:
  double m_SavedBegin = 0.0, m_SavedLength = 1.0;
};
