// The strain look's scale and the panel plots' history.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "explorer/figureHistory.h"
#include "explorer/strainLook.h"

namespace {

TEST(StrainLookTest, ScaleRunsFromBlueToRedAndHoldsAtItsEnds) {
  struct Case {
    float strain;
    float rgb[3];
  } cases[] = {
      {0.0f, {0.15f, 0.25f, 0.95f}},      {-0.5f, {0.15f, 0.25f, 0.95f}},
      {0.05f, {0.20f, 0.85f, 0.25f}},     {0.10f, {0.95f, 0.15f, 0.10f}},
      {3.0f, {0.95f, 0.15f, 0.10f}},      {NAN, {0.95f, 0.15f, 0.10f}},
      {0.0125f, {0.15f, 0.525f, 0.925f}},
  };
  for (const Case& c : cases) {
    float rgb[3];
    explorer::strainColour(c.strain, rgb);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(rgb[k], c.rgb[k], 1e-6f) << c.strain << " " << k;
  }
  // Redder and less blue as the strain grows, all the way up the scale.
  float before[3];
  explorer::strainColour(0.0f, before);
  for (int k = 1; k <= 100; ++k) {
    float rgb[3];
    explorer::strainColour(0.001f * k, rgb);
    EXPECT_GE(rgb[0] - rgb[2], before[0] - before[2] - 1e-6f) << k;
    std::copy(rgb, rgb + 3, before);
  }
  std::vector<float> strains{0.0f, 0.1f};
  std::vector<zeVec4f> colours(2);
  explorer::paintStrains(strains.data(), 2, colours.data());
  EXPECT_FLOAT_EQ(colours[0].z, 0.95f);
  EXPECT_FLOAT_EQ(colours[1].x, 0.95f);
  EXPECT_FLOAT_EQ(colours[1].w, 1.0f);
}

TEST(FigureHistoryTest, KeepsTheLastTenSecondsAtSixtyValuesASecond) {
  explorer::FigureHistory h(10.0);
  std::vector<float> out(static_cast<size_t>(h.capacity()));
  EXPECT_EQ(h.recent(out.data()), 0);
  // 200 frames a second for 30 s: only one value per sixtieth is kept (the
  // last of the frames within it), and only the last ten seconds are shown.
  for (int f = 0; f < 6000; ++f) h.add(f / 200.0, static_cast<float>(f));
  const int n = h.recent(out.data());
  EXPECT_GE(n, 590);
  EXPECT_LE(n, 602);
  EXPECT_EQ(out[static_cast<size_t>(n - 1)], 5999.0f);
  for (int k = 1; k < n; ++k)
    EXPECT_LT(out[static_cast<size_t>(k - 1)], out[static_cast<size_t>(k)]);
  EXPECT_GE(out[0], 3999.0f);  // nothing older than ten seconds before the newest
  // Slow frames: every one kept, oldest first.
  h.clear();
  for (int f = 0; f < 5; ++f) h.add(f * 0.5, static_cast<float>(f));
  ASSERT_EQ(h.recent(out.data()), 5);
  for (int f = 0; f < 5; ++f) EXPECT_EQ(out[static_cast<size_t>(f)], static_cast<float>(f));
}

}  // namespace
