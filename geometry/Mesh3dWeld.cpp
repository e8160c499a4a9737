// Weld (merge coincident vertices) and duplicate-face removal. Both keep the
// result of the pairwise definition -- the first element in array order wins
// and the order of the survivors is kept -- but find the earlier equal element
// through a hash table of keys instead of comparing every pair.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "geometry/Mesh3d.h"

namespace {

// Three 64-bit words compared bit for bit.
struct CKey3 {
  uint64_t a = 0, b = 0, c = 0;
  bool operator==(const CKey3& k) const { return a == k.a && b == k.b && c == k.c; }
};

uint64_t Mix(uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

size_t HashKey(const CKey3& k) {
  return static_cast<size_t>(Mix(k.a ^ Mix(k.b ^ Mix(k.c))));
}

} // namespace

// For every key (skipped ones excepted), the index of the first key equal to
// it; a key that is its own first occurrence gets its own index, a skipped key
// -1. Open addressing with linear probing over a power-of-two table whose
// slots keep 32 bits of the hash beside the index, so that a probe seldom
// has to read the key it meets.
static std::vector<int> FirstOccurrences(const std::vector<CKey3>& keys,
                                         const std::vector<char>& skip) {
  size_t n = keys.size();
  std::vector<int> first(n, -1);
  size_t capacity = 16;
  while (capacity < 2 * n) capacity <<= 1;
  size_t mask = capacity - 1;
  std::vector<uint64_t> table(capacity, 0); // (hash high bits << 32) | (index + 1)
  for (size_t i = 0; i < n; i++) {
    if (skip[i]) continue;
    size_t hash = HashKey(keys[i]);
    uint64_t tag = static_cast<uint64_t>(hash >> 32) << 32;
    size_t slot = hash & mask;
    for (;; slot = (slot + 1) & mask) {
      uint64_t entry = table[slot];
      if (entry == 0) {
        table[slot] = tag | (i + 1);
        first[i] = static_cast<int>(i);
        break;
      }
      size_t j = static_cast<size_t>(entry & 0xffffffffu) - 1;
      if ((entry & ~uint64_t(0xffffffffu)) == tag && keys[j] == keys[i]) {
        first[i] = static_cast<int>(j);
        break;
      }
    }
  }
  return first;
}

// Bit pattern of a coordinate with -0.0 folded onto 0.0, so that the bit
// comparison agrees with ==.
static uint64_t CoordinateBits(double x) {
  double folded = x + 0.0; // -0.0 + 0.0 == +0.0
  uint64_t bits;
  std::memcpy(&bits, &folded, sizeof bits);
  return bits;
}

// A vertex takes part in welding unless it is missing or has a NaN
// coordinate, which equals nothing.
static bool Weldable(const CVertex3d* v) {
  return v && !std::isnan(v->x) && !std::isnan(v->y) && !std::isnan(v->z);
}

int CMesh3d::Weld() {
  int nv = NbVertex();

  // link every later vertex with the same coordinates to the first one (the
  // flags are cleared in the same pass)
  std::vector<CKey3> keys(static_cast<size_t>(nv));
  std::vector<char> skip(static_cast<size_t>(nv), 0);
  for (int i = 0; i < nv; i++) {
    CVertex3d* v = GetVertex(i);
    if (v) v->m_Flag = 0;
    if (!Weldable(v)) {
      skip[static_cast<size_t>(i)] = 1;
      continue;
    }
    keys[static_cast<size_t>(i)] = {CoordinateBits(v->x), CoordinateBits(v->y),
                                    CoordinateBits(v->z)};
  }
  std::vector<int> first = FirstOccurrences(keys, skip);
  int merged = 0;
  for (int i = 0; i < nv; i++) {
    int j = first[static_cast<size_t>(i)];
    if (j < 0 || j == i) continue;
    CVertex3d* q = GetVertex(i);
    q->m_Flag = 1;
    q->m_pTarget = GetVertex(j);
    merged++;
  }
  if (merged == 0) return RemoveUnusedVertices();

  // replace every linked corner by its target, then clear the links
  for (CFace3d* f : m_ArrayFace) {
    if (!f) continue;
    for (int k = 0; k < 3; k++) {
      CVertex3d* c = f->m_pVertex[k];
      if (c && c->m_Flag == 1 && c->m_pTarget) f->m_pVertex[k] = c->m_pTarget;
    }
  }
  for (int i = 0; i < nv; i++) {
    int j = first[static_cast<size_t>(i)];
    if (j >= 0 && j != i) GetVertex(i)->m_pTarget = nullptr;
  }
  SetModified();
  return RemoveUnusedVertices();
}

// Corner set of a face as a key: the distinct corner pointers in increasing
// order, the last one repeated when fewer than three are distinct. A
// degenerate face (a, a, b) thus has the key of (a, b, b) and of (b, a, b),
// but not that of a proper face (a, b, c). A null corner counts as one more
// pointer value.
static CKey3 CornerSetKey(const CFace3d* f) {
  uint64_t c[3];
  for (int k = 0; k < 3; k++) c[k] = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(f->v(k)));
  std::sort(c, c + 3);
  uint64_t* end = std::unique(c, c + 3);
  for (uint64_t* p = end; p < c + 3; p++) *p = *(end - 1);
  return {c[0], c[1], c[2]};
}

// Two faces are duplicates when they have the same set of corners,
// whatever their orientation; the first of each set in array order stays.
int CMesh3d::DeleteDuplicateFaces() {
  int nf = NbFace();
  std::vector<CKey3> keys(static_cast<size_t>(nf));
  std::vector<char> skip(static_cast<size_t>(nf), 0);
  for (int i = 0; i < nf; i++) {
    const CFace3d* f = GetFace(i);
    if (f)
      keys[static_cast<size_t>(i)] = CornerSetKey(f);
    else
      skip[static_cast<size_t>(i)] = 1;
  }
  std::vector<int> first = FirstOccurrences(keys, skip);
  std::vector<char> doomed(static_cast<size_t>(nf), 0);
  for (int i = 0; i < nf; i++) {
    int j = first[static_cast<size_t>(i)];
    doomed[static_cast<size_t>(i)] = j >= 0 && j != i;
  }
  return DeleteFacesMarked(doomed);
}
