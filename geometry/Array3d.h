#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

// Growable array of object pointers. It never deletes the objects it points
// to: owners delete the elements explicitly before clearing the array.
//
// N > 0 gives a small-buffer array for short lists (a vertex's one-ring and
// incident faces, typically six): up to N entries live inside the array
// object itself, so a vertex of ordinary valence needs no block of its own.
// Its capacity starts at N; beyond it, the block grows by the rule below
// from N, and shrinks back inside when emptied or when FreeExtra finds the
// entries fit. Such arrays do not vacate slots and keep no grow step (only
// the ordinary array N = 0 does), which keeps their header to two ints.
// Its block is an ordinary heap block (malloc/realloc), so an array may be
// filled on one thread and freed on another, and freed memory goes back to
// the allocator.
//
// Growth rule: a first allocation is exact; later, the capacity grows by the
// grow step, which when unset (0) is size/8 clamped to 4..1024; if that is
// still smaller than the requested size, the requested size is allocated.
//
// Vacated slots: Vacate(slot) takes an entry out in constant time by marking
// its slot; the marked slots are dropped, keeping the order of the others, in
// one pass the next time the array is read or changed through any other
// member. Every observation therefore sees the array as if each entry had
// been removed with RemoveAt, while a run of removals costs one pass. Slot
// numbers (SlotCount, SlotAt) count the marked slots and stay fixed until
// that pass. Because a read may run that pass, concurrent reads of an array
// with vacated slots need the same care as writes.
template <class T, int N = 0> class CArray3d {
public:
  CArray3d() = default;
  ~CArray3d() { ReleaseBlock(); }
  CArray3d(const CArray3d&) = delete;
  CArray3d& operator=(const CArray3d&) = delete;
  CArray3d(CArray3d&& o) noexcept { Swap(o); }
  CArray3d& operator=(CArray3d&& o) noexcept {
    if (this != &o) {
      CArray3d gone;
      Swap(o);
      gone.Swap(o);
    }
    return *this;
  }
  // Inline entries are exchanged by value, so either array may be inline.
  void Swap(CArray3d& o) noexcept {
    std::swap(m_Store, o.m_Store);
    std::swap(m_nSize, o.m_nSize);
    std::swap(m_nMaxSize, o.m_nMaxSize);
    m_Extra.Swap(o.m_Extra);
  }

  int GetSize() const {
    Settle();
    return m_nSize;
  }
  int GetCapacity() const { return m_nMaxSize; }
  int GetGrowBy() const { return m_Extra.GrowBy(); }
  T* GetAt(int i) const {
    Settle();
    return Data()[i];
  }
  T*& operator[](int i) {
    Settle();
    return Data()[i];
  }
  T* operator[](int i) const {
    Settle();
    return Data()[i];
  }
  void SetAt(int i, T* p) {
    Settle();
    Data()[i] = p;
  }
  T** GetData() {
    Settle();
    return Data();
  }
  T* const* GetData() const {
    Settle();
    return Data();
  }
  T** begin() {
    Settle();
    return Data();
  }
  T** end() {
    Settle();
    return Data() + m_nSize;
  }
  T* const* begin() const {
    Settle();
    return Data();
  }
  T* const* end() const {
    Settle();
    return Data() + m_nSize;
  }

  // slots, vacated ones included (see above)
  int SlotCount() const { return m_nSize; }
  // The entry in a slot; null for a vacated slot.
  T* SlotAt(int slot) const {
    T* p = Data()[slot];
    return p == VacantMark() ? nullptr : p;
  }
  // Takes the entry of a slot out; 0 when the slot is out of range or vacated.
  int Vacate(int slot) {
    static_assert(N == 0, "small-buffer arrays do not vacate slots");
    if (slot < 0 || slot >= m_nSize || Data()[slot] == VacantMark()) return 0;
    Data()[slot] = VacantMark();
    m_Extra.m_nVacant++;
    return 1;
  }
  int NbVacant() const { return m_Extra.Vacant(); }
  // Drops the vacated slots now.
  void Compact() { Settle(); }

  // newSize 0 frees the block; growing zero-fills the new slots;
  // growBy -1 keeps the current step.
  void SetSize(int newSize, int growBy = -1) {
    Settle();
    if (growBy != -1) m_Extra.SetGrowBy(growBy);
    if (newSize <= 0) {
      ReleaseBlock();
      m_Store.heap = nullptr;
      m_nSize = 0;
      m_nMaxSize = N;
      return;
    }
    if (newSize > m_nMaxSize) {
      int capacity = newSize;
      if (m_nMaxSize > 0) {
        int step = m_Extra.GrowBy();
        if (step <= 0) step = std::min(1024, std::max(4, m_nSize / 8));
        capacity = m_nMaxSize + step;
        if (capacity < newSize) capacity = newSize;
      }
      Reallocate(capacity);
    }
    if (newSize > m_nSize)
      std::memset(static_cast<void*>(Data() + m_nSize), 0, sizeof(T*) * (newSize - m_nSize));
    m_nSize = newSize;
  }

  // Makes room for n elements without changing the size.
  void Reserve(int n) {
    if (n > m_nMaxSize) Reallocate(n);
  }

  // Gives back unused capacity.
  void FreeExtra() {
    Settle();
    if (m_nSize == 0) {
      SetSize(0);
    } else if (OnHeap() && m_nSize <= N) {
      MoveInline();
    } else if (m_nSize < m_nMaxSize && OnHeap()) {
      Reallocate(m_nSize);
    }
  }

  int Add(T* p) {
    Settle();
    int i = m_nSize;
    if (m_nSize < m_nMaxSize)
      m_nSize++;
    else
      SetSize(m_nSize + 1);
    Data()[i] = p;
    return i;
  }

  void InsertAt(int i, T* p) {
    Settle();
    if (i >= m_nSize) {
      SetSize(i + 1);
    } else {
      SetSize(m_nSize + 1);
      std::memmove(static_cast<void*>(Data() + i + 1), Data() + i, sizeof(T*) * (m_nSize - 1 - i));
    }
    Data()[i] = p;
  }

  // Shifts the tail down by one; the element object is not deleted.
  void RemoveAt(int i) {
    Settle();
    if (i < 0 || i >= m_nSize) return;
    std::memmove(static_cast<void*>(Data() + i), Data() + i + 1, sizeof(T*) * (m_nSize - 1 - i));
    m_nSize--;
  }

  void RemoveAll() { SetSize(0); }

  int Find(const T* p) const {
    Settle();
    for (int i = 0; i < m_nSize; i++)
      if (Data()[i] == p) return i;
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
    Settle();
    if (n >= 0 && n < m_nSize) m_nSize = n;
  }

private:
  // What a vacated slot holds: an address no entry can have.
  static T* VacantMark() {
    static char mark;
    return reinterpret_cast<T*>(&mark);
  }

  void Settle() const {
    if constexpr (N == 0)
      if (m_Extra.m_nVacant) DropVacated();
  }

  // One pass over the slots keeping the entries that are not vacated, in order.
  // Kept out of line: the accessors only test the count.
  [[gnu::noinline, gnu::cold]] void DropVacated() const {
    T* vacant = VacantMark();
    int kept = 0;
    for (int i = 0; i < m_nSize; i++)
      if (Data()[i] != vacant) Data()[kept++] = Data()[i];
    m_nSize = kept;
    m_Extra.m_nVacant = 0;
  }

  static std::size_t BytesFor(int capacity) {
    return sizeof(T*) * static_cast<std::size_t>(capacity);
  }

  // Throws std::bad_alloc, leaving the array as it was, when memory runs out
  // (realloc keeps the old block on failure). capacity is always positive.
  void Reallocate(int capacity) {
    if (!OnHeap()) {
      // leaving the inline entries for a block
      void* block = std::malloc(BytesFor(capacity));
      if (!block) throw std::bad_alloc();
      if (m_nSize) std::memcpy(block, m_Store.inl, sizeof(T*) * m_nSize);
      m_Store.heap = static_cast<T**>(block);
    } else {
      void* moved = std::realloc(m_Store.heap, BytesFor(capacity));
      if (!moved) throw std::bad_alloc();
      m_Store.heap = static_cast<T**>(moved);
    }
    m_nMaxSize = capacity;
  }

  // Brings the entries (at most N) back inside and frees the block.
  void MoveInline() {
    T** block = m_Store.heap;
    if (m_nSize > 0)
      std::memcpy(m_Store.inl, block, sizeof(T*) * static_cast<std::size_t>(m_nSize));
    std::free(block);
    m_nMaxSize = N;
  }

  bool OnHeap() const { return m_nMaxSize > N; }
  T** Data() const {
    if constexpr (N == 0) return m_Store.heap;
    return OnHeap() ? m_Store.heap : const_cast<T**>(m_Store.inl);
  }
  void ReleaseBlock() {
    if (OnHeap()) std::free(m_Store.heap);
  }

  // The grow step and the count of vacated slots, kept only by the
  // ordinary array.
  struct CFullExtra {
    int m_nGrowBy = 0;
    mutable int m_nVacant = 0;
    int GrowBy() const { return m_nGrowBy; }
    void SetGrowBy(int g) { m_nGrowBy = g; }
    int Vacant() const { return m_nVacant; }
    void Swap(CFullExtra& o) noexcept {
      std::swap(m_nGrowBy, o.m_nGrowBy);
      std::swap(m_nVacant, o.m_nVacant);
    }
  };
  struct CSmallExtra {
    static constexpr int m_nVacant = 0;
    int GrowBy() const { return 0; }
    void SetGrowBy(int) {}
    int Vacant() const { return 0; }
    void Swap(CSmallExtra&) noexcept {}
  };
  union CStore {
    T** heap;
    T* inl[N > 0 ? N : 1];
  };

  CStore m_Store{};
  mutable int m_nSize = 0; // slots in use, vacated ones included
  int m_nMaxSize = N;
  [[no_unique_address]] std::conditional_t<N == 0, CFullExtra, CSmallExtra> m_Extra;
};
