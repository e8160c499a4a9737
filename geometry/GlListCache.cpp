#include "geometry/GlListCache.h"

#include "geometry/GlListGroup.h"

CGlListCache::~CGlListCache() {
  if (m_List != 0) DeferGlNames(GlNameKind::List, m_Group, &m_List, 1);
}

bool CGlListCache::IsCurrent(unsigned revision) const {
  return m_Built && m_Revision == revision && m_Group == glCurrentListGroup();
}
