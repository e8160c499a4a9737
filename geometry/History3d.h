#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

class CVertex3d;

// Undo records pushed by subdivision steps and popped by the mesh's undo.
enum HistoryKind3d {
  HISTORY_FACE_CORNER = 1,     // face: slot index and previous vertex of the slot
  HISTORY_FACE_CREATED = 2,    // face: created by the operation
  HISTORY_VERTEX_POSITION = 3, // vertex: previous position as three floats
  HISTORY_VERTEX_CREATED = 4   // vertex: created by the operation
};

struct CHistoryRecord3d {
  int kind = 0;
  int slot = 0;
  CVertex3d* previous = nullptr;
  float position[3] = {0.0f, 0.0f, 0.0f};
};

// Stack of undo records. A vertex or face holds a pointer to one, null while
// it is empty: Push allocates it on the first record and Pop frees it when
// the last record goes. A step leaves one or two records on an element, so
// the first two live in the stack object itself (one allocation per
// element); more go to an overflow array.
class CHistory3d {
public:
  static constexpr int kInline = 2;

  // Stacks live in their own pool (ElementPool.h): a step gives millions of
  // elements one each, and frees them all together.
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size);

  static void Push(CHistory3d*& stack, const CHistoryRecord3d& record) {
    if (!stack) {
      stack = new CHistory3d;
      s_Created.fetch_add(1, std::memory_order_relaxed);
    }
    stack->PushRecord(record);
  }
  // Number of stacks ever allocated, in every thread; starts at 1. A mesh
  // found without any stack at one count still has none while the count is
  // unchanged (unless it is given elements that carry one).
  static std::uint64_t Created() { return s_Created.load(std::memory_order_relaxed); }
  static void Push(CHistory3d*& stack, int kind) {
    CHistoryRecord3d record;
    record.kind = kind;
    Push(stack, record);
  }
  // Returns 1 and the top record, or 0 when the stack is empty.
  static int Pop(CHistory3d*& stack, CHistoryRecord3d& record) {
    int popped = stack && stack->PopRecord(record) ? 1 : 0;
    if (stack && stack->m_Count == 0) Clear(stack);
    return popped;
  }
  // Discards every record without applying it.
  static void Clear(CHistory3d*& stack) {
    delete stack;
    stack = nullptr;
  }
  int Size() const { return m_Count; }

private:
  CHistoryRecord3d m_Inline[kInline];
  std::vector<CHistoryRecord3d> m_More; // records above the inline ones
  int m_Count = 0;
  static inline std::atomic<std::uint64_t> s_Created{1};

  void PushRecord(const CHistoryRecord3d& record) {
    if (m_Count < kInline)
      m_Inline[m_Count] = record;
    else
      m_More.push_back(record);
    m_Count++;
  }
  bool PopRecord(CHistoryRecord3d& record) {
    if (m_Count == 0) return false;
    m_Count--;
    if (m_Count < kInline) {
      record = m_Inline[m_Count];
    } else {
      record = m_More.back();
      m_More.pop_back();
    }
    return true;
  }
};
