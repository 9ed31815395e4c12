// Bullet's cloth, the benchmarks' peer: the sheet is the one our cloth starts
// as, it falls as ours does per frame, and it comes to rest on the box rather
// than through it.
#include <BulletSoftBody/btSoftBody.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "bench/bulletClothScene.h"

namespace {

using bulletcloth::Scene;

TEST(BulletClothScene, SheetIsTheGridOverTheSquareAtHeight30) {
  for (int n : {2, 3, 60}) {
    SCOPED_TRACE(n);
    Scene scene(n);
    EXPECT_EQ(scene.nodes(), n * n);
    EXPECT_EQ(scene.links(), 2 * n * (n - 1));  // the four-neighbour grid, no diagonals
    const btSoftBody::tNodeArray& nodes = scene.sheet().m_nodes;
    const btVector3 first = nodes[0].m_x;
    const btVector3 last = nodes[n * n - 1].m_x;
    EXPECT_FLOAT_EQ(first.x(), bulletcloth::kLow);
    EXPECT_FLOAT_EQ(first.y(), bulletcloth::kLow);
    EXPECT_FLOAT_EQ(last.x(), bulletcloth::kHigh);
    EXPECT_FLOAT_EQ(last.y(), bulletcloth::kHigh);
    EXPECT_FLOAT_EQ(scene.lowestHeight(), 30.0f);
    EXPECT_FLOAT_EQ(scene.highestHeight(), 30.0f);
    for (int i = 0; i < nodes.size(); ++i) {
      ASSERT_GT(nodes[i].m_im, 0) << "node " << i << " is pinned";
    }
  }
}

TEST(BulletClothScene, RejectsSidesWithoutAGrid) {
  for (int n : {-3, 0, 1, Scene::kMaxSide + 1}) {
    EXPECT_THROW(Scene{n}, std::invalid_argument) << n;
  }
}

// Free fall first, flat and on our cloth's per-frame curve (without its
// damping): after k steps of 1/60 s the height is 30 - 0.01 k (k + 1). Then
// the whole sheet on the box, neither sunk through it nor torn apart.
TEST(BulletClothScene, FallsLikeOurClothThenRestsOnTheBox) {
  Scene scene(60);
  int frame = 0;
  for (int k : {1, 20, 40}) {
    while (frame < k) {
      scene.step();
      ++frame;
    }
    SCOPED_TRACE(k);
    EXPECT_NEAR(scene.lowestHeight(), 30.0f - 0.01f * k * (k + 1), 0.01f);
    EXPECT_NEAR(scene.highestHeight(), scene.lowestHeight(), 1e-3f);
    EXPECT_EQ(scene.contacts(), 0);
  }
  while (frame < 300) {
    scene.step();
    ++frame;
  }
  EXPECT_GE(scene.lowestHeight(), bulletcloth::kBoxTop);
  EXPECT_LE(scene.highestHeight(), bulletcloth::kBoxTop + 0.5f);
  EXPECT_EQ(scene.contacts(), scene.nodes());
  const btSoftBody::tNodeArray& nodes = scene.sheet().m_nodes;
  const float width = nodes[59].m_x.x() - nodes[0].m_x.x();
  EXPECT_NEAR(width, bulletcloth::kHigh - bulletcloth::kLow, 1.0f);
}

}  // namespace
