// Drawing a shape: placement on the transform stack, world and window
// positions, and the exact OpenGL calls for each combination of lists.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/glRecorder.h"
#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeShape.h"
#include "zeShape/zeTransforms.h"

namespace {

using Log = std::vector<std::string>;
const std::vector<std::string> kDrawCalls = {"glBegin",    "glEnd",     "glVertex3f",
                                             "glNormal3f", "glColor4f", "glTexCoord2f"};

class ShapeDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    zeMatrixHeight = 0;
    zeTransformsInit();
    // Camera: identity projection on an 800 x 600 viewport, so the world
    // point (x, y, z) lands at ((x + 1) * 400, (y + 1) * 300, (1 + z) / 2).
    cameraMatrix.setIdentity();
    view[0] = 0;
    view[1] = 0;
    view[2] = 800;
    view[3] = 600;
  }
  Log drawLog(zeShape& s) {
    glrec::state().calls.clear();
    s.draw();
    return glrec::log(kDrawCalls);
  }
};

TEST_F(ShapeDraw, DefaultShapeIsOneLineStrip) {
  zeShape s(false, false, false);
  s.addPoint(1, 2, 3);
  s.addPoint(4, 5, 6);
  s.addPoint(7, 8, 9);
  EXPECT_EQ(drawLog(s),
            (Log{"glBegin(3)", "glColor4f(1, 1, 1, 1)", "glNormal3f(0, 0, 1)",
                 "glVertex3f(1, 2, 3)", "glVertex3f(4, 5, 6)", "glVertex3f(7, 8, 9)", "glEnd()"}));
  EXPECT_EQ(zeMatrixHeight, 0);
  // draw leaves OpenGL's own matrices alone.
  EXPECT_EQ(glrec::count("glPushMatrix") + glrec::count("glTranslatef") +
                glrec::count("glRotatef") + glrec::count("glMatrixMode"),
            0u);
}

TEST_F(ShapeDraw, TranslationMovesTheWorldPositionsSent) {
  zeShape s(false, false, false);
  s.addPoint(0, 0, 0);
  s.addPoint(1, 1, 1);
  s.Translation.set(1, 2, 3);
  zeTranslatef(10, 0, 0);  // the caller's frame on the stack
  EXPECT_EQ(drawLog(s), (Log{"glBegin(3)", "glColor4f(1, 1, 1, 1)", "glNormal3f(0, 0, 1)",
                             "glVertex3f(11, 2, 3)", "glVertex3f(12, 3, 4)", "glEnd()"}));
  EXPECT_VEC3_EXACT(s.absVertexList[1], 12.0f, 3.0f, 4.0f);
  EXPECT_VEC3_EXACT(s.vertexList[1], 1.0f, 1.0f, 1.0f);
  EXPECT_EQ(s.space.m[0][3], 11.0f);
  EXPECT_EQ(s.space.m[1][3], 2.0f);
  EXPECT_EQ(s.space.m[2][3], 3.0f);
  // The caller's matrix is restored.
  EXPECT_EQ(getCurrentMatrix()->m[0][3], 10.0f);
  EXPECT_EQ(getCurrentMatrix()->m[1][3], 0.0f);
}

TEST_F(ShapeDraw, EachTransformOrderAppliesItsCallsInTurn) {
  struct Case {
    int order;
    float x, y;
  };
  // Vertex (1, 0, 0), translation (1, 0, 0), scale (2, 3, 1), a quarter
  // turn about z: every order gives a different point.
  const Case cases[] = {{ze_T_S_R, 1, 3}, {ze_T_R_S, 1, 2}, {ze_R_S_T, 0, 4},
                        {ze_R_T_S, 0, 3}, {ze_S_R_T, 0, 6}, {ze_S_T_R, 2, 3},
                        {6, 1, 0},        {-1, 1, 0},       {255, 1, 0}};
  for (const Case& c : cases) {
    zeShape s(false, false, false);
    s.addPoint(1, 0, 0);
    s.Translation.set(1, 0, 0);
    s.Scale.set(2, 3, 1);
    s.Rotation.set(90, 0, 0, 1);
    s.transformOrder = static_cast<xformOrder>(c.order);
    s.draw();
    EXPECT_NEAR(s.absVertexList[0].x, c.x, 1e-5f) << "order " << c.order;
    EXPECT_NEAR(s.absVertexList[0].y, c.y, 1e-5f) << "order " << c.order;
    EXPECT_NEAR(s.absVertexList[0].z, 0.0f, 1e-5f) << "order " << c.order;
  }
  EXPECT_EQ(zeMatrixHeight, 0);
}

TEST_F(ShapeDraw, PickingMapsEveryVertexToTheWindow) {
  zeShape s(false, false, true);
  s.addPoint(0, 0, 0);
  s.addPoint(1, 1, 0);
  s.addPoint(-1, -0.5f, 0.5f);  // mapped although no index names it
  s.addIndex(0);
  s.addIndex(1);
  s.draw();
  EXPECT_VEC3_EXACT(s.screenVertexList[0], 400.0f, 300.0f, 0.5f);
  EXPECT_VEC3_EXACT(s.screenVertexList[1], 800.0f, 600.0f, 0.5f);
  EXPECT_VEC3_EXACT(s.screenVertexList[2], 0.0f, 150.0f, 0.75f);

  // With picking off the window positions of the last picking draw stay.
  s.enablePicking = false;
  s.Translation.set(0.5f, 0, 0);
  s.draw();
  EXPECT_VEC3_EXACT(s.absVertexList[0], 0.5f, 0.0f, 0.0f);
  EXPECT_VEC3_EXACT(s.screenVertexList[0], 400.0f, 300.0f, 0.5f);
  EXPECT_VEC3_EXACT(s.screenVertexList[2], 0.0f, 150.0f, 0.75f);
}

TEST_F(ShapeDraw, CallsForEachCombinationOfLists) {
  struct Case {
    bool tex, col, nrm;
    std::vector<std::string> perVertex;
  };
  const Case cases[] = {
      {true, true, true, {"glTexCoord2f", "glNormal3f", "glColor4f", "glVertex3f"}},
      {true, false, true, {"glTexCoord2f", "glNormal3f", "glVertex3f"}},
      {false, true, true, {"glNormal3f", "glColor4f", "glVertex3f"}},
      {true, true, false, {"glColor4f", "glVertex3f"}},
      {false, true, false, {"glColor4f", "glVertex3f"}},
      {false, false, true, {"glNormal3f", "glVertex3f"}},
      {true, false, false, {"glVertex3f"}},
      {false, false, false, {"glVertex3f"}},
  };
  for (const Case& c : cases) {
    zeShape s(c.col, c.nrm, false);
    if (c.tex) s.enablePerVertexTextureCoords();
    s.drawStyle = GL_POINTS;
    s.addPoint(1, 2, 3);
    s.addPoint(4, 5, 6);
    if (c.tex) s.textureCoordList[1].set(0.25f, 0.75f, 9);
    if (c.col) s.setVertexColor(1, 0.5f, 0.25f, 0.125f, 0.75f);
    s.Color.set(0.1f, 0.2f, 0.3f, 0.4f);
    s.Normal.set(0, 1, 0);
    const Log got = drawLog(s);
    Log expected{"glBegin(0)", "glColor4f(0.100000001, 0.200000003, 0.300000012, 0.400000006)",
                 "glNormal3f(0, 1, 0)"};
    for (int v = 0; v < 2; ++v)
      for (const std::string& name : c.perVertex) {
        if (name == "glTexCoord2f")
          expected.push_back(v ? "glTexCoord2f(0.25, 0.75)" : "glTexCoord2f(0, 0)");
        if (name == "glNormal3f")
          expected.push_back("glNormal3f(0, 0, 1)");  // points: default normals
        if (name == "glColor4f")
          expected.push_back(v ? "glColor4f(0.5, 0.25, 0.125, 0.75)" : "glColor4f(1, 1, 1, 1)");
        if (name == "glVertex3f")
          expected.push_back(v ? "glVertex3f(4, 5, 6)" : "glVertex3f(1, 2, 3)");
      }
    expected.push_back("glEnd()");
    EXPECT_EQ(got, expected) << "tex " << c.tex << " col " << c.col << " nrm " << c.nrm;
  }
}

TEST_F(ShapeDraw, NormalsAreRegeneratedFromThisDrawsWorldPositions) {
  zeShape s(false, true, false);
  s.drawStyle = GL_TRIANGLES;
  s.addPoint(0, 0, 0);
  s.addPoint(1, 0, 0);
  s.addPoint(0, 1, 0);
  s.Rotation.set(90, 1, 0, 0);  // the triangle's plane turns to y = 0
  s.draw();
  const auto normals = glrec::callsNamed("glNormal3f");
  ASSERT_EQ(normals.size(), 4u);
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_NEAR(normals[i].args[0], 0.0, 1e-6);
    EXPECT_NEAR(normals[i].args[1], -1.0, 1e-6);
    EXPECT_NEAR(normals[i].args[2], 0.0, 1e-6);
  }
  EXPECT_EQ(s.normalCountList[0], 1);
}

TEST_F(ShapeDraw, BreaksRestartThePrimitive) {
  zeShape s(false, false, true);
  s.drawStyle = GL_TRIANGLES;
  for (int i = 0; i < 6; ++i) s.addPoint(static_cast<float>(i), 0, 0);
  for (int k : {0, 1, 2, -1, 3, 4, 5}) s.addIndex(k);
  EXPECT_EQ(drawLog(s), (Log{"glBegin(4)", "glColor4f(1, 1, 1, 1)", "glNormal3f(0, 0, 1)",
                             "glVertex3f(0, 0, 0)", "glVertex3f(1, 0, 0)", "glVertex3f(2, 0, 0)",
                             "glEnd()", "glBegin(4)", "glVertex3f(3, 0, 0)", "glVertex3f(4, 0, 0)",
                             "glVertex3f(5, 0, 0)", "glEnd()"}));
}

TEST_F(ShapeDraw, IndicesNamingNoVertexAreSkipped) {
  zeShape s(true, true, true);
  s.addPoint(1, 0, 0);
  s.addPoint(2, 0, 0);
  stdoutOf([&] {
    for (int k : {0, 2, -7, 1, 1000000}) s.addIndex(k);
  });
  drawLog(s);
  EXPECT_EQ(glrec::log({"glVertex3f"}), (Log{"glVertex3f(1, 0, 0)", "glVertex3f(2, 0, 0)"}));
  EXPECT_EQ(glrec::count("glBegin"), 1u);
  EXPECT_EQ(glrec::count("glColor4f"), 3u);
}

TEST_F(ShapeDraw, EmptyIndexListPrintsAndDrawsAnEmptyPrimitive) {
  zeShape s(false, false, true);
  s.addPoint(1, 1, 1);
  Log got;
  const std::string out = stdoutOf([&] { got = drawLog(s); });
  EXPECT_EQ(out, "zeShape::draw: no shape is drawing because index list is empty\n");
  EXPECT_EQ(got, (Log{"glBegin(3)", "glColor4f(1, 1, 1, 1)", "glNormal3f(0, 0, 1)", "glEnd()"}));
  // The vertex is still mapped.
  EXPECT_VEC3_EXACT(s.screenVertexList[0], 800.0f, 600.0f, 1.0f);

  // An unindexed empty shape draws an empty primitive without a message.
  zeShape empty(false, false, false);
  EXPECT_EQ(stdoutOf([&] { got = drawLog(empty); }), "");
  EXPECT_EQ(got, (Log{"glBegin(3)", "glColor4f(1, 1, 1, 1)", "glNormal3f(0, 0, 1)", "glEnd()"}));
}

}  // namespace
