// The terrain height: the rule chain, its strict bounds and the floor.
#include <cmath>
#include <limits>

#include "tests/app/clothFixture.h"

using clothtest::ClothTest;
using clothtest::newCloth;

// Cloth space is terrain space shifted by -50: X = x + 50, Y = y + 50.
TEST_F(ClothTest, TerrainRulesGiveTheirHeights) {
  drapeApp* app = newCloth();
  EXPECT_EQ(app->surface(-60, 0), 40.0f);                         // steep slope on the far left
  EXPECT_EQ(app->surface(0, 15), 4.0f);                           // channel, under the floor
  EXPECT_EQ(app->surface(0, 20.5f), 20.0f);                       // ridge top
  EXPECT_EQ(app->surface(0, 25), 12.0f);                          // ridge flank
  EXPECT_EQ(app->surface(0, 0), 22.5f);                           // ramp
  EXPECT_EQ(app->surface(-21, 0), 15.0f - std::sqrt(101.0f));     // trough bottom
  EXPECT_EQ(app->surface(-30.5f, 0), 15.0f - std::sqrt(10.75f));  // trough near its rim
  EXPECT_EQ(app->surface(-31.5f, 0), 15.0f);                      // step beside the trough
  EXPECT_EQ(app->surface(30, 0), 10.0f);                          // round ridge top
  EXPECT_EQ(app->surface(20.5f, 0), 4.0f);           // round ridge: sqrt(9.75) is under the floor
  EXPECT_EQ(app->surface(27, 0), std::sqrt(91.0f));  // round ridge flank
  EXPECT_EQ(app->surface(-8, -20), 18.0f);           // block at 18
  EXPECT_EQ(app->surface(19.5f, -20), 18.0f);        // block at 18, beyond the ramp
  EXPECT_EQ(app->surface(49, -10.5f), 20.0f);        // block at 20
  EXPECT_EQ(app->surface(60, 60), 4.0f);             // open ground
  EXPECT_NEAR(app->surface(-21, 0), 4.950, 0.001);
}

TEST_F(ClothTest, TerrainBoundsAreStrict) {
  drapeApp* app = newCloth();
  // Edges of the channel and the ridge at X = 50: on an edge the ramp shows.
  EXPECT_EQ(app->surface(0, 10), 22.5f);
  EXPECT_EQ(app->surface(0, 10.5f), 4.0f);
  EXPECT_EQ(app->surface(0, 20), 22.5f);
  EXPECT_EQ(app->surface(0, 21), 22.5f);
  EXPECT_EQ(app->surface(0, 21.5f), 19.0f);
  EXPECT_EQ(app->surface(0, 41), 22.5f);
  // The ramp's ends.
  EXPECT_EQ(app->surface(-5, 0), 4.0f);
  EXPECT_EQ(app->surface(-4.5f, 0), 21.375f);
  EXPECT_EQ(app->surface(15, 0), 4.0f);
  EXPECT_EQ(app->surface(14.5f, 0), 26.125f);
  EXPECT_EQ(app->surface(15, -20), 18.0f);  // falls through to the block at 18
  // The trough and the step share X = 19; neither holds there.
  EXPECT_EQ(app->surface(-31, 0), 4.0f);
  EXPECT_EQ(app->surface(-32, 0), 4.0f);
  EXPECT_EQ(app->surface(-11, 0), 4.0f);
  EXPECT_EQ(app->surface(-11, -20), 18.0f);
  // The round ridge's near end, and the block's far end at the same X.
  EXPECT_EQ(app->surface(20, 0), 4.0f);
  EXPECT_EQ(app->surface(20, -20), 4.0f);
  EXPECT_EQ(app->surface(19.5f, -20), 18.0f);
  // The block's Y bounds at X = 42.
  EXPECT_EQ(app->surface(-8, -30), 4.0f);
  EXPECT_EQ(app->surface(-8, -10), 4.0f);
  // The far block's bounds.
  EXPECT_EQ(app->surface(49, -20), 4.0f);
  EXPECT_EQ(app->surface(49, 0), 4.0f);
  EXPECT_EQ(app->surface(48, -10.5f), 4.0f);
  // The far-left slope ends at X = 10, where it is under the floor anyway;
  // on the ridge band the ridge shows there.
  EXPECT_EQ(app->surface(-40, 0), 4.0f);
  EXPECT_EQ(app->surface(-40, 20.5f), 20.0f);
  EXPECT_EQ(app->surface(-43, 0), 6.0f);
}

TEST_F(ClothTest, TerrainStaysOnTheFloorAndBelowTheSheet) {
  drapeApp* app = newCloth();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(app->surface(nan, nan), 4.0f);
  EXPECT_EQ(app->surface(nan, 0), 4.0f);
  for (int a = 0; a <= 120; ++a)
    for (int b = 0; b <= 120; ++b) ASSERT_GE(app->surface(-60.0f + a, -60.0f + b * 1.25f), 4.0f);
  // No node of the new sheet starts in contact.
  for (int n = 0; n < 3600; ++n)
    ASSERT_LT(app->surface(static_cast<float>(n % 60 - 29), static_cast<float>(n / 60 - 29)),
              30.0f);
}
