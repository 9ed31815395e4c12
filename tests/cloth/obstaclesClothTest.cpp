// The cloth on the constraint solver against its obstacles and itself: the
// same bits on any thread count, nothing inside the ball or under the
// ground, a pile that never passes through itself, and the presets that
// set them up.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bench/triangleCrossings.h"
#include "cloth/cloth.h"
#include "cloth/strain.h"

namespace {

using cloth::Cloth;
using cloth::Preset;

// Everything at once at a size whose rows do not split evenly: the ground,
// a ball swept through the falling sheet, a tilted box, the terrain,
// self-collision.
TEST(ObstaclesClothTest, EveryThreadCountGivesTheSameBits) {
  cloth::Params p = cloth::presetParams(Preset::sphere, 37);
  p.stepsPerFrame = 5;  // fewer barriers for the oversubscribed pools
  p.selfCollision = true;
  p.thickness = cloth::presetParams(Preset::pile, 37).thickness;
  p.ballRadius = 6.0f;
  p.ballZ = 20.0f;
  p.box = true;
  p.boxTilt = 15.0f;
  p.boxX = -15.0f;
  p.boxZ = 10.0f;
  p.boxWidth = p.boxDepth = 20.0f;
  p.terrain = true;
  std::vector<uint64_t> digests;
  for (int threads : {1, 2, 3, 7}) {
    Cloth c(Preset::sphere, p, threads);
    cloth::Params moving = p;
    for (int f = 0; f < 150; ++f) {
      moving.ballX = -30.0f + 0.4f * f;  // as Shift + drag moves it
      ASSERT_TRUE(c.setParams(moving));
      c.advance();
    }
    int touching = 0;
    for (int n = 0; n < c.nodeCount(); ++n) touching += c.inContact(n);
    EXPECT_GT(touching, 0) << threads << " threads";
    digests.push_back(cloth::digest(c));
  }
  for (size_t k = 1; k < digests.size(); ++k)
    EXPECT_EQ(digests[k], digests[0]) << "thread count number " << k;
}

// The sphere preset: over the whole fall every node stays out of the ball
// and above the ground by nearly the thickness, and the sheet drapes over
// the ball down to the ground.
TEST(ObstaclesClothTest, NothingGetsInsideTheBallOrUnderTheGround) {
  const cloth::Params p = cloth::presetParams(Preset::sphere, 32);
  Cloth c(Preset::sphere, p, 2);
  const zeVec3f centre(p.ballX, p.ballY, p.ballZ);
  float nearestBall = 1e30f, lowest = 1e30f;
  for (int f = 0; f < 400; ++f) {
    c.advance();
    for (int n = 0; n < c.nodeCount(); ++n) {
      const zeVec3f& x = c.positions()[n];
      const float dx = x.x - centre.x, dy = x.y - centre.y, dz = x.z - centre.z;
      nearestBall = std::min(nearestBall, std::sqrt(dx * dx + dy * dy + dz * dz) - p.ballRadius);
      lowest = std::min(lowest, x.z);
    }
  }
  EXPECT_GT(nearestBall, 0.9f * p.thickness);
  EXPECT_LT(nearestBall, 1.1f * p.thickness) << "the sheet rests on the ball";
  EXPECT_GT(lowest, 0.9f * p.thickness);
  EXPECT_LT(lowest, 1.1f * p.thickness) << "its edges reach the ground";
  const zeVec3f top = c.positions()[16 * 32 + 16];
  EXPECT_NEAR(top.z, p.ballZ + p.ballRadius + p.thickness, 0.3f) << "its middle lies on top";
}

// The pile, counted by the independent triangle test: with self-collision
// it folds without passing through itself; without, the same fall does.
TEST(ObstaclesClothTest, APileNeverPassesThroughItself) {
  const int size = 32;
  const auto triangles = quality::sheetTriangles(size);
  long crossed[2];
  for (bool self : {true, false}) {
    cloth::Params p = cloth::presetParams(Preset::pile, size);
    p.selfCollision = self;
    Cloth c(Preset::pile, p, 2);
    for (int f = 0; f < 300; ++f) c.advance();
    float highest = -1e30f;
    for (int n = 0; n < c.nodeCount(); ++n) highest = std::max(highest, c.positions()[n].z);
    EXPECT_LT(highest, 15.0f) << "the sheet has fallen into a pile";
    crossed[self] = quality::countCrossings(c.positions(), triangles);
  }
  EXPECT_EQ(crossed[1], 0);
  EXPECT_GT(crossed[0], 0) << "without self-collision the pile should cross itself";
}

// drape's terrain has cliffs (steps of the height within a node's span);
// a node kept out along a normal taken across one would be thrown sideways
// off it. The flag lies across several: its links stay near their length.
TEST(ObstaclesClothTest, TerrainCliffsDoNotStretchASheetLyingOnThem) {
  for (Preset preset : {Preset::flag, Preset::curtain}) {
    Cloth c(preset, cloth::presetParams(preset, 32), 2);
    for (int f = 0; f < 300; ++f) c.advance();
    int touching = 0;
    for (int n = 0; n < c.nodeCount(); ++n) touching += c.inContact(n);
    EXPECT_GT(touching, 32) << cloth::presetName(preset) << " lies on the terrain";
    std::vector<float> scratch;
    EXPECT_LT(cloth::structuralStrain(c, scratch).largest, 0.02) << cloth::presetName(preset);
  }
}

// A ball grown into a sheet lying on it (as the panel can) pushes the sheet
// out without throwing it: the overlap goes a little each step, and no
// contact gives a node speed away from the surface.
TEST(ObstaclesClothTest, AnObstacleGrownIntoTheSheetPushesItOutGently) {
  cloth::Params p = cloth::presetParams(Preset::sphere, 24);
  Cloth c(Preset::sphere, p, 2);
  for (int f = 0; f < 200; ++f) c.advance();
  p.ballRadius = 16.0f;  // the top of the sheet now 4 deep inside
  ASSERT_TRUE(c.setParams(p));
  float fastest = 0.0f;
  for (int f = 0; f < 200; ++f) {
    c.advance();
    for (int n = 0; n < c.nodeCount(); ++n)
      fastest = std::max(fastest, zeVec3f(c.velocities()[n]).length());
  }
  EXPECT_LT(fastest, 40.0f);
  const zeVec3f top = c.positions()[12 * 24 + 12];
  EXPECT_NEAR(top.z, p.ballZ + p.ballRadius + p.thickness, 0.5f) << "out on top again";
}

// Where the pile's sheet starts, and its thickness at every size.
TEST(ObstaclesClothTest, ThePileStartsUprightAndThickEnoughForItsSquares) {
  for (int size : {32, 64, 128}) {
    const cloth::Params pile = cloth::presetParams(Preset::pile, size);
    EXPECT_GT(pile.thickness, 0.71f * 59.0f / (size - 1)) << "a node cannot slip through a square";
    Cloth c(Preset::pile, pile, 1);
    const zeVec3f* x = c.positions();
    EXPECT_FLOAT_EQ(x[0].z, 5.0f) << "the lowest edge at height 5";
    EXPECT_FLOAT_EQ(x[(size - 1) * size].z, 64.0f) << "the top edge a sheet higher";
    EXPECT_FLOAT_EQ(x[size - 1].x - x[0].x, 59.0f) << "rows along x";
    for (int n = 0; n < c.nodeCount(); ++n) ASSERT_NEAR(x[n].y, 0.5f, 0.06f) << "upright";
  }
}

// The ball carried through a sheet lying on it moves the sheet with it
// when friction holds, and less when it does not.
TEST(ObstaclesClothTest, AMovingBallCarriesTheSheetByFriction) {
  float moved[2];
  for (int sticky : {0, 1}) {
    cloth::Params p = cloth::presetParams(Preset::sphere, 24);
    p.staticFriction = sticky ? 2.0f : 0.0f;
    p.kineticFriction = sticky ? 2.0f : 0.0f;
    Cloth c(Preset::sphere, p, 1);
    for (int f = 0; f < 200; ++f) c.advance();
    const int middle = 12 * 24 + 12;
    const float before = c.positions()[middle].x;
    for (int f = 0; f < 20; ++f) {
      p.ballX += 0.1f;
      ASSERT_TRUE(c.setParams(p));
      c.advance();
    }
    moved[sticky] = c.positions()[middle].x - before;
  }
  EXPECT_GT(moved[1], 1.5f) << "held by friction, the top follows the ball's 2";
  EXPECT_LT(moved[0], 0.5f * moved[1]);
}

}  // namespace
