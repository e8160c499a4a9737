// Weld (merge coincident vertices) and duplicate-face removal. Both keep the
// result of the pairwise definition -- the first element in array order wins
// and the order of the survivors is kept -- but find the earlier equal element
// through a hash table of keys instead of comparing every pair.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
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

uint64_t HashKey(const CKey3& k) {
  return Mix(k.a ^ Mix(k.b ^ Mix(k.c)));
}

} // namespace

// Calls repeat(i, j) for every element i whose key equals that of an earlier
// element, j being the first of them; keyOf(i, key) gives the key of element
// i, or false when the element takes no part. Open addressing with linear
// probing; each slot keeps 32 bits of the hash beside the index, so keys are
// recomputed only when those bits agree.
template <class KeyOf, class Repeat> static void FindRepeats(int n, KeyOf keyOf, Repeat repeat) {
  uint64_t capacity = static_cast<uint64_t>(n) + static_cast<uint64_t>(n) / 2 + 16;
  std::vector<uint64_t> table(capacity, 0); // (hash high bits << 32) | (index + 1)
  CKey3 key, other;
  for (int i = 0; i < n; i++) {
    if (!keyOf(i, key)) continue;
    uint64_t hash = HashKey(key);
    uint64_t tag = hash & ~uint64_t(0xffffffffu);
    uint64_t slot = ((hash & 0xffffffffu) * capacity) >> 32; // in [0, capacity)
    for (;; slot = slot + 1 == capacity ? 0 : slot + 1) {
      uint64_t entry = table[slot];
      if (entry == 0) {
        table[slot] = tag | static_cast<uint64_t>(i + 1);
        break;
      }
      int j = static_cast<int>(entry & 0xffffffffu) - 1;
      if ((entry & ~uint64_t(0xffffffffu)) == tag && keyOf(j, other) && other == key) {
        repeat(i, j);
        break;
      }
    }
  }
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
  // corners are rewritten and vertices deleted: no undo record may survive
  DropHistory();
  int nv = NbVertex();

  // link every later vertex with the same coordinates to the first one (the
  // flags are cleared on the way, before any vertex is linked)
  for (CVertex3d* v : m_ArrayVertex)
    if (v) v->m_Flag = 0;
  int merged = 0;
  // merge target of each repeated vertex, by vertex address
  std::unordered_map<const CVertex3d*, CVertex3d*> target;
  FindRepeats(
      nv,
      [this](int i, CKey3& key) {
        const CVertex3d* v = GetVertex(i);
        if (!Weldable(v)) return false;
        key = {CoordinateBits(v->x), CoordinateBits(v->y), CoordinateBits(v->z)};
        return true;
      },
      [this, &merged, &target](int i, int j) {
        CVertex3d* q = GetVertex(i);
        q->m_Flag = 1;
        target[q] = GetVertex(j);
        merged++;
      });
  if (merged == 0) return RemoveUnusedVertices();

  // replace every linked corner by its target
  for (CFace3d* f : m_ArrayFace) {
    if (!f) continue;
    for (int k = 0; k < 3; k++) {
      CVertex3d* c = f->m_pVertex[k];
      if (c && c->m_Flag == 1) {
        auto found = target.find(c);
        if (found != target.end()) f->m_pVertex[k] = found->second;
      }
    }
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
  std::vector<char> doomed(static_cast<size_t>(nf), 0);
  FindRepeats(
      nf,
      [this](int i, CKey3& key) {
        const CFace3d* f = GetFace(i);
        if (f) key = CornerSetKey(f);
        return f != nullptr;
      },
      [&doomed](int i, int) { doomed[static_cast<size_t>(i)] = 1; });
  return DeleteFacesMarked(doomed);
}
