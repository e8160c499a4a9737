// The address-keyed slot table behind single removals: random sets and
// erasures against a reference map, through growth and probe runs that wrap.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "geometry/SlotIndex.h"

TEST(SlotIndex, MatchesAReferenceMapThroughSetsAndErasures) {
  // addresses 16 bytes apart and 64 MB apart (same place in the table)
  std::vector<const void*> keys;
  for (std::uintptr_t i = 1; i <= 300; i++) {
    keys.push_back(reinterpret_cast<const void*>(0x100000 + 16 * i));
    keys.push_back(reinterpret_cast<const void*>(0x100000 + (i << 26)));
  }
  for (bool reset : {false, true}) {
    CSlotIndex index;
    if (reset) index.Reset(keys.size()); // no growth on this path
    std::map<const void*, int> model;
    std::mt19937 random(5);
    for (int step = 0; step < 20000; step++) {
      const void* p = keys[random() % keys.size()];
      if (random() % 3) {
        int slot = static_cast<int>(random() % 1000);
        EXPECT_EQ(index.Set(p, slot), model.count(p) ? 0 : 1);
        model.emplace(p, slot); // keeps the first slot, as Set does
      } else {
        index.Erase(p);
        model.erase(p);
      }
      if (step % 997 != 0) continue;
      for (const void* k : keys) ASSERT_EQ(index.Get(k), model.count(k) ? model[k] : -1);
    }
  }
  CSlotIndex empty;
  EXPECT_EQ(empty.Get(keys[0]), -1);
  empty.Erase(keys[0]);
  EXPECT_EQ(empty.Set(nullptr, 3), 1);
  EXPECT_EQ(empty.Get(nullptr), -1);
}

TEST(SlotIndex, ElementsLaidOutLikePoolChunksSpreadEvenly) {
  // a million elements of 88 or 184 bytes in 2 MiB chunks mapped 4 MiB
  // apart (as aligned chunks come from the system): lookups stay short
  for (std::uintptr_t size : {88, 184}) {
    std::vector<const void*> keys;
    const std::uintptr_t perChunk = ((std::uintptr_t(1) << 21) - 64) / size;
    for (std::uintptr_t chunk = 0; keys.size() < 1000000; chunk++)
      for (std::uintptr_t i = 0; i < perChunk; i++)
        keys.push_back(reinterpret_cast<const void*>(
            (std::uintptr_t(0x7f0000000000) - (chunk << 22)) + 64 + i * size));
    CSlotIndex index;
    index.Reset(keys.size());
    for (size_t i = 0; i < keys.size(); i++) index.Set(keys[i], static_cast<int>(i));
    double probes = 0.0;
    for (const void* k : keys) probes += static_cast<double>(index.Probes(k));
    EXPECT_LT(probes / static_cast<double>(keys.size()), 2.0) << size << "-byte elements";
  }
}
