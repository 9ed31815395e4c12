// What the cloth collides with: a height field of the test's own, none at
// all, and drape's terrain reached through the interface's general path.
#include <gtest/gtest.h>

#include <memory>

#include "cloth/cloth.h"
#include "cloth/collider.h"
#include "cloth/terrain.h"

namespace {

using cloth::Cloth;
using cloth::Preset;

// drape's terrain answered through the height field's virtual height, so
// that the general lift runs instead of the terrain's own.
class TerrainThroughHeight final : public cloth::HeightField {
 public:
  float height(float x, float y) const override { return cloth::terrainHeight(x, y); }
};

class Flat final : public cloth::HeightField {
 public:
  explicit Flat(float level) : level_(level) {}
  float height(float, float) const override { return level_; }

 private:
  float level_;
};

// The springs' contact pass, which the collider's band serves.
cloth::Params paramsAt(Preset preset, int size, bool stops) {
  cloth::Params p = cloth::presetParams(preset, size);
  p.solver = cloth::kSolverSprings;
  p.groundStops = stops;
  return p;
}

// Both lifts, with and without ground that stops what lands, and on rows
// that do not split evenly among the workers.
TEST(ColliderTest, HeightFieldPathGivesTheTerrainsOwnBits) {
  struct Case {
    Preset preset;
    int size, threads;
    bool stops;
  };
  for (const Case& k : {Case{Preset::drape, 60, 1, false}, Case{Preset::drape, 37, 3, true},
                        Case{Preset::curtain, 40, 2, false}}) {
    const cloth::Params p = paramsAt(k.preset, k.size, k.stops);
    Cloth own(k.preset, p, k.threads);
    Cloth general(k.preset, p, k.threads, std::make_shared<TerrainThroughHeight>());
    for (int f = 0; f < 400; ++f) {
      own.advance();
      general.advance();
    }
    int contacts = 0;
    for (int n = 0; n < own.nodeCount(); ++n) contacts += own.inContact(n);
    EXPECT_GT(contacts, own.nodeCount() / 4) << "the cloth should have reached the terrain";
    EXPECT_EQ(cloth::digest(general), cloth::digest(own))
        << cloth::presetName(k.preset) << " at " << k.size << " on " << k.threads << " threads";
  }
}

// Ground above the sheet: the first step puts every free node on it at once;
// pinned nodes stay where they are, out of contact.
TEST(ColliderTest, GroundAboveTheSheetLiftsEveryFreeNodeButNoPinnedOne) {
  for (int threads : {1, 3}) {
    Cloth c(Preset::curtain, paramsAt(Preset::curtain, 20, true), threads,
            std::make_shared<Flat>(40.0f));
    c.advance();
    for (int n = 0; n < c.nodeCount(); ++n) {
      if (c.pinned(n)) {
        EXPECT_FALSE(c.inContact(n)) << "node " << n;
        EXPECT_EQ(c.positions()[n].z, 30.0f) << "node " << n;
      } else {
        ASSERT_TRUE(c.inContact(n)) << "node " << n << " on " << threads << " threads";
        // Lifted to 40 and brought to rest, then one step of gravity.
        ASSERT_LT(c.positions()[n].z, 40.0f);
        ASSERT_GT(c.positions()[n].z, 39.9f) << "node " << n;
      }
    }
  }
}

TEST(ColliderTest, WithoutAColliderTheClothFallsThroughAndChangingItTakesHold) {
  Cloth c(Preset::drape, paramsAt(Preset::drape, 30, true), 2, nullptr);
  EXPECT_EQ(c.collider(), nullptr);
  for (int f = 0; f < 200; ++f) c.advance();
  for (int n = 0; n < c.nodeCount(); ++n) {
    ASSERT_FALSE(c.inContact(n)) << "node " << n;
    ASSERT_LT(c.positions()[n].z, 4.0f) << "node " << n << " should be under the terrain's floor";
  }
  // A collider given mid-run holds from the next step on.
  c.setCollider(std::make_shared<Flat>(10.0f));
  ASSERT_NE(c.collider(), nullptr);
  c.advance();
  for (int n = 0; n < c.nodeCount(); ++n) {
    ASSERT_TRUE(c.inContact(n)) << "node " << n;
    ASSERT_GT(c.positions()[n].z, 9.0f) << "node " << n;
  }

  // The default is drape's terrain.
  Cloth onTerrain(Preset::drape, cloth::presetParams(Preset::drape, 30));
  EXPECT_NE(dynamic_cast<const cloth::Terrain*>(onTerrain.collider()), nullptr);
}

}  // namespace
