// CVertexIndexMap: the index of every vertex of an array, found without
// writing anything into the vertices.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "geometry/Array3d.h"
#include "geometry/VertexIndexMap.h"

TEST(VertexIndexMap, FindsEveryVertexAndNothingElse) {
  for (int n : {0, 1, 3, 17, 5000}) {
    SCOPED_TRACE(n);
    std::vector<std::unique_ptr<CVertex3d>> owned;
    CArray3d<CVertex3d> array;
    for (int i = 0; i < n; i++) {
      owned.emplace_back(new CVertex3d(i, 0, 0));
      owned.back()->m_Flag = -7 - i; // never read, never written
      array.Add(owned.back().get());
    }
    const CVertexIndexMap index(array);
    for (int i = 0; i < n; i++) {
      EXPECT_EQ(index.IndexOf(array[i]), i);
      EXPECT_EQ(array[i]->m_Flag, -7 - i);
    }
    CVertex3d foreign;
    EXPECT_EQ(index.IndexOf(&foreign), -1);
    EXPECT_EQ(index.IndexOf(nullptr), -1);
  }
}

TEST(VertexIndexMap, EmptySlotsAreSkippedAndARepeatedVertexTakesItsLastSlot) {
  CVertex3d a, b;
  CArray3d<CVertex3d> array;
  array.Add(&a);
  array.Add(nullptr);
  array.Add(&b);
  array.Add(&a);
  const CVertexIndexMap index(array);
  EXPECT_EQ(index.IndexOf(&a), 3);
  EXPECT_EQ(index.IndexOf(&b), 2);
}
