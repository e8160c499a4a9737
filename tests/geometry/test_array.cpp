// CArray3d growth rule and list operations.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "geometry/Array3d.h"
#include "geometry/Vertex3d.h"

namespace {

struct Item {
  int value = 0;
};

// Fills an array with n distinct non-null pointers into storage.
void Fill(CArray3d<Item>& a, Item* storage, int n) {
  for (int i = 0; i < n; i++) a.Add(&storage[i]);
}

} // namespace

TEST(Array3d, EmptyAtConstruction) {
  CArray3d<Item> a;
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(a.GetCapacity(), 0);
  EXPECT_EQ(a.GetData(), nullptr);
  EXPECT_EQ(a.Find(nullptr), -1);
}

TEST(Array3d, FirstAppendAllocatesExactlyOneSlot) {
  CArray3d<Item> a;
  Item x;
  EXPECT_EQ(a.Add(&x), 0);
  EXPECT_EQ(a.GetSize(), 1);
  EXPECT_EQ(a.GetCapacity(), 1);
  EXPECT_EQ(a[0], &x);
}

TEST(Array3d, SmallArraysGrowByFour) {
  CArray3d<Item> a;
  Item items[8];
  a.Add(&items[0]);
  a.Add(&items[1]); // full at 1: step max(4, 1/8) = 4
  EXPECT_EQ(a.GetCapacity(), 5);
  for (int i = 2; i < 6; i++) a.Add(&items[i]);
  EXPECT_EQ(a.GetCapacity(), 9);
}

TEST(Array3d, FullArrayOf40GrowsByFive) {
  CArray3d<Item> a;
  Item items[41];
  a.SetSize(40);
  ASSERT_EQ(a.GetCapacity(), 40);
  for (int i = 0; i < 40; i++) a[i] = &items[i];
  a.Add(&items[40]);
  EXPECT_EQ(a.GetSize(), 41);
  EXPECT_EQ(a.GetCapacity(), 45);
  for (int i = 0; i < 41; i++) EXPECT_EQ(a[i], &items[i]);
}

TEST(Array3d, FullArrayOf16384GrowsBy1024) {
  CArray3d<Item> a;
  static Item items[16385];
  a.SetSize(16384);
  ASSERT_EQ(a.GetCapacity(), 16384);
  a.Add(&items[0]);
  EXPECT_EQ(a.GetCapacity(), 16384 + 1024);
  // Clamped at 1024 for larger sizes too.
  CArray3d<Item> b;
  b.SetSize(100000);
  b.Add(&items[1]);
  EXPECT_EQ(b.GetCapacity(), 100000 + 1024);
}

TEST(Array3d, ExplicitGrowStep) {
  CArray3d<Item> a;
  a.SetSize(10, 7);
  EXPECT_EQ(a.GetGrowBy(), 7);
  EXPECT_EQ(a.GetCapacity(), 10);
  a.SetSize(11);
  EXPECT_EQ(a.GetCapacity(), 17);
  // A request larger than capacity + step is allocated exactly.
  a.SetSize(40);
  EXPECT_EQ(a.GetCapacity(), 40);
  // growBy -1 kept the step.
  EXPECT_EQ(a.GetGrowBy(), 7);
}

TEST(Array3d, SetSizeZeroFillsNewSlots) {
  CArray3d<Item> a;
  Item items[3];
  Fill(a, items, 3);
  a.SetSize(1);
  EXPECT_EQ(a.GetSize(), 1);
  a.SetSize(6);
  EXPECT_EQ(a[0], &items[0]);
  for (int i = 1; i < 6; i++) EXPECT_EQ(a[i], nullptr) << i;
}

TEST(Array3d, SetSizeZeroFreesTheBlock) {
  CArray3d<Item> a;
  Item items[5];
  Fill(a, items, 5);
  a.SetSize(0);
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(a.GetCapacity(), 0);
  EXPECT_EQ(a.GetData(), nullptr);
  // And the next append is exact again.
  a.Add(&items[0]);
  EXPECT_EQ(a.GetCapacity(), 1);
  a.RemoveAll();
  EXPECT_EQ(a.GetCapacity(), 0);
}

TEST(Array3d, RemoveAtShiftsTheTail) {
  CArray3d<Item> a;
  Item items[5];
  Fill(a, items, 5);
  a.RemoveAt(1);
  ASSERT_EQ(a.GetSize(), 4);
  EXPECT_EQ(a[0], &items[0]);
  EXPECT_EQ(a[1], &items[2]);
  EXPECT_EQ(a[2], &items[3]);
  EXPECT_EQ(a[3], &items[4]);
  a.RemoveAt(3); // last
  EXPECT_EQ(a.GetSize(), 3);
  a.RemoveAt(0);
  EXPECT_EQ(a[0], &items[2]);
  a.RemoveAt(7); // out of range: nothing
  a.RemoveAt(-1);
  EXPECT_EQ(a.GetSize(), 2);
}

TEST(Array3d, InsertAt) {
  CArray3d<Item> a;
  Item items[5];
  Fill(a, items, 3);
  a.InsertAt(1, &items[3]);
  ASSERT_EQ(a.GetSize(), 4);
  EXPECT_EQ(a[0], &items[0]);
  EXPECT_EQ(a[1], &items[3]);
  EXPECT_EQ(a[2], &items[1]);
  EXPECT_EQ(a[3], &items[2]);
  a.InsertAt(0, &items[4]);
  EXPECT_EQ(a[0], &items[4]);
  EXPECT_EQ(a[4], &items[2]);
  // Beyond the end: grows with null slots in between.
  CArray3d<Item> b;
  b.InsertAt(3, &items[0]);
  ASSERT_EQ(b.GetSize(), 4);
  EXPECT_EQ(b[0], nullptr);
  EXPECT_EQ(b[2], nullptr);
  EXPECT_EQ(b[3], &items[0]);
}

TEST(Array3d, FindAndUniqueOperations) {
  CArray3d<Item> a;
  Item items[4];
  Fill(a, items, 3);
  a.Add(&items[1]); // duplicate
  EXPECT_EQ(a.Find(&items[1]), 1);
  EXPECT_EQ(a.Find(&items[3]), -1);
  EXPECT_TRUE(a.Has(&items[2]));
  EXPECT_EQ(a.AddUnique(&items[0]), 0);
  EXPECT_EQ(a.AddUnique(&items[3]), 1);
  EXPECT_EQ(a.GetSize(), 5);
  EXPECT_EQ(a.Remove(&items[1]), 1); // first occurrence
  EXPECT_EQ(a.Find(&items[1]), 2);
  EXPECT_EQ(a.Remove(&items[1]), 1);
  EXPECT_EQ(a.Remove(&items[1]), 0);
}

TEST(Array3d, NeverDeletesElements) {
  CVertex3d* v = new CVertex3d(1, 2, 3);
  {
    CArray3d<CVertex3d> a;
    a.Add(v);
    a.RemoveAt(0);
    a.Add(v);
  }
  EXPECT_EQ(v->x, 1.0); // still alive (ASan would catch a double free)
  delete v;
}

// Vacated slots keep their numbers until the array is read, then read as if
// each entry had been removed with RemoveAt; null entries are kept.
TEST(Array3d, VacatedSlotsReadAsRemovedInOrder) {
  Item items[8];
  CArray3d<Item> a;
  Fill(a, items, 8);
  a.SetAt(5, nullptr);
  EXPECT_EQ(a.Vacate(2), 1);
  EXPECT_EQ(a.Vacate(6), 1);
  EXPECT_EQ(a.Vacate(2), 0); // already vacated
  EXPECT_EQ(a.Vacate(8), 0);
  EXPECT_EQ(a.Vacate(-1), 0);
  EXPECT_EQ(a.SlotCount(), 8);
  EXPECT_EQ(a.SlotAt(6), nullptr);
  EXPECT_EQ(a.SlotAt(7), &items[7]); // numbers unchanged until a read
  EXPECT_EQ(a.NbVacant(), 2);

  CArray3d<Item> moved(std::move(a)); // the vacated slots move along
  const std::vector<Item*> expected = {&items[0], &items[1], &items[3],
                                       &items[4], nullptr,   &items[7]};
  EXPECT_EQ(std::vector<Item*>(moved.begin(), moved.end()), expected);
  EXPECT_EQ(moved.NbVacant(), 0);
  EXPECT_EQ(moved.SlotCount(), 6);

  // every other member settles first: a few of them after one vacated slot
  struct CCase {
    const char* name;
    std::function<int(CArray3d<Item>&)> read;
    int expected;
  };
  const std::vector<CCase> cases = {
      {"GetSize", [](CArray3d<Item>& b) { return b.GetSize(); }, 5},
      {"Find", [&](CArray3d<Item>& b) { return b.Find(&items[7]); }, 4},
      {"Add", [&](CArray3d<Item>& b) { return b.Add(&items[2]); }, 5},
      {"operator[]", [&](CArray3d<Item>& b) { return b[1] == &items[2]; }, 1},
      {"RemoveAt",
       [&](CArray3d<Item>& b) {
         b.RemoveAt(0);
         return b.Find(&items[7]);
       },
       3},
  };
  for (const CCase& c : cases) {
    CArray3d<Item> b;
    Fill(b, items, 8);
    b.Vacate(1);
    b.Vacate(4);
    b.Vacate(5);
    EXPECT_EQ(c.read(b), c.expected) << c.name;
  }
}

// Small-buffer arrays (neighbour lists): entries stay inside the array up to
// N, spill into a block beyond it by the growth rule, and come back inside
// when they fit again; swaps and moves carry the entries whichever side
// they are on.
TEST(Array3d, SmallBufferKeepsShortListsInside) {
  std::vector<Item> items(20);
  struct Case {
    int added;
    int capacity;
  };
  // capacity N = 6 inside; the first block grows from N by the automatic
  // step (size/8 clamped to 4..1024)
  for (Case c : {Case{0, 6}, Case{1, 6}, Case{6, 6}, Case{7, 10}, Case{11, 14}, Case{20, 22}}) {
    CArray3d<Item, 6> a;
    for (int i = 0; i < c.added; i++) a.Add(&items[size_t(i)]);
    EXPECT_EQ(a.GetCapacity(), c.capacity) << c.added;
    ASSERT_EQ(a.GetSize(), c.added);
    for (int i = 0; i < c.added; i++) EXPECT_EQ(a[i], &items[size_t(i)]) << c.added;
    // back inside once the entries fit
    while (a.GetSize() > 3) a.RemoveAt(0);
    a.FreeExtra();
    EXPECT_EQ(a.GetCapacity(), 6) << c.added;
    int first = std::max(0, c.added - 3);
    for (int i = 0; i < a.GetSize(); i++) EXPECT_EQ(a[i], &items[size_t(first + i)]) << c.added;
  }
}

TEST(Array3d, SmallBufferSwapsAndMovesEitherSide) {
  std::vector<Item> items(12);
  for (int shortSize : {0, 2, 6})
    for (int longSize : {3, 7, 12}) {
      CArray3d<Item, 6> a, b;
      for (int i = 0; i < shortSize; i++) a.Add(&items[size_t(i)]);
      for (int i = 0; i < longSize; i++) b.InsertAt(0, &items[size_t(i)]);
      a.Swap(b);
      ASSERT_EQ(a.GetSize(), longSize);
      ASSERT_EQ(b.GetSize(), shortSize);
      for (int i = 0; i < longSize; i++) EXPECT_EQ(a[i], &items[size_t(longSize - 1 - i)]);
      for (int i = 0; i < shortSize; i++) EXPECT_EQ(b[i], &items[size_t(i)]);
      CArray3d<Item, 6> moved(std::move(a));
      EXPECT_EQ(moved.GetSize(), longSize);
      EXPECT_EQ(a.GetSize(), 0);
      EXPECT_EQ(moved.Find(&items[0]), longSize - 1);
      moved.RemoveAll();
      EXPECT_EQ(moved.GetCapacity(), 6);
    }
}
