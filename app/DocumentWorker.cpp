#include "app/DocumentWorker.h"

#include <pthread.h>
#include <sched.h>

#include <exception>
#include <new>
#include <system_error>

#include "processing/SubdivisionCommands.h"

namespace orvex {

// The lowest priority the system gives this thread (idle scheduling).
static void LowerPriority() {
#ifdef SCHED_IDLE
  sched_param param{};
  param.sched_priority = 0;
  pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
#endif
}

bool CDocumentWorker::Start(Work work, std::mutex& sceneLock, std::function<void()> notify) {
  if (m_Running.load()) return false;
  if (m_Thread.joinable()) m_Thread.join();
  m_Stop.store(false);
  {
    std::lock_guard<std::mutex> lock(m_ReportMutex);
    m_HasReport = false;
  }
  m_Running.store(true);
  try {
    m_Thread = std::thread([this, work = std::move(work), &sceneLock, notify] {
      LowerPriority();
      CApproximationHooks hooks;
      hooks.redraw = notify;
      hooks.lock = [&sceneLock] { sceneLock.lock(); };
      hooks.unlock = [&sceneLock] { sceneLock.unlock(); };
      hooks.stop = &m_Stop;
      std::string report;
      bool failed = false;
      try {
        report = work(hooks);
      } catch (const std::bad_alloc&) {
        report = kInsufficientMemoryText;
        failed = true;
      } catch (const std::exception& e) {
        report = e.what();
        failed = true;
      } catch (...) {
        report = "The volume-based metric failed";
        failed = true;
      }
      {
        std::lock_guard<std::mutex> lock(m_ReportMutex);
        m_Report = report;
        m_Failed = failed;
        m_HasReport = true;
      }
      m_Running.store(false);
      if (notify) notify();
    });
  } catch (const std::system_error&) {
    m_Running.store(false);
    return false;
  }
  return true;
}

void CDocumentWorker::Wait() {
  if (m_Thread.joinable() && m_Thread.get_id() != std::this_thread::get_id()) m_Thread.join();
}

void CDocumentWorker::Stop() {
  RequestStop();
  Wait();
}

bool CDocumentWorker::TakeReport(std::string& text, bool& failed) {
  std::lock_guard<std::mutex> lock(m_ReportMutex);
  if (!m_HasReport) return false;
  text = m_Report;
  failed = m_Failed;
  m_HasReport = false;
  return true;
}

} // namespace orvex
