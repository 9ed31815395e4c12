// Per-vertex normal generation for each primitive kind.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeShape.h"

namespace {

// A shape with normals whose world positions (what normals are computed
// from) are the given points; the own positions are left at the origin.
struct Fixture {
  zeShape s;
  Fixture(GLenum style, std::initializer_list<zeVec3f> world, std::initializer_list<int> index = {},
          bool indexed = false)
      : s(false, true, indexed) {
    s.drawStyle = style;
    for (const zeVec3f& p : world) {
      const int i = s.addPoint();
      s.absVertexList[i] = p;
    }
    for (int k : index) s.addIndex(k);
  }
  std::vector<int> counts() const {
    return std::vector<int>(s.normalCountList, s.normalCountList + s.listLength);
  }
};

const zeVec3f kO(0, 0, 0), kX(1, 0, 0), kY(0, 1, 0), kXY(1, 1, 0);

TEST(CalculateNormals, SeparateTriangles) {
  Fixture f(GL_TRIANGLES, {kO, kX, kY});
  f.s.calculateNormals();
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(f.s.normalList[i], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(f.counts(), (std::vector<int>{1, 1, 1}));

  // Windows that contain the break form no face; the face after it starts
  // on the first entry after the break. Vertex 3 is used by no face.
  Fixture b(GL_TRIANGLES, {kO, kX, kY, zeVec3f(5, 5, 5)}, {0, 1, -1, 0, 2, 1}, true);
  b.s.calculateNormals();
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(b.s.normalList[i], 0.0f, 0.0f, -1.0f);
  EXPECT_VEC3_EXACT(b.s.normalList[3], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(b.counts(), (std::vector<int>{1, 1, 1, 0}));
}

TEST(CalculateNormals, StripParityAndItsRestartAfterBreaks) {
  Fixture f(GL_TRIANGLE_STRIP, {kO, kY, kX, kXY});
  f.s.calculateNormals();
  for (int i = 0; i < 4; ++i) EXPECT_VEC3_EXACT(f.s.normalList[i], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(f.counts(), (std::vector<int>{1, 2, 2, 1}));

  Fixture b(GL_TRIANGLE_STRIP, {kO, kY, kX, kXY}, {0, 1, 2, 3, -1, 0, 1, 2, 3}, true);
  b.s.calculateNormals();
  for (int i = 0; i < 4; ++i) EXPECT_VEC3_EXACT(b.s.normalList[i], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(b.counts(), (std::vector<int>{2, 4, 4, 2}));

  // After a strip of one (odd) triangle the next strip starts even again.
  Fixture odd(GL_TRIANGLE_STRIP, {kO, kY, kX, kO, kY, kX}, {0, 1, 2, -1, 3, 4, 5}, true);
  odd.s.calculateNormals();
  for (int i = 0; i < 6; ++i) EXPECT_VEC3_EXACT(odd.s.normalList[i], 0.0f, 0.0f, 1.0f);
}

TEST(CalculateNormals, FansRestartAroundTheEntryAfterABreak) {
  // First fan in the z = 0 plane, second in the x = 0 plane.
  Fixture f(GL_TRIANGLE_FAN, {kO, kX, kY, zeVec3f(0, 0, 0), zeVec3f(0, 1, 0), zeVec3f(0, 0, 1)},
            {0, 1, 2, -1, 3, 4, 5}, true);
  f.s.calculateNormals();
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(f.s.normalList[i], 0.0f, 0.0f, 1.0f);
  for (int i = 3; i < 6; ++i) EXPECT_VEC3_EXACT(f.s.normalList[i], 1.0f, 0.0f, 0.0f);
}

TEST(CalculateNormals, PolygonTakesTheNormalOfItsFirstThreeEntries) {
  Fixture f(GL_POLYGON, {kO, kX, kXY, kY, zeVec3f(0.5f, 0.5f, 9.0f)});
  f.s.calculateNormals();
  for (int i = 0; i < 5; ++i) EXPECT_VEC3_EXACT(f.s.normalList[i], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(f.counts(), (std::vector<int>{1, 1, 1, 1, 1}));

  // A break among the first three entries leaves the polygon without a face.
  Fixture b(GL_POLYGON, {kO, kX, kY}, {0, -1, 1, 2}, true);
  b.s.calculateNormals();
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(b.s.normalList[i], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(b.counts(), (std::vector<int>{0, 0, 0}));
}

TEST(CalculateNormals, PrimitivesWithoutFacesGetTheDefault) {
  for (GLenum style : {GL_POINTS, GL_LINES, GL_LINE_LOOP, GL_LINE_STRIP, GL_QUADS, GL_QUAD_STRIP}) {
    Fixture f(style, {kO, kX, kY, kXY});
    f.s.normalList[2].set(5, 5, 5);
    f.s.calculateNormals();
    for (int i = 0; i < 4; ++i) EXPECT_VEC3_EXACT(f.s.normalList[i], 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(f.counts(), (std::vector<int>{0, 0, 0, 0}));
  }
}

TEST(CalculateNormals, TooFewEntriesAndDegenerateFacesLeaveZeroNormals) {
  for (GLenum style : {GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_POLYGON}) {
    Fixture f(style, {kO, kX});
    f.s.calculateNormals();
    EXPECT_VEC3_EXACT(f.s.normalList[0], 0.0f, 0.0f, 0.0f);
    EXPECT_VEC3_EXACT(f.s.normalList[1], 0.0f, 0.0f, 0.0f);
  }
  Fixture line(GL_TRIANGLES, {kO, kX, zeVec3f(2, 0, 0)});
  line.s.calculateNormals();
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(line.s.normalList[i], 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(line.counts(), (std::vector<int>{1, 1, 1}));
}

TEST(CalculateNormals, UsesWorldPositionsAndAveragesNeighbouringFaces) {
  // Two triangles sharing the edge 1-2, one in z = 0 and one in x = 1.
  Fixture f(GL_TRIANGLES, {kO, kX, zeVec3f(1, 1, 0), kX, zeVec3f(1, 0, 1), zeVec3f(1, 1, 0)},
            {0, 1, 2, 1, 4, 2}, true);
  f.s.vertexList[4].set(100, 100, 100);  // own positions do not count
  f.s.calculateNormals();
  const float h = 0.70710677f;
  EXPECT_VEC3(f.s.normalList[1], -h, 0.0f, h);
  EXPECT_VEC3(f.s.normalList[2], -h, 0.0f, h);
  EXPECT_VEC3_EXACT(f.s.normalList[0], 0.0f, 0.0f, 1.0f);
  EXPECT_VEC3_EXACT(f.s.normalList[4], -1.0f, 0.0f, 0.0f);
  EXPECT_EQ(f.counts(), (std::vector<int>{1, 2, 2, 0, 1, 0}));
}

TEST(CalculateNormals, DisabledNormalsPrintAndChangeNothing) {
  zeShape s(false, true, false);
  s.addPoint();
  s.normalList[0].set(3, 4, 5);
  s.enableVertexNormals = false;
  EXPECT_EQ(stdoutOf([&] { s.calculateNormals(); }),
            "calculateNormals: vertex normals are not enabled\n");
  EXPECT_VEC3_EXACT(s.normalList[0], 3.0f, 4.0f, 5.0f);
}

TEST(CalculateNormals, IndicesNamingNoVertexActAsBreaks) {
  std::string out;
  // Triangles: the window with 7 forms no face; the next one starts after it.
  Fixture t(GL_TRIANGLES, {kO, kX, kY}, {}, true);
  out = stdoutOf([&] {
    for (int k : {0, 1, 7, 0, 2, 1}) t.s.addIndex(k);
  });
  t.s.calculateNormals();
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(t.s.normalList[i], 0.0f, 0.0f, -1.0f);
  EXPECT_EQ(t.counts(), (std::vector<int>{1, 1, 1}));

  // Strips restart their parity at such an index, as at a break.
  Fixture st(GL_TRIANGLE_STRIP, {kO, kY, kX, kXY}, {}, true);
  out = stdoutOf([&] {
    for (int k : {0, 1, 2, 3, -5, 0, 1, 2, 3}) st.s.addIndex(k);
  });
  st.s.calculateNormals();
  for (int i = 0; i < 4; ++i) EXPECT_VEC3_EXACT(st.s.normalList[i], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(st.counts(), (std::vector<int>{2, 4, 4, 2}));

  // Fans: a bad centre forms nothing until a break; a bad entry starts a new fan.
  Fixture fan(GL_TRIANGLE_FAN, {kO, kX, kY}, {}, true);
  out = stdoutOf([&] {
    for (int k : {9, 1, 2, 100, 0, 1, 2}) fan.s.addIndex(k);
  });
  fan.s.calculateNormals();
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(fan.s.normalList[i], 0.0f, 0.0f, 1.0f);
  EXPECT_EQ(fan.counts()[2], 1);

  // Polygons need three vertices among their first three entries.
  Fixture poly(GL_POLYGON, {kO, kX, kY}, {}, true);
  out = stdoutOf([&] {
    for (int k : {0, 3, 2, 1}) poly.s.addIndex(k);
  });
  poly.s.calculateNormals();
  EXPECT_EQ(poly.counts(), (std::vector<int>{0, 0, 0}));
  for (int i = 0; i < 3; ++i) EXPECT_VEC3_EXACT(poly.s.normalList[i], 0.0f, 0.0f, 1.0f);
}

}  // namespace
