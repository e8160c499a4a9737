#include "compression/GateQueue.h"

#include <algorithm>
#include <functional>

namespace orvex {

void CGateQueue::Reset(int nbVertex, bool adaptive) {
  m_Adaptive = adaptive;
  m_Live = 0;
  m_Count.assign(nbVertex, 0);
  m_GatesOfRight.assign(nbVertex, -1);
  m_Edge.clear();
  m_Right.clear();
  m_Listed.clear();
  m_NextOfRight.clear();
  m_Head = 0;
  m_Buckets.assign(256, {});
  m_Top = 0;
}

void CGateQueue::PushToBucket(int gate, int count) {
  std::vector<int>& bucket = m_Buckets[count];
  bucket.push_back(gate);
  std::push_heap(bucket.begin(), bucket.end(), std::greater<int>());
  m_Top = std::max(m_Top, count);
}

void CGateQueue::Push(int halfEdge, int right) {
  const int gate = static_cast<int>(m_Edge.size());
  m_Edge.push_back(halfEdge);
  m_Right.push_back(right);
  m_Listed.push_back(1);
  ++m_Live;
  if (!m_Adaptive) return;
  m_NextOfRight.push_back(m_GatesOfRight[right]);
  m_GatesOfRight[right] = gate;
  PushToBucket(gate, m_Count[right]);
}

int CGateQueue::Pop() {
  if (m_Live == 0) return -1;
  if (!m_Adaptive) {
    --m_Live;
    m_Listed[m_Head] = 0;
    return m_Edge[m_Head++];
  }
  // highest count first; entries left behind by a rising count are stale
  for (;;) {
    std::vector<int>& bucket = m_Buckets[m_Top];
    if (bucket.empty()) {
      --m_Top;
      continue;
    }
    std::pop_heap(bucket.begin(), bucket.end(), std::greater<int>());
    const int gate = bucket.back();
    bucket.pop_back();
    if (!m_Listed[gate] || m_Count[m_Right[gate]] != m_Top) continue;
    m_Listed[gate] = 0;
    --m_Live;
    return m_Edge[gate];
  }
}

void CGateQueue::Raise(int v) {
  if (m_Count[v] == 255) return;
  const int count = ++m_Count[v];
  if (!m_Adaptive) return;
  for (int gate = m_GatesOfRight[v]; gate >= 0; gate = m_NextOfRight[gate])
    if (m_Listed[gate]) PushToBucket(gate, count);
}

} // namespace orvex
