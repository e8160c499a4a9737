#include "geometry/Progress.h"

#include <algorithm>
#include <atomic>

namespace {

thread_local CProgressScope* t_pScope = nullptr;

// Reports closer than this are dropped: showing progress must cost a small
// share of the work (a repaint of the status bar takes a few ms).
std::atomic<long long> g_IntervalMs{40};

// The largest fraction below 1: only Finish reports 1.
constexpr double kBelowOne = 0.9999;

} // namespace

void CProgressScope::SetInterval(std::chrono::milliseconds interval) {
  g_IntervalMs = interval.count();
}

CProgressScope::CProgressScope(CProgressSink* sink, bool cancellable)
    : m_pSink(sink), m_Cancellable(cancellable), m_Interval(g_IntervalMs.load()),
      m_Next(std::chrono::steady_clock::now()), m_pOuter(t_pScope) {
  t_pScope = this;
}

CProgressScope::~CProgressScope() {
  t_pScope = m_pOuter;
}

void CProgressScope::Finish() {
  if (m_Finished || !m_pSink) return;
  m_Finished = true;
  m_Last = 1.0;
  m_pSink->OnProgress(1.0, nullptr, false);
}

void ReportProgress(double fraction, const char* phase) {
  CProgressScope* scope = t_pScope;
  if (!scope || !scope->m_pSink || scope->m_Finished) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < scope->m_Next) return;
  scope->m_Next = now + scope->m_Interval;

  // the fraction of the whole work, never going back
  const double inSpan = std::clamp(fraction, 0.0, 1.0);
  const double whole = std::min(scope->m_Begin + inSpan * scope->m_Length, kBelowOne);
  scope->m_Last = std::max(scope->m_Last, whole);
  if (!scope->m_pSink->OnProgress(scope->m_Last, phase, scope->m_Cancellable) &&
      scope->m_Cancellable)
    throw CCancelled();
}

CProgressSpan::CProgressSpan(double begin, double end) {
  CProgressScope* scope = t_pScope;
  if (!scope) return;
  m_SavedBegin = scope->m_Begin;
  m_SavedLength = scope->m_Length;
  begin = std::clamp(begin, 0.0, 1.0);
  end = std::clamp(end, begin, 1.0);
  scope->m_Begin = m_SavedBegin + begin * m_SavedLength;
  scope->m_Length = (end - begin) * m_SavedLength;
}

CProgressSpan::~CProgressSpan() {
  if (CProgressScope* scope = t_pScope) {
    scope->m_Begin = m_SavedBegin;
    scope->m_Length = m_SavedLength;
  }
}
