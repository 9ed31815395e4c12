// The independent count of a sheet's self-crossings that the quality figures use.
#include <gtest/gtest.h>

#include <vector>

#include "bench/triangleCrossings.h"

namespace {

TEST(CrossingsTest, TrianglePairs) {
  const zeVec3f a(0, 0, 0), b(4, 0, 0), c(0, 4, 0);
  struct Case {
    const char* what;
    zeVec3f d, e, f;
    bool cross;
  } cases[] = {
      {"a spike through the middle", zeVec3f(1, 1, -1), zeVec3f(1, 1, 1), zeVec3f(1.2f, 3, 1),
       true},
      {"an edge through a corner's side", zeVec3f(3.5f, 0.2f, -1), zeVec3f(3.5f, 0.2f, 1),
       zeVec3f(9, 9, 0.5f), true},
      {"above, parallel", zeVec3f(0, 0, 1), zeVec3f(4, 0, 1), zeVec3f(0, 4, 1), false},
      {"beside, through the plane", zeVec3f(3, 3, -1), zeVec3f(3, 3, 1), zeVec3f(5, 5, 0), false},
      {"in the same plane", zeVec3f(1, 1, 0), zeVec3f(2, 1, 0), zeVec3f(1, 2, 0), false},
  };
  for (const Case& k : cases) {
    EXPECT_EQ(quality::trianglesCross(a, b, c, k.d, k.e, k.f), k.cross) << k.what;
    EXPECT_EQ(quality::trianglesCross(k.d, k.e, k.f, a, b, c), k.cross) << k.what << " (swapped)";
  }
}

TEST(CrossingsTest, ASheetFoldedThroughItself) {
  const int n = 10;
  const auto triangles = quality::sheetTriangles(n);
  EXPECT_EQ(triangles.size(), 2u * 9 * 9);
  std::vector<zeVec3f> flat(n * n), folded(n * n), lapped(n * n);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      flat[r * n + c] = zeVec3f(float(c), float(r), 0.0f);
      // Columns past 4 folded back over the sheet, 0.5 above it: no crossing.
      lapped[r * n + c] = c <= 4 ? flat[r * n + c] : zeVec3f(float(8 - c), float(r), 0.5f);
      // The same fold pushed down through the sheet: its last columns pass
      // below, crossing the sheet's triangles.
      folded[r * n + c] =
          c <= 4 ? flat[r * n + c] : zeVec3f(float(8 - c) + 0.25f, float(r), 1.0f - 0.4f * (c - 4));
    }
  EXPECT_EQ(quality::countCrossings(flat.data(), triangles), 0);
  EXPECT_EQ(quality::countCrossings(lapped.data(), triangles), 0);
  EXPECT_GT(quality::countCrossings(folded.data(), triangles), 0);
}

}  // namespace
