#pragma once

// The records of a simplification that join two vertices (an edge's
// collapse candidates), with each vertex's records in a list threaded
// through them. The lists are doubly linked, so a record leaves the lists
// of both its ends the moment it goes: a walk over a vertex meets live
// records only (with singly linked lists a dead record stayed in the other
// end's list until that list was walked, and on a million-face mesh more
// dead records were walked than live ones). A slot that is free is reused
// by the next record, so the array stays as large as the most records
// alive at once rather than all ever made; records keep the order they
// were made in (Earlier), which is what heaps break ties by.
//
// Record must have the members `CRecordLinks links` and
// `unsigned long long made`.

#include <cstddef>
#include <vector>

#include "geometry/HugePages.h"

struct CRecordLinks {
  int end[2] = {-1, -1}; // the two vertices; end[0] is -1 on a free slot
  int prev[2] = {-1, -1};
  int next[2] = {-1, -1};
};

template <class Record> class CVertexRecords {
public:
  // Empty lists for vertices 0 .. vertices - 1, room for records.
  void Reset(int vertices, std::size_t records) {
    m_Head.assign(static_cast<std::size_t>(vertices), -1);
    m_Records.clear();
    m_Free.clear();
    m_Made = 0;
    ReserveHugePages(m_Records, records);
  }

  // A new record joining a and b (a != b), first in both lists; its other
  // members are value-initialised.
  int Add(int a, int b) {
    int id;
    if (!m_Free.empty()) {
      id = m_Free.back();
      m_Free.pop_back();
      m_Records[static_cast<std::size_t>(id)] = Record();
    } else {
      id = static_cast<int>(m_Records.size());
      if (m_Records.size() == m_Records.capacity())
        ReserveHugePages(m_Records, 2 * m_Records.size() + 16);
      m_Records.emplace_back();
    }
    Record& r = m_Records[static_cast<std::size_t>(id)];
    r.made = m_Made++;
    const int ends[2] = {a, b};
    for (int k = 0; k < 2; k++) {
      r.links.end[k] = ends[k];
      r.links.prev[k] = -1;
      r.links.next[k] = m_Head[static_cast<std::size_t>(ends[k])];
      if (r.links.next[k] >= 0) SideOf(r.links.next[k], ends[k]).prev = id;
      m_Head[static_cast<std::size_t>(ends[k])] = id;
    }
    return id;
  }

  // Takes a live record out of both lists and frees its slot.
  void Remove(int id) {
    Record& r = m_Records[static_cast<std::size_t>(id)];
    if (r.links.end[0] < 0) return;
    for (int k = 0; k < 2; k++) {
      const int v = r.links.end[k], prev = r.links.prev[k], next = r.links.next[k];
      if (prev >= 0)
        SideOf(prev, v).next = next;
      else
        m_Head[static_cast<std::size_t>(v)] = next;
      if (next >= 0) SideOf(next, v).prev = prev;
    }
    r.links.end[0] = -1;
    m_Free.push_back(id);
  }

  bool Alive(int id) const { return m_Records[static_cast<std::size_t>(id)].links.end[0] >= 0; }
  int End(int id, int k) const { return m_Records[static_cast<std::size_t>(id)].links.end[k]; }
  bool Earlier(int a, int b) const {
    return m_Records[static_cast<std::size_t>(a)].made <
           m_Records[static_cast<std::size_t>(b)].made;
  }
  Record& operator[](int id) { return m_Records[static_cast<std::size_t>(id)]; }
  const Record& operator[](int id) const { return m_Records[static_cast<std::size_t>(id)]; }
  // Records alive.
  std::size_t Live() const { return m_Records.size() - m_Free.size(); }
  // Slots in use or free (every id is below it).
  std::size_t Slots() const { return m_Records.size(); }
  std::size_t SlotCapacity() const { return m_Records.capacity(); }

  // Calls fn(id) for every record of vertex v, most recent first; fn may
  // remove the record it is given.
  template <class Fn> void ForEach(int v, Fn fn) {
    int id = m_Head[static_cast<std::size_t>(v)];
    while (id >= 0) {
      const int next = SideOf(id, v).next;
      // the next record is a cache miss away: start loading it while fn works
      if (next >= 0) __builtin_prefetch(&m_Records[static_cast<std::size_t>(next)]);
      fn(id);
      id = next;
    }
  }

private:
  struct CSide {
    int& prev;
    int& next;
  };
  // The links of record id in the list of its end v.
  CSide SideOf(int id, int v) {
    CRecordLinks& l = m_Records[static_cast<std::size_t>(id)].links;
    const int k = l.end[0] == v ? 0 : 1;
    return {l.prev[k], l.next[k]};
  }

  std::vector<Record> m_Records;
  std::vector<int> m_Head; // first record of each vertex, -1 when none
  std::vector<int> m_Free; // free slots, the last freed reused first
  unsigned long long m_Made = 0;
};

// The tie order of a heap over such records: the one made first.
template <class Record> struct CMadeFirst {
  const CVertexRecords<Record>* records;
  bool operator()(int a, int b) const { return records->Earlier(a, b); }
};
