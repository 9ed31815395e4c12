// The cloth's frame step is tuned for speed; these checks pin its results to
// the bit over a whole fall, drape and rest, and show that the per-frame work
// allocates nothing.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/drapeApp.h"
#include "bench/allocCounter.h"
#include "bench/clothFingerprint.h"
#include "testkit/glRecorder.h"

namespace {

drapeApp* newCloth() {
  static std::vector<zeApp*>* keep = new std::vector<zeApp*>;  // objects are never deleted
  zeApp* app = makeApp();
  keep->push_back(app);
  return static_cast<drapeApp*>(app);
}

class ClothSpeedGuard : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    glrec::state().recording = false;
  }
};

std::string hex(uint64_t v) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016" PRIx64, v);
  return text;
}

}  // namespace

// Fingerprints of the whole state after the given number of frames: in free
// fall, while draping over the terrain, and at rest. A change to the step
// that alters a single bit anywhere shows here. Should the behaviour of the
// cloth be changed on purpose, the failure message gives the new values.
TEST_F(ClothSpeedGuard, StateIsTheSameToTheBitThroughFallDrapeAndRest) {
  struct Mark {
    int frame;
    uint64_t print;
  };
  const Mark marks[] = {
      {0, 0xd715b854286039f5ull},  {1, 0xfda1cddc6db74078ull},   {15, 0x0b780869c04579eaull},
      {16, 0xbaee12599f1cd342ull}, {200, 0x9fead4fea85dc668ull}, {2000, 0x224756e0bda60cd4ull},
  };
  drapeApp* app = newCloth();
  int frame = 0;
  for (const Mark& mark : marks) {
    while (frame < mark.frame) {
      app->draw();
      ++frame;
    }
    EXPECT_EQ(hex(clothprint::fingerprint(*app)), hex(mark.print)) << "after frame " << frame;
  }
}

// The benchmarks time step() alone; it must be exactly the simulation part of
// draw, leaving the same state apart from the frame counter.
TEST_F(ClothSpeedGuard, StepIsTheSimulationPartOfDraw) {
  drapeApp* drawn = newCloth();
  drapeApp* stepped = newCloth();
  for (int frame = 1; frame <= 300; ++frame) {
    drawn->draw();
    stepped->step();
    stepped->j += 1.0f;
    if (frame % 50 == 0) {
      ASSERT_EQ(clothprint::fingerprint(*stepped), clothprint::fingerprint(*drawn))
          << "frame " << frame;
    }
  }
}

namespace {
void* volatile g_sink;
}

// Neither the fall, nor the drape, nor the rest allocates: 1000 frames of the
// step from construction, and then 1000 at rest, make no heap allocation.
TEST_F(ClothSpeedGuard, FramesAllocateNothing) {
  // The counter sees allocations at all, or a zero below would prove nothing.
  const uint64_t probe = alloccount::allocations();
  g_sink = std::malloc(64);
  std::free(g_sink);
  ASSERT_GT(alloccount::allocations(), probe);

  drapeApp* app = newCloth();
  for (int round = 0; round < 2; ++round) {
    const uint64_t before = alloccount::allocations();
    for (int frame = 0; frame < 1000; ++frame) app->step();
    EXPECT_EQ(alloccount::allocations() - before, 0u) << "frames " << round * 1000 + 1 << " on";
  }
  int contact = 0;
  for (const clothknob& knob : app->thread) contact += knob.on_surf;
  EXPECT_EQ(contact, 3600);
}
