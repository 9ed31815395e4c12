// The client-array path against draw: the same rasterised primitives from
// the same vertices for every mode and list combination, the stored normals
// sent as they are, picking data, and the OpenGL state left as found.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "testkit/glRecorder.h"
#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShapeArrays.h"
#include "zeShape/zeTransforms.h"

namespace {

using glrec::Primitive;

class ShapeArrays : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    zeMatrixHeight = 0;
    zeTransformsInit();
    // A perspective camera, so window positions divide by w.
    const float camera[4][4] = {
        {1.2f, 0, 0.1f, 0}, {0, 1.6f, 0, 0.3f}, {0, 0, -1.01f, -0.2f}, {0, 0, -1, 10}};
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) cameraMatrix.m[r][c] = camera[r][c];
    view[0] = view[1] = 0;
    view[2] = 800;
    view[3] = 600;
    zeTranslatef(3, -1, 2);  // the caller's frame on the stack
  }
  static std::vector<Primitive> drawn(zeShape& s, zeShapeArrays* arrays) {
    glrec::state().calls.clear();
    glrec::state().primitives.clear();
    arrays ? arrays->draw(s) : s.draw();
    return glrec::rasterised(glrec::state().primitives);
  }
};

bool sameBits(float a, double b) {
  const float fb = static_cast<float>(b);
  return std::memcmp(&a, &fb, sizeof a) == 0;
}

// draw's rasterised primitives (world positions, identity modelview) equal
// those of the array path (object positions through the recorded matrix):
// the array path's vertex index names the vertex whose world position draw
// sent, to the bit; normals, colours and texture coordinates are the same.
void expectSamePrimitives(const zeShape& s, const std::vector<Primitive>& immediate,
                          const std::vector<Primitive>& arrays, const std::string& what) {
  SCOPED_TRACE(what);
  ASSERT_EQ(immediate.size(), arrays.size());
  for (size_t p = 0; p < arrays.size(); ++p) {
    ASSERT_EQ(immediate[p].mode, arrays[p].mode) << "primitive " << p;
    ASSERT_EQ(immediate[p].vertices.size(), arrays[p].vertices.size());
    for (size_t k = 0; k < arrays[p].vertices.size(); ++k) {
      const glrec::Vertex& d = immediate[p].vertices[k];
      const glrec::Vertex& a = arrays[p].vertices[k];
      ASSERT_TRUE(a.index >= 0 && a.index < s.listLength) << "primitive " << p << " vertex " << k;
      const zeVec3f& world = s.absVertexList[a.index];
      EXPECT_TRUE(sameBits(world.x, d.object[0]) && sameBits(world.y, d.object[1]) &&
                  sameBits(world.z, d.object[2]))
          << "primitive " << p << " vertex " << k << " is not vertex " << a.index;
      for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(a.eye[c], d.eye[c], 2e-6 * (1.0 + std::fabs(d.eye[c])));
        EXPECT_EQ(a.normal[c], d.normal[c]);
      }
      for (int c = 0; c < 4; ++c) EXPECT_EQ(a.color[c], d.color[c]);
      EXPECT_EQ(a.tex[0], d.tex[0]);
      EXPECT_EQ(a.tex[1], d.tex[1]);
    }
  }
}

// A shape of n vertices on a bumpy spiral, with per-vertex data that
// differs from vertex to vertex.
void fill(zeShape& s, int n) {
  for (int i = 0; i < n; ++i) {
    const float t = 0.7f * i;
    s.addPoint(std::cos(t) * (1 + 0.1f * i), std::sin(t) * (1 + 0.1f * i), 0.3f * std::sin(2 * t));
    if (s.enableVertexColors) s.setVertexColor(i, 0.1f * (i % 7), 0.5f, 1.0f - 0.05f * i, 1.0f);
    if (s.enableVertexTextureCoords) s.textureCoordList[i].set(0.25f * i, 1.0f - 0.125f * i, 9.0f);
  }
}

TEST_F(ShapeArrays, EveryModeAndListCombinationSendsWhatDrawSends) {
  struct Case {
    GLenum mode;
    bool colors, normals, texture, indexed;
  };
  const Case cases[] = {
      {GL_POINTS, false, false, false, true},         {GL_LINES, true, false, false, true},
      {GL_LINE_LOOP, false, true, false, true},       {GL_LINE_STRIP, true, true, true, false},
      {GL_TRIANGLES, true, true, false, true},        {GL_TRIANGLE_STRIP, true, true, true, true},
      {GL_TRIANGLE_STRIP, false, false, true, false}, {GL_TRIANGLE_FAN, false, true, true, true},
      {GL_QUADS, true, false, false, true},           {GL_QUAD_STRIP, false, true, false, true},
      {GL_POLYGON, true, true, false, true},          {GL_POLYGON, false, false, false, false},
  };
  // Breaks, runs of every length (incomplete primitives included) and
  // entries naming no vertex, which draw passes over within a primitive.
  const int index[] = {0,  1,  2,  3,  4,  -1, 5,  6,  40, 7,  8,  9,  10, -1, -1, 11,
                       -1, 12, 13, -7, 14, 15, 16, 17, 18, 19, 20, -1, 2,  21, 3};
  for (const Case& c : cases) {
    zeShape s(c.colors, c.normals, c.indexed);
    if (c.texture) s.enablePerVertexTextureCoords();
    s.drawStyle = c.mode;
    s.Translation.set(0.5f, -2, 1);
    s.Rotation.set(30, 1, 2, 3);
    s.Scale.set(2, 0.5f, 3);
    s.transformOrder = ze_R_T_S;
    s.Color.set(0.2f, 0.4f, 0.6f, 0.8f);
    s.Normal.set(0, 1, 0);
    fill(s, 22);
    if (c.indexed)  // the entries naming no vertex are warned about
      stdoutOf([&] {
        for (int k : index) s.addIndex(k);
      });
    const std::vector<Primitive> immediate = drawn(s, nullptr);
    zeShapeArrays arrays;
    const std::string what = "mode " + std::to_string(c.mode) + (c.indexed ? " indexed" : "");
    EXPECT_FALSE(immediate.empty()) << what;
    expectSamePrimitives(s, immediate, drawn(s, &arrays), what);
    EXPECT_EQ(zeMatrixHeight, 0);
    // OpenGL's modelview, the client arrays and GL_NORMALIZE are as they were.
    EXPECT_EQ(glrec::modelviewTop(), glrec::projectionTop());
    EXPECT_EQ(glrec::count("glEnableClientState"), glrec::count("glDisableClientState"));
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE)) << what;
  }
}

TEST_F(ShapeArrays, MeshesOnBothIndexWidthsAndAfterTheShapeChanges) {
  for (int n : {5, 260}) {  // 260 x 260 passes 65,536 vertices: 32-bit indices
    zeMeshShape mesh(n, n);
    for (int v = 0; v < mesh.listLength; ++v)
      mesh.vertexList[v].z = std::sin(0.37f * v) + (v % 3 == 0 ? 0.5f : 0.0f);
    mesh.Rotation.set(-60, 1, 0, 0);
    const std::vector<Primitive> immediate = drawn(mesh, nullptr);
    zeShapeArrays arrays;
    expectSamePrimitives(mesh, immediate, drawn(mesh, &arrays), "mesh " + std::to_string(n));
    EXPECT_EQ(arrays.wideIndices(), n == 260);
    // One call for the whole mesh: its strips become triangles.
    EXPECT_EQ(glrec::count("glDrawElements"), 1u);
    EXPECT_EQ(arrays.indexCount(), size_t(3 * 2 * (n - 1) * (n - 1)));
  }
  // Vertices and indices added after a draw are picked up by the next one.
  zeShape s(true, true, true);
  s.drawStyle = GL_TRIANGLE_FAN;
  fill(s, 6);
  for (int k : {0, 1, 2, 3}) s.addIndex(k);
  zeShapeArrays arrays;
  drawn(s, &arrays);
  fill(s, 4);
  stdoutOf([&] {
    for (int k : {4, 5, 12, -1, 6, 7, 8}) s.addIndex(k);  // 12 names no vertex
  });
  const std::vector<Primitive> immediate = drawn(s, nullptr);
  expectSamePrimitives(s, immediate, drawn(s, &arrays), "grown fan");
}

// A vertex window cuts the calls so that each names a short run of
// vertices from its own first one, with 16-bit indices, and interleaving
// sends whole vertices from one array; what is drawn stays what the plain
// path draws, to the bit.
TEST_F(ShapeArrays, AVertexWindowAndInterleavingDrawTheSamePrimitives) {
  struct Case {
    GLenum mode;
    int mesh;  // n x n mesh, or 0 for the spiral with breaks
    int32_t window;
  };
  const Case cases[] = {{GL_TRIANGLE_STRIP, 260, 8192},
                        {GL_LINES, 0, 5},
                        {GL_POINTS, 0, 3},
                        {GL_TRIANGLE_FAN, 0, 4},
                        {GL_QUADS, 0, 6}};
  for (const Case& c : cases) {
    const std::string what =
        "mode " + std::to_string(c.mode) + " window " + std::to_string(c.window);
    SCOPED_TRACE(what);
    zeMeshShape mesh(c.mesh > 0 ? c.mesh : 2, c.mesh > 0 ? c.mesh : 2);
    zeShape spiral(true, true, true);
    zeShape& s = c.mesh > 0 ? static_cast<zeShape&>(mesh) : spiral;
    if (c.mesh > 0) {
      for (int v = 0; v < mesh.listLength; ++v) mesh.vertexList[v].z = std::sin(0.37f * v);
    } else {
      spiral.drawStyle = c.mode;
      if (c.mode == GL_LINES) spiral.enablePerVertexTextureCoords();
      fill(spiral, 22);
      for (int k : {0, 1, 2, 3, 4, -1, 5, 6, 21, 7, 8, 9, 10, 11, 12, -1, 2, 20, 13, 14, 15, 16})
        spiral.addIndex(k);
    }
    zeShapeArrays plain, windowed;
    windowed.setVertexWindow(c.window);
    windowed.setInterleaved(true);
    const std::vector<Primitive> expected = drawn(s, &plain);
    const std::vector<Primitive> got = drawn(s, &windowed);
    EXPECT_FALSE(windowed.wideIndices());
    EXPECT_GT(glrec::count("glDrawElements"), 1u);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t p = 0; p < got.size(); ++p) {
      ASSERT_EQ(got[p].vertices.size(), expected[p].vertices.size());
      for (size_t k = 0; k < got[p].vertices.size(); ++k) {
        const glrec::Vertex &a = got[p].vertices[k], &b = expected[p].vertices[k];
        EXPECT_EQ(std::memcmp(a.eye, b.eye, sizeof a.eye), 0) << "primitive " << p;
        EXPECT_EQ(std::memcmp(a.normal, b.normal, sizeof a.normal), 0);
        EXPECT_EQ(std::memcmp(a.color, b.color, sizeof a.color), 0);
        EXPECT_LT(a.index, std::max(c.window, 2 * 21));  // a long line may stand alone
      }
    }
  }
}

}  // namespace
