// Many frames of the real step: the cloth must settle on the terrain without
// blowing up or wandering off.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "tests/app/clothFixture.h"

using clothtest::ClothTest;
using clothtest::newCloth;

#ifndef CLOTH_LONG_RUN_FRAMES
#define CLOTH_LONG_RUN_FRAMES 20000
#endif

TEST_F(ClothTest, LongRunStaysFiniteAndInPlace) {
  drapeApp* app = newCloth();
  glrec::state().recording = false;
  const auto start = std::chrono::steady_clock::now();
  for (int frame = 0; frame < CLOTH_LONG_RUN_FRAMES; ++frame) app->draw();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  double maxDrift = 0.0;
  int contact = 0;
  for (int n = 0; n < 3600; ++n) {
    const clothknob& knob = app->thread[n];
    ASSERT_TRUE(std::isfinite(knob.pos.x) && std::isfinite(knob.pos.y) && std::isfinite(knob.pos.z))
        << n;
    ASSERT_TRUE(std::isfinite(knob.vel.x) && std::isfinite(knob.vel.y) && std::isfinite(knob.vel.z))
        << n;
    const double dx = knob.pos.x - (n % 60 - 29);
    const double dy = knob.pos.y - (n / 60 - 29);
    const double drift = std::sqrt(dx * dx + dy * dy);
    EXPECT_LE(drift, 5.0) << n;
    maxDrift = std::fmax(maxDrift, drift);
    contact += knob.on_surf;
  }
  EXPECT_EQ(app->j, static_cast<float>(CLOTH_LONG_RUN_FRAMES));
  std::printf(
      "%d frames in %.2f s (%.3f ms/frame); max horizontal drift %.4f; %d nodes in contact\n",
      CLOTH_LONG_RUN_FRAMES, seconds, 1000.0 * seconds / CLOTH_LONG_RUN_FRAMES, maxDrift, contact);
}
