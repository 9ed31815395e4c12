// The triangles pointInside and the viewers' picking both walk: lists,
// strips and fans, breaks (-1 and entries naming no vertex) and triangles
// without area, as one table.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeShape.h"
#include "zeShape/zeTriangleWalk.h"

namespace {

using Triangle = std::array<int32_t, 3>;

struct WalkCase {
  const char* what;
  uint32_t style;
  int vertices;
  std::vector<int> index;  // empty: the vertices in order
  std::vector<Triangle> triangles;
};

std::vector<Triangle> walk(const zeShape& s) {
  std::vector<Triangle> seen;
  EXPECT_FALSE(zeWalkTriangles(s, [&seen](int32_t a, int32_t b, int32_t c) {
    seen.push_back({a, b, c});
    return false;
  }));
  return seen;
}

TEST(TriangleWalk, ListsStripsAndFansWithTheirBreaks) {
  const WalkCase cases[] = {
      {"list: threes, the leftover dropped", GL_TRIANGLES, 7, {}, {{0, 1, 2}, {3, 4, 5}}},
      {"list realigns after a break", GL_TRIANGLES, 5, {0, -1, 1, 2, 3, 4}, {{1, 2, 3}}},
      {"list: a vertex that is not there breaks",
       GL_TRIANGLES,
       6,
       {0, 1, 2, 9, 3, 4, 5},
       {{0, 1, 2}, {3, 4, 5}}},
      {"list: a break inside a three", GL_TRIANGLES, 6, {0, 1, 2, 3, -1, 4, 5}, {{0, 1, 2}}},
      {"strip: every three in a run",
       GL_TRIANGLE_STRIP,
       7,
       {0, 1, 2, 3, -1, 4, 5, 6},
       {{0, 1, 2}, {1, 2, 3}, {4, 5, 6}}},
      {"strip: leading, doubled and trailing breaks",
       GL_TRIANGLE_STRIP,
       5,
       {-1, 0, 1, -1, -1, 2, 3, 4, -1},
       {{2, 3, 4}}},
      {"strip: any negative entry breaks", GL_TRIANGLE_STRIP, 5, {0, 1, -5, 2, 3, 4}, {{2, 3, 4}}},
      {"strip: triangles without area are visited",
       GL_TRIANGLE_STRIP,
       3,
       {0, 0, 1, 2},
       {{0, 0, 1}, {0, 1, 2}}},
      {"fan: around the first entry of each run",
       GL_TRIANGLE_FAN,
       7,
       {0, 1, 2, 3, -1, 4, 5, 6},
       {{0, 1, 2}, {0, 2, 3}, {4, 5, 6}}},
      {"fan: no triangle of the centre with itself after a break",
       GL_TRIANGLE_FAN,
       5,
       {0, 1, -1, 2, 3, 4},
       {{2, 3, 4}}},
      {"fan: a leading break", GL_TRIANGLE_FAN, 3, {-1, 0, 1, 2}, {{0, 1, 2}}},
      {"fan: a first entry naming no vertex", GL_TRIANGLE_FAN, 4, {7, 1, 2, 3}, {{1, 2, 3}}},
      {"polygon: a fan", GL_POLYGON, 5, {}, {{0, 1, 2}, {0, 2, 3}, {0, 3, 4}}},
      {"fewer than three entries", GL_TRIANGLES, 2, {}, {}},
      {"an empty index list", GL_TRIANGLE_STRIP, 4, {-1}, {}},
      {"quads have no triangles", GL_QUADS, 4, {}, {}},
      {"lines have no triangles", GL_LINE_STRIP, 4, {}, {}},
      {"points have no triangles", GL_POINTS, 4, {}, {}},
  };
  for (const WalkCase& c : cases) {
    SCOPED_TRACE(c.what);
    zeShape s(false, false, !c.index.empty());
    s.drawStyle = c.style;
    for (int v = 0; v < c.vertices; ++v) s.addPoint(float(v), 0.0f, 0.0f);
    stdoutOf([&] {
      for (int k : c.index) s.addIndex(k);
    });
    EXPECT_EQ(walk(s), c.triangles);
    EXPECT_EQ(zeDrawsTriangles(c.style), c.style == GL_TRIANGLES || c.style == GL_TRIANGLE_STRIP ||
                                             c.style == GL_TRIANGLE_FAN || c.style == GL_POLYGON);
  }
}

TEST(TriangleWalk, StopsAtTheFirstVisitThatSaysSoAndIgnoresAnIndexListThatIsOff) {
  zeShape s(false, false, true);
  s.drawStyle = GL_TRIANGLE_STRIP;
  for (int v = 0; v < 6; ++v) s.addPoint(float(v), 0.0f, 0.0f);
  for (int k : {5, 4, 3}) s.addIndex(k);
  int visits = 0;
  EXPECT_TRUE(zeWalkTriangles(s, [&visits](int32_t, int32_t, int32_t) { return ++visits == 1; }));
  EXPECT_EQ(visits, 1);
  s.enableIndex = false;
  EXPECT_EQ(walk(s), (std::vector<Triangle>{{0, 1, 2}, {1, 2, 3}, {2, 3, 4}, {3, 4, 5}}));
}

}  // namespace
