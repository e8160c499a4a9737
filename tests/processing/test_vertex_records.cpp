// The per-vertex record lists of the simplifications against a plain model
// (every record ever made, with a live flag), under random additions and
// removals, removals from inside a walk included; and the heap over such
// records, whose ties must go to the record made first even once slots are
// reused out of order; and keys raised lazily.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "geometry/Random15.h"
#include "processing/SimplificationHeap.h"
#include "processing/VertexRecords.h"

namespace {

struct CTestRecord {
  CRecordLinks links;
  unsigned long long made = 0;
  int payload = 0;
};

struct CModelRecord {
  int a, b, id;
  bool alive;
};

// The live records of v, most recent first, as ids.
std::vector<int> ModelList(const std::vector<CModelRecord>& model, int v) {
  std::vector<int> ids;
  for (auto it = model.rbegin(); it != model.rend(); ++it)
    if (it->alive && (it->a == v || it->b == v)) ids.push_back(it->id);
  return ids;
}

std::vector<int> Walk(CVertexRecords<CTestRecord>& records, int v) {
  std::vector<int> ids;
  records.ForEach(v, [&ids](int id) { ids.push_back(id); });
  return ids;
}

TEST(VertexRecords, ListsMatchAPlainModelUnderRandomChanges) {
  struct Case {
    int vertices, steps, removeShare; // share of removals in 15-bit units
  };
  for (const Case& c : {Case{2, 400, 16000}, Case{7, 3000, 12000}, Case{40, 6000, 18000}}) {
    SCOPED_TRACE(c.vertices);
    CRandom15 random(c.vertices);
    CVertexRecords<CTestRecord> records;
    records.Reset(c.vertices, 4);
    std::vector<CModelRecord> model;
    std::size_t mostAlive = 0;
    for (int step = 0; step < c.steps; step++) {
      const int v = random.Next() % c.vertices;
      if (random.Next() < c.removeShare) {
        // remove every other record of v from inside the walk
        bool take = true;
        records.ForEach(v, [&](int id) {
          if (take) {
            records.Remove(id);
            for (CModelRecord& m : model)
              if (m.alive && m.id == id) m.alive = false;
          }
          take = !take;
        });
      } else {
        int w = random.Next() % c.vertices;
        if (w == v) w = (w + 1) % c.vertices;
        const int id = records.Add(v, w);
        ASSERT_FALSE(std::any_of(model.begin(), model.end(),
                                 [id](const CModelRecord& m) { return m.alive && m.id == id; }));
        records[id].payload = step;
        model.push_back({v, w, id, true});
      }
      const std::size_t alive = static_cast<std::size_t>(
          std::count_if(model.begin(), model.end(), [](const CModelRecord& m) { return m.alive; }));
      mostAlive = std::max(mostAlive, alive);
      ASSERT_EQ(records.Live(), alive);
      for (int u = 0; u < c.vertices; u++) ASSERT_EQ(Walk(records, u), ModelList(model, u));
    }
    // freed slots are reused: never more slots than records alive at once
    EXPECT_EQ(records.Slots(), mostAlive);
    // the order made survives reuse
    for (std::size_t i = 0; i < model.size(); i++)
      for (std::size_t j = i + 1; j < model.size(); j++)
        if (model[i].alive && model[j].alive) {
          ASSERT_TRUE(records.Earlier(model[i].id, model[j].id));
          ASSERT_LT(records[model[i].id].payload, records[model[j].id].payload);
        }
  }
}

TEST(VertexRecords, HeapTiesGoToTheRecordMadeFirst) {
  CVertexRecords<CTestRecord> records;
  records.Reset(4, 0);
  // slots 0..5, then free 4, 1 and 3 and make three more: they take the
  // slots 3, 1, 4 in that order, so slot order and order made disagree
  for (int i = 0; i < 6; i++) records.Add(i % 4, (i + 1) % 4);
  for (int id : {4, 1, 3}) records.Remove(id);
  const int late[3] = {records.Add(0, 2), records.Add(1, 3), records.Add(2, 0)};
  EXPECT_EQ(late[0], 3);
  EXPECT_EQ(late[1], 1);
  EXPECT_EQ(late[2], 4);

  CKeyedHeap<double, CMadeFirst<CTestRecord>> heap{CMadeFirst<CTestRecord>{&records}};
  for (int id : {4, 1, 3, 0, 5, 2}) heap.Set(id, 1.0);
  heap.Set(5, 0.5);
  // the lowest key, then equal keys in the order made: 0, 2, then 3, 1, 4
  std::vector<int> order;
  while (!heap.Empty()) order.push_back(heap.Pop());
  EXPECT_EQ(order, (std::vector<int>{5, 0, 2, 3, 1, 4}));
}

// Keys raised lazily (Lower leaves them low; a stale top is set to its true
// key before it is taken) must come out in the order of a heap re-keyed at
// once, ties included: keys drawn from a few values, random re-keys and
// removals between takes.
TEST(KeyedHeap, LazyRaisesTakeWhatEagerRekeyingTakes) {
  CRandom15 random;
  const int n = 400;
  std::vector<double> truth(n);
  CKeyedHeap<double> eager, lazy;
  for (int id = 0; id < n; id++) {
    truth[id] = random.Next() % 7;
    eager.Set(id, truth[id]);
    lazy.Set(id, truth[id]);
  }
  std::vector<int> eagerOrder, lazyOrder;
  while (!eager.Empty()) {
    // re-key or remove a few queued ids
    for (int k = 0; k < 5; k++) {
      const int id = random.Next() % n;
      if (!eager.Has(id)) continue;
      if (random.Next() % 4 == 0) {
        eager.Remove(id);
        lazy.Remove(id);
        continue;
      }
      truth[id] = random.Next() % 7;
      eager.Set(id, truth[id]);
      lazy.Lower(id, truth[id]);
    }
    eagerOrder.push_back(eager.Pop());
    lazy.SettleTop([&truth](int id) { return truth[id]; });
    lazyOrder.push_back(lazy.Pop());
    ASSERT_EQ(eagerOrder.back(), lazyOrder.back()) << "take " << eagerOrder.size();
  }
  EXPECT_TRUE(lazy.Empty());
}

} // namespace
