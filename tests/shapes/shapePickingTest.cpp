// Picking and region tests on window positions. The window positions are
// set directly, as a draw with picking on would leave them.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeShape.h"

namespace {

struct Pt {
  float x, y, z;
};

// A shape drawn as style whose vertices sit at the given window points.
struct Picked {
  zeShape s;
  Picked(GLenum style, std::initializer_list<Pt> window, std::initializer_list<int> index = {},
         bool indexed = false)
      : s(false, false, indexed) {
    s.drawStyle = style;
    for (const Pt& p : window) {
      const int i = s.addPoint();
      s.screenVertexList[i].set(p.x, p.y, p.z);
    }
    stdoutOf([&] {
      for (int k : index) s.addIndex(k);
    });
  }
};

TEST(PointInTriangle, BothWindingsBordersAndDepth) {
  zeVec3f a(0, 0, 0.5f), b(10, 0, 0.5f), c(0, 10, 0.5f);
  for (bool clockwise : {false, true}) {
    zeVec3f& second = clockwise ? c : b;
    zeVec3f& third = clockwise ? b : c;
    EXPECT_TRUE(pointInTriangle(2, 2, a, second, third));
    EXPECT_TRUE(pointInTriangle(5, 5, a, second, third));  // on the long edge
    EXPECT_TRUE(pointInTriangle(0, 0, a, second, third));  // a corner
    EXPECT_TRUE(pointInTriangle(4, 0, a, second, third));  // an edge
    EXPECT_FALSE(pointInTriangle(6, 6, a, second, third));
    EXPECT_FALSE(pointInTriangle(-0.01f, 2, a, second, third));
    EXPECT_FALSE(pointInTriangle(2, -0.01f, a, second, third));
  }
  zeVec3f behind(0, 10, -0.1f);
  EXPECT_FALSE(pointInTriangle(2, 2, a, b, behind));
  zeVec3f atNear(0, 10, 0.0f);
  EXPECT_TRUE(pointInTriangle(2, 2, a, b, atNear));
}

TEST(PointInTriangle, TrianglesWithoutAreaAreNeverHit) {
  zeVec3f a(0, 0, 0.5f), b(10, 0, 0.5f), c(20, 0, 0.5f);
  EXPECT_FALSE(pointInTriangle(5, 0, a, b, c));  // on the line itself
  EXPECT_FALSE(pointInTriangle(5, 3, a, b, c));
  EXPECT_FALSE(pointInTriangle(-500, 900, a, b, c));
  zeVec3f p(3, 3, 0.5f), q(3, 3, 0.5f), r(3, 3, 0.5f);
  EXPECT_FALSE(pointInTriangle(3, 3, p, q, r));
  EXPECT_FALSE(pointInTriangle(100, -100, p, q, r));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  zeVec3f lost(nan, nan, 0.5f);
  EXPECT_FALSE(pointInTriangle(1, 1, a, b, lost));
  // A point on the one edge that is a number passes that edge's test.
  EXPECT_FALSE(pointInTriangle(5, 0, a, b, lost));
  // Infinite corners whose area is inf - inf.
  const float inf = std::numeric_limits<float>::infinity();
  zeVec3f far(inf, inf, 0.5f), top(0, 10, 0.5f);
  EXPECT_FALSE(pointInTriangle(0, 5, a, far, top));
}

TEST(PointInside, PickingOffAndEmptyShapes) {
  Picked p(GL_POINTS, {{100, 100, 0.5f}});
  EXPECT_TRUE(p.s.pointInside(100, 100));
  p.s.enablePicking = false;
  EXPECT_FALSE(p.s.pointInside(100, 100));

  for (GLenum style : {GL_POINTS, GL_LINES, GL_LINE_LOOP, GL_LINE_STRIP, GL_TRIANGLES,
                       GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_POLYGON}) {
    Picked e(style, {});
    EXPECT_FALSE(e.s.pointInside(0, 0));
    Picked one(style, {{0, 0, 0.5f}});
    EXPECT_EQ(one.s.pointInside(0, 0), style == GL_POINTS);
  }
}

TEST(PointInside, PointsUseAStrictTolerance) {
  Picked p(GL_POINTS, {{100, 100, 0.5f}});
  EXPECT_TRUE(p.s.pointInside(104, 100));
  EXPECT_FALSE(p.s.pointInside(105, 100));
  EXPECT_TRUE(p.s.pointInside(103, 103));
  EXPECT_FALSE(p.s.pointInside(104, 104));
}

TEST(PointInside, LineSegmentsHaveNoEndCaps) {
  Picked p(GL_LINE_STRIP, {{0, 0, 0.5f}, {100, 0, 0.5f}});
  EXPECT_TRUE(p.s.pointInside(50, 4.9f));
  EXPECT_FALSE(p.s.pointInside(50, 5));
  EXPECT_TRUE(p.s.pointInside(50, -4.9f));
  EXPECT_TRUE(p.s.pointInside(100, 3));
  EXPECT_TRUE(p.s.pointInside(0, 3));  // exactly level with either end still hits
  EXPECT_FALSE(p.s.pointInside(103, 0));
  EXPECT_FALSE(p.s.pointInside(-0.5f, 0));
}

TEST(PointInside, LinesRealignAfterABreak) {
  // Vertex 1 to 2 would be a vertical segment at x = 10 if the break joined them.
  Picked p(GL_LINES, {{0, 0, 0.5f}, {10, 0, 0.5f}, {10, 50, 0.5f}, {0, 50, 0.5f}}, {0, 1, -1, 2, 3},
           true);
  EXPECT_TRUE(p.s.pointInside(5, 1));
  EXPECT_TRUE(p.s.pointInside(5, 49));
  EXPECT_FALSE(p.s.pointInside(10, 25));

  // Unindexed lines pair entries 0-1 and 2-3 only.
  Picked q(GL_LINES, {{0, 0, 0.5f}, {10, 0, 0.5f}, {10, 50, 0.5f}, {0, 50, 0.5f}});
  EXPECT_TRUE(q.s.pointInside(5, 49));
  EXPECT_FALSE(q.s.pointInside(10, 25));
}

TEST(PointInside, LineLoopsAreClosed) {
  Picked loop(GL_LINE_LOOP, {{0, 0, 0.5f}, {100, 0, 0.5f}, {0, 100, 0.5f}});
  Picked strip(GL_LINE_STRIP, {{0, 0, 0.5f}, {100, 0, 0.5f}, {0, 100, 0.5f}});
  EXPECT_TRUE(loop.s.pointInside(2, 50));  // on the closing edge
  EXPECT_FALSE(strip.s.pointInside(2, 50));
  EXPECT_TRUE(loop.s.pointInside(50, 50));
  EXPECT_TRUE(strip.s.pointInside(50, 50));

  // Each loop of an indexed shape closes on its own first entry.
  Picked two(GL_LINE_LOOP,
             {{0, 0, 0.5f},
              {100, 0, 0.5f},
              {0, 100, 0.5f},
              {200, 0, 0.5f},
              {300, 0, 0.5f},
              {200, 100, 0.5f}},
             {0, 1, 2, -1, 3, 4, 5}, true);
  EXPECT_TRUE(two.s.pointInside(2, 50));
  EXPECT_TRUE(two.s.pointInside(202, 50));
  EXPECT_FALSE(two.s.pointInside(100, 50));  // nothing joins the loops
  EXPECT_FALSE(two.s.pointInside(150, 2));
}

TEST(PointInside, SegmentsWithCoincidentEndsArePoints) {
  Picked p(GL_LINE_STRIP, {{50, 50, 0.5f}, {50, 50, 0.9f}});
  EXPECT_TRUE(p.s.pointInside(53, 50));
  EXPECT_TRUE(p.s.pointInside(50, 50));
  EXPECT_FALSE(p.s.pointInside(55, 50));
  EXPECT_FALSE(p.s.pointInside(500, 500));
  EXPECT_FALSE(p.s.pointInside(50, -3000));
}

TEST(PointInside, TrianglesAndDepth) {
  Picked ccw(GL_TRIANGLES, {{0, 0, 0.5f}, {10, 0, 0.5f}, {0, 10, 0.5f}});
  Picked cw(GL_TRIANGLES, {{0, 0, 0.5f}, {0, 10, 0.5f}, {10, 0, 0.5f}});
  for (Picked* p : {&ccw, &cw}) {
    EXPECT_TRUE(p->s.pointInside(2, 2));
    EXPECT_TRUE(p->s.pointInside(5, 5));
    EXPECT_FALSE(p->s.pointInside(6, 6));
  }
  Picked behind(GL_TRIANGLES, {{0, 0, 0.5f}, {10, 0, -0.1f}, {0, 10, 0.5f}});
  EXPECT_FALSE(behind.s.pointInside(2, 2));
  EXPECT_FALSE(behind.s.pointInside(0, 0));

  Picked flat(GL_TRIANGLES, {{0, 0, 0.5f}, {10, 0, 0.5f}, {20, 0, 0.5f}});
  EXPECT_FALSE(flat.s.pointInside(5, 0));
  EXPECT_FALSE(flat.s.pointInside(300, 300));
}

TEST(PointInside, TriangleListsAndStripsWalkTheirWindows) {
  // Unindexed triangles take entries 0-2 and 3-5, never 1-3.
  Picked tris(GL_TRIANGLES, {{0, 0, 0.5f},
                             {10, 0, 0.5f},
                             {0, 10, 0.5f},
                             {100, 0, 0.5f},
                             {110, 0, 0.5f},
                             {100, 10, 0.5f}});
  EXPECT_TRUE(tris.s.pointInside(101, 1));
  EXPECT_FALSE(tris.s.pointInside(50, 2));

  // After a break the next triangle starts on the entry after it.
  Picked broken(GL_TRIANGLES,
                {{0, 0, 0.5f}, {10, 0, 0.5f}, {100, 0, 0.5f}, {110, 0, 0.5f}, {100, 10, 0.5f}},
                {0, -1, 2, 3, 4}, true);
  EXPECT_TRUE(broken.s.pointInside(101, 1));

  // A strip of two triangles covers the square; the second triangle counts.
  Picked strip(GL_TRIANGLE_STRIP, {{0, 0, 0.5f}, {0, 10, 0.5f}, {10, 0, 0.5f}, {10, 10, 0.5f}});
  EXPECT_TRUE(strip.s.pointInside(8, 8));
  EXPECT_TRUE(strip.s.pointInside(2, 2));
  EXPECT_FALSE(strip.s.pointInside(11, 5));
}

TEST(PointInside, PolygonsAndFansAreFansAroundTheirFirstEntry) {
  Picked square(GL_POLYGON, {{0, 0, 0.5f}, {10, 0, 0.5f}, {10, 10, 0.5f}, {0, 10, 0.5f}});
  for (float x = 0; x <= 10; x += 0.5f)
    for (float y = 0; y <= 10; y += 0.5f) EXPECT_TRUE(square.s.pointInside(x, y)) << x << "," << y;
  EXPECT_FALSE(square.s.pointInside(10.5f, 5));
  EXPECT_FALSE(square.s.pointInside(5, -0.5f));

  // After a break a new fan starts around the entry after it.
  Picked fans(
      GL_TRIANGLE_FAN,
      {{0, 0, 0.5f}, {10, 0, 0.5f}, {0, 10, 0.5f}, {100, 0, 0.5f}, {110, 0, 0.5f}, {100, 10, 0.5f}},
      {0, 1, 2, -1, 3, 4, 5}, true);
  EXPECT_TRUE(fans.s.pointInside(2, 2));
  EXPECT_TRUE(fans.s.pointInside(102, 2));
  EXPECT_FALSE(fans.s.pointInside(50, 2));
}

TEST(PointInside, QuadsAndUnknownStylesAreNeverHit) {
  for (unsigned style : {7u, 8u, 10u, 0xFFFFFFFFu}) {
    Picked q(style, {{0, 0, 0.5f}, {10, 0, 0.5f}, {10, 10, 0.5f}, {0, 10, 0.5f}});
    EXPECT_FALSE(q.s.pointInside(5, 5));
    EXPECT_FALSE(q.s.pointInside(0, 0));
  }
}

TEST(PointInside, IndicesNamingNoVertexAreBreaks) {
  Picked pts(GL_POINTS, {{0, 0, 0.5f}, {50, 50, 0.5f}}, {2, -3, 1 << 30, 1}, true);
  EXPECT_TRUE(pts.s.pointInside(50, 50));
  EXPECT_FALSE(pts.s.pointInside(0, 0));

  Picked lines(GL_LINE_STRIP, {{0, 0, 0.5f}, {100, 0, 0.5f}, {100, 100, 0.5f}}, {0, 1, 5, 2, 1},
               true);
  EXPECT_TRUE(lines.s.pointInside(50, 0));
  EXPECT_TRUE(lines.s.pointInside(100, 50));  // 2-1, after the bad entry
  EXPECT_FALSE(lines.s.pointInside(50, 50));

  Picked loop(GL_LINE_LOOP, {{0, 0, 0.5f}, {100, 0, 0.5f}, {0, 100, 0.5f}}, {0, 1, 2, 9}, true);
  EXPECT_TRUE(loop.s.pointInside(2, 50));  // the bad entry ends the loop like a break
  EXPECT_TRUE(loop.s.pointInside(50, 0));
  Picked cut(GL_LINE_LOOP, {{0, 0, 0.5f}, {100, 0, 0.5f}, {0, 100, 0.5f}}, {0, 1, 9, 2}, true);
  EXPECT_FALSE(cut.s.pointInside(2, 50));  // no loop of three entries to close
  EXPECT_FALSE(cut.s.pointInside(50, 50));

  Picked tris(GL_TRIANGLE_STRIP, {{0, 0, 0.5f}, {10, 0, 0.5f}, {0, 10, 0.5f}}, {0, 1, 3, 2}, true);
  EXPECT_FALSE(tris.s.pointInside(2, 2));

  Picked fan(GL_TRIANGLE_FAN, {{0, 0, 0.5f}, {10, 0, 0.5f}, {0, 10, 0.5f}}, {-9, 1, 2}, true);
  EXPECT_FALSE(fan.s.pointInside(2, 2));
}

TEST(RegionTests, RectangleBordersAndModes) {
  Picked p(GL_POINTS, {{10, 10, 0.5f}, {20, 20, 0.5f}});
  EXPECT_TRUE(p.s.shapeInRect(10, 10, 20, 20, false));  // border counts as inside
  EXPECT_FALSE(p.s.shapeInRect(10, 10, 20, 20, true));  // strictly inside for partial
  EXPECT_TRUE(p.s.shapeInRect(9, 9, 21, 21, true));
  EXPECT_TRUE(p.s.shapeInRect(15, 15, 25, 25, true));
  EXPECT_FALSE(p.s.shapeInRect(15, 15, 25, 25, false));
  EXPECT_FALSE(p.s.shapeInRect(21, 21, 9, 9, false));  // swapped corners hold nothing
  EXPECT_FALSE(p.s.shapeInRect(21, 21, 9, 9, true));
  // Region tests ignore picking and the drawing style, and z.
  p.s.enablePicking = false;
  p.s.drawStyle = GL_QUADS;
  p.s.screenVertexList[0].z = -5;
  EXPECT_TRUE(p.s.shapeInRect(9, 9, 21, 21, false));
}

TEST(RegionTests, CircleBordersAndModes) {
  Picked p(GL_LINE_STRIP, {{3, 4, 0.5f}, {0, 0, 0.5f}});
  EXPECT_TRUE(p.s.shapeInCircle(0, 0, 5, false));  // (3, 4) is exactly on the border
  EXPECT_TRUE(p.s.shapeInCircle(0, 0, 5, true));   // (0, 0) is inside
  Picked edge(GL_POINTS, {{3, 4, 0.5f}});
  EXPECT_TRUE(edge.s.shapeInCircle(0, 0, 5, false));
  EXPECT_FALSE(edge.s.shapeInCircle(0, 0, 5, true));
  EXPECT_FALSE(edge.s.shapeInCircle(0, 0, 4.99f, false));
}

TEST(RegionTests, EmptyShapesAndIndexedShapes) {
  Picked e(GL_POINTS, {});
  EXPECT_TRUE(e.s.shapeInRect(0, 0, 1, 1, false));
  EXPECT_FALSE(e.s.shapeInRect(0, 0, 1, 1, true));
  EXPECT_TRUE(e.s.shapeInCircle(0, 0, 1, false));
  EXPECT_FALSE(e.s.shapeInCircle(0, 0, 1, true));

  // Only the vertices the index list names count; breaks and bad entries
  // name none.
  Picked idx(GL_POINTS, {{5, 5, 0.5f}, {500, 500, 0.5f}}, {0, -1, 0, 77, -4}, true);
  EXPECT_TRUE(idx.s.shapeInRect(0, 0, 10, 10, false));
  EXPECT_TRUE(idx.s.shapeInCircle(5, 5, 1, false));
  EXPECT_FALSE(idx.s.shapeInRect(400, 400, 600, 600, true));
}

}  // namespace
