#include "geometry/GlListGroup.h"

#include <atomic>

namespace {
// Drawing happens on one thread at a time (the user-interface thread, or
// a thread that owns an offscreen context): the group follows it.
thread_local int g_CurrentGroup = 0;
std::atomic<int> g_LastGroup{0};
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
