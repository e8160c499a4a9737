#include "geometry/GlListGroup.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {
// Drawing happens on one thread at a time (the user-interface thread, or
// a thread that owns an offscreen context): the group follows it.
thread_local int g_CurrentGroup = 0;
std::atomic<int> g_LastGroup{0};

struct DeferredName {
  GlNameKind kind;
  int group;
  unsigned int name;
};
std::mutex g_DeferredMutex;
std::vector<DeferredName> g_Deferred;
} // namespace

int glCurrentListGroup() {
  return g_CurrentGroup;
}

int glNewListGroup() {
  return ++g_LastGroup;
}

CGlListGroupScope::CGlListGroupScope(int group) : m_Previous(g_CurrentGroup) {
  g_CurrentGroup = group;
}

CGlListGroupScope::~CGlListGroupScope() {
  g_CurrentGroup = m_Previous;
}

void DeferGlNames(GlNameKind kind, int group, const unsigned int* names, int count) {
  if (!names || count <= 0) return;
  std::lock_guard<std::mutex> lock(g_DeferredMutex);
  for (int i = 0; i < count; i++)
    if (names[i] != 0) g_Deferred.push_back({kind, group, names[i]});
}

std::vector<unsigned int> TakeDeferredGlNames(GlNameKind kind, int group) {
  std::vector<unsigned int> taken;
  std::lock_guard<std::mutex> lock(g_DeferredMutex);
  auto keep = std::remove_if(g_Deferred.begin(), g_Deferred.end(), [&](const DeferredName& d) {
    if (d.kind != kind || d.group != group) return false;
    taken.push_back(d.name);
    return true;
  });
  g_Deferred.erase(keep, g_Deferred.end());
  return taken;
}

void ForgetGlGroup(int group) {
  std::lock_guard<std::mutex> lock(g_DeferredMutex);
  g_Deferred.erase(std::remove_if(g_Deferred.begin(), g_Deferred.end(),
                                  [group](const DeferredName& d) { return d.group == group; }),
                   g_Deferred.end());
}

size_t NbDeferredGlNames() {
  std::lock_guard<std::mutex> lock(g_DeferredMutex);
  return g_Deferred.size();
}
