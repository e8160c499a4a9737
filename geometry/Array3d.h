#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

// Growable array of object pointers. It never deletes the objects it points
// to: owners delete the elements explicitly before clearing the array.
// Its block is an ordinary heap block (malloc/realloc), so an array may be
// filled on one thread and freed on another, and freed memory goes back to
// the allocator.
//
// Growth rule: a first allocation is exact; later, the capacity grows by the
// grow step, which when unset (0) is size/8 clamped to 4..1024; if that is
// still smaller than the requested size, the requested size is allocated.
template <class T> class CArray3d {
public:
  CArray3d() = default;
  ~CArray3d() { ReleaseBlock(); }
  CArray3d(const CArray3d&) = delete;
  CArray3d& operator=(const CArray3d&) = delete;
  CArray3d(CArray3d&& o) noexcept
      : m_pData(o.m_pData), m_nSize(o.m_nSize), m_nMaxSize(o.m_nMaxSize), m_nGrowBy(o.m_nGrowBy) {
    o.m_pData = nullptr;
    o.m_nSize = o.m_nMaxSize = 0;
  }
  CArray3d& operator=(CArray3d&& o) noexcept {
    if (this != &o) {
      ReleaseBlock();
      m_pData = o.m_pData;
      m_nSize = o.m_nSize;
      m_nMaxSize = o.m_nMaxSize;
      m_nGrowBy = o.m_nGrowBy;
      o.m_pData = nullptr;
      o.m_nSize = o.m_nMaxSize = 0;
    }
    return *this;
  }

  int GetSize() const { return m_nSize; }
  int GetCapacity() const { return m_nMaxSize; }
  int GetGrowBy() const { return m_nGrowBy; }
  T* GetAt(int i) const { return m_pData[i]; }
  T*& operator[](int i) { return m_pData[i]; }
  T* operator[](int i) const { return m_pData[i]; }
  void SetAt(int i, T* p) { m_pData[i] = p; }
  T** GetData() { return m_pData; }
  T* const* GetData() const { return m_pData; }
  T** begin() { return m_pData; }
  T** end() { return m_pData + m_nSize; }
  T* const* begin() const { return m_pData; }
  T* const* end() const { return m_pData + m_nSize; }

  // newSize 0 frees the block; growing zero-fills the new slots;
  // growBy -1 keeps the current step.
  void SetSize(int newSize, int growBy = -1) {
    if (growBy != -1) m_nGrowBy = growBy;
    if (newSize <= 0) {
      ReleaseBlock();
      m_pData = nullptr;
      m_nSize = m_nMaxSize = 0;
      return;
    }
    if (newSize > m_nMaxSize) {
      int capacity = newSize;
      if (m_pData) {
        int step = m_nGrowBy;
        if (step <= 0) step = std::min(1024, std::max(4, m_nSize / 8));
        capacity = m_nMaxSize + step;
        if (capacity < newSize) capacity = newSize;
      }
      Reallocate(capacity);
    }
    if (newSize > m_nSize)
      std::memset(static_cast<void*>(m_pData + m_nSize), 0, sizeof(T*) * (newSize - m_nSize));
    m_nSize = newSize;
  }

  // Makes room for n elements without changing the size.
  void Reserve(int n) {
    if (n > m_nMaxSize) Reallocate(n);
  }

  // Gives back unused capacity.
  void FreeExtra() {
    if (m_nSize == 0) {
      SetSize(0);
    } else if (m_nSize < m_nMaxSize) {
      Reallocate(m_nSize);
    }
  }

  int Add(T* p) {
    int i = m_nSize;
    if (m_nSize < m_nMaxSize)
      m_nSize++;
    else
      SetSize(m_nSize + 1);
    m_pData[i] = p;
    return i;
  }

  void InsertAt(int i, T* p) {
    if (i >= m_nSize) {
      SetSize(i + 1);
    } else {
      SetSize(m_nSize + 1);
      std::memmove(static_cast<void*>(m_pData + i + 1), m_pData + i,
                   sizeof(T*) * (m_nSize - 1 - i));
    }
    m_pData[i] = p;
  }

  // Shifts the tail down by one; the element object is not deleted.
  void RemoveAt(int i) {
    if (i < 0 || i >= m_nSize) return;
    std::memmove(static_cast<void*>(m_pData + i), m_pData + i + 1, sizeof(T*) * (m_nSize - 1 - i));
    m_nSize--;
  }

  void RemoveAll() { SetSize(0); }

  int Find(const T* p) const {
    for (int i = 0; i < m_nSize; i++)
      if (m_pData[i] == p) return i;
    return -1;
  }
  int Has(const T* p) const { return Find(p) >= 0; }

  // Appends p unless it is already present; returns 1 when appended.
  int AddUnique(T* p) {
    if (Find(p) >= 0) return 0;
    Add(p);
    return 1;
  }

  // Removes the first occurrence of p, shifting; returns 1 when found.
  int Remove(const T* p) {
    int i = Find(p);
    if (i < 0) return 0;
    RemoveAt(i);
    return 1;
  }

  // Sets the size to n (n <= size) without touching the block; used by
  // compaction loops that keep a prefix.
  void Truncate(int n) {
    if (n >= 0 && n < m_nSize) m_nSize = n;
  }

private:
  static std::size_t BytesFor(int capacity) {
    return sizeof(T*) * static_cast<std::size_t>(capacity);
  }

  // Throws std::bad_alloc, leaving the array as it was, when memory runs out
  // (realloc keeps the old block on failure). capacity is always positive.
  void Reallocate(int capacity) {
    void* moved = std::realloc(m_pData, BytesFor(capacity));
    if (!moved) throw std::bad_alloc();
    m_pData = static_cast<T**>(moved);
    m_nMaxSize = capacity;
  }

  void ReleaseBlock() { std::free(m_pData); }

  T** m_pData = nullptr;
  int m_nSize = 0;
  int m_nMaxSize = 0;
  int m_nGrowBy = 0;
};
