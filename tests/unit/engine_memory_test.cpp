// The engine's allocator: alignment, sizes, contents kept across moves, and
// blocks reused once freed.
#include "store/engine_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

const sqlite3_mem_methods& memory() { return korvan::engineMemory(); }

// Fills a block with bytes derived from its tag; checks them back.
void fill(void* p, int n, int tag) {
  for (int i = 0; i < n; ++i)
    static_cast<unsigned char*>(p)[i] = static_cast<unsigned char>(tag + i);
}
bool holds(const void* p, int n, int tag) {
  for (int i = 0; i < n; ++i) {
    if (static_cast<const unsigned char*>(p)[i] != static_cast<unsigned char>(tag + i))
      return false;
  }
  return true;
}

TEST(EngineMemory, SizesAlignmentAndReuse) {
  for (int n : {1, 7, 8, 23, 24, 25, 100, 1000, 2040, 2041, 5000, 100000}) {
    void* p = memory().xMalloc(n);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u) << n;
    EXPECT_GE(memory().xSize(p), n);
    EXPECT_EQ(memory().xSize(p), memory().xRoundup(n)) << n;
    fill(p, memory().xSize(p), n);
    memory().xFree(p);
    // A freed small block is the next one handed out of its size.
    void* again = memory().xMalloc(n);
    if (n <= 2000) {
      EXPECT_EQ(again, p) << n;
    }
    memory().xFree(again);
  }
  memory().xFree(nullptr);
  EXPECT_EQ(memory().xSize(nullptr), 0);
}

TEST(EngineMemory, ContentsSurviveMovesAmongManyLiveBlocks) {
  struct Block {
    void* p;
    int n;
    int tag;
  };
  std::vector<Block> live;
  std::mt19937 random(7);
  for (int step = 0; step < 20000; ++step) {
    const int action = static_cast<int>(random() % 3);
    if (action == 0 || live.empty()) {
      const int n = 1 + static_cast<int>(random() % (random() % 8 == 0 ? 6000 : 300));
      void* p = memory().xMalloc(n);
      ASSERT_NE(p, nullptr);
      fill(p, n, step);
      live.push_back({p, n, step});
      continue;
    }
    Block& block = live[random() % live.size()];
    ASSERT_TRUE(holds(block.p, block.n, block.tag)) << "step " << step;
    if (action == 1) {  // grow or shrink; the common prefix stays
      const int n = 1 + static_cast<int>(random() % 4000);
      void* moved = memory().xRealloc(block.p, n);
      ASSERT_NE(moved, nullptr);
      ASSERT_TRUE(holds(moved, std::min(n, block.n), block.tag)) << "step " << step;
      fill(moved, n, step);
      block = {moved, n, step};
    } else {
      memory().xFree(block.p);
      block = live.back();
      live.pop_back();
    }
  }
  for (const Block& block : live) {
    EXPECT_TRUE(holds(block.p, block.n, block.tag));
    memory().xFree(block.p);
  }
}

}  // namespace
