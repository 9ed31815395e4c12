// The software transform stack and the camera capture, against the GL
// recording stand-in.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "testkit/glRecorder.h"
#include "zeShape/zeTransforms.h"

namespace {

bool sameBits(const zeMatrix4f& a, const zeMatrix4f& b) {
  return std::memcmp(a.m, b.m, sizeof a.m) == 0;
}

void expectVec(const zeVec3f& v, float x, float y, float z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}

class Transforms : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    zeMatrixHeight = 0;
    zeTransformsInit();
  }
};

TEST_F(Transforms, StackLimits) {
  for (int i = 0; i < 127; i++) zePushMatrix();
  EXPECT_EQ(zeMatrixHeight, 127);
  zeTranslatef(1, 2, 3);
  zeMatrix4f top = *getCurrentMatrix();
  zePushMatrix();  // full: ignored, current matrix untouched
  EXPECT_EQ(zeMatrixHeight, 127);
  EXPECT_EQ(getCurrentMatrix(), &zeMatrixStack[127]);
  EXPECT_TRUE(sameBits(*getCurrentMatrix(), top));
  zeMatrix4f id;
  id.setIdentity();
  EXPECT_TRUE(sameBits(zeMatrixStack[126], id));

  // Popped entries are not cleared.
  zePopMatrix();
  EXPECT_EQ(zeMatrixHeight, 126);
  EXPECT_TRUE(sameBits(zeMatrixStack[127], top));

  zeMatrixHeight = 0;
  zeScalef(2, 2, 2);
  zeMatrix4f bottom = *getCurrentMatrix();
  zePopMatrix();
  EXPECT_EQ(zeMatrixHeight, 0);
  EXPECT_TRUE(sameBits(*getCurrentMatrix(), bottom));

  // Init makes every entry the identity but keeps the height; no GL calls.
  zeMatrixHeight = 3;
  zeTransformsInit();
  EXPECT_EQ(zeMatrixHeight, 3);
  for (const zeMatrix4f& e : zeMatrixStack) EXPECT_TRUE(sameBits(e, id));
  EXPECT_TRUE(glrec::log().empty());
}

TEST_F(Transforms, PushCopiesAndPopRestores) {
  zeTranslatef(10, 0, 0);
  zePushMatrix();
  zeRotatef(90, 0, 0, 1);
  zeVec3f p(1, 0, 0), out;
  zeTransformToReal(p, out);
  EXPECT_NEAR(out.x, 10.0f, 1e-5f);
  EXPECT_NEAR(out.y, 1.0f, 1e-6f);
  EXPECT_NEAR(out.z, 0.0f, 1e-6f);
  zePopMatrix();
  zeTransformToReal(p, out);
  expectVec(out, 11, 0, 0);

  // Zero angle or zero axis change nothing.
  zeMatrix4f before = *getCurrentMatrix();
  zeRotatef(0, 1, 2, 3);
  zeRotatef(45, 0, 0, 0);
  EXPECT_TRUE(sameBits(*getCurrentMatrix(), before));
}

TEST_F(Transforms, CallOrderAndDegrees) {
  zeVec3f p(1, 1, 1), out;
  zePushMatrix();
  zeTranslatef(1, 2, 3);
  zeScalef(2, 2, 2);
  zeTransformToReal(p, out);
  expectVec(out, 3, 4, 5);
  zePopMatrix();
  zePushMatrix();
  zeScalef(2, 2, 2);
  zeTranslatef(1, 2, 3);
  zeTransformToReal(p, out);
  expectVec(out, 4, 6, 8);
  zePopMatrix();

  // Degrees go to radians in double precision and are narrowed once.
  zePushMatrix();
  zeRotatef(33.3f, 1, 2, 3);
  zeMatrix4f ref;
  ref.setIdentity();
  ref.rotgen(1, 2, 3, (float)(33.3f * 3.141592653589793 / 180.0));
  EXPECT_TRUE(sameBits(*getCurrentMatrix(), ref));
}

TEST_F(Transforms, RealToScreen) {
  cameraMatrix.setIdentity();
  const int vp[4] = {0, 0, 800, 600};
  std::memcpy(view, vp, sizeof view);
  zeVec3f a(0, 0, 0), b(1, 1, 0), out;
  zeTransformRealToScreen(a, out);
  expectVec(out, 400, 300, 0.5f);
  zeTransformRealToScreen(b, out);
  expectVec(out, 800, 600, 0.5f);

  // Viewport offset added; x and y divided by w, z not.
  const int vp2[4] = {10, 20, 800, 600};
  std::memcpy(view, vp2, sizeof view);
  cameraMatrix.m[3][3] = 2.0f;
  zeVec3f c(1, -1, 0.5f);
  zeTransformRealToScreen(c, out);
  expectVec(out, 610, 170, 0.75f);

  // A point in the plane of the eye (w = 0): finite, far outside every
  // region and behind the near plane.
  cameraMatrix.setIdentity();
  cameraMatrix.m[3][2] = 1.0f;
  cameraMatrix.m[3][3] = 0.0f;
  zeVec3f eye(5, 5, 0);
  zeTransformRealToScreen(eye, out);
  expectVec(out, -FLT_MAX, -FLT_MAX, -1.0f);
  EXPECT_LT(out.z, 0.0f);
}

TEST_F(Transforms, CaptureCamera) {
  // Reads in order projection, viewport, modelview, and transposes the
  // column-major projection.
  std::vector<double> proj(16);
  for (int i = 0; i < 16; i++) proj[i] = 1.0 + i * 0.5;
  glrec::state().projection.back() = proj;
  zeTransformsCaptureCamera();
  std::vector<std::pair<std::string, double>> reads;
  for (const glrec::Call& c : glrec::state().calls)
    if (c.name == "glGetDoublev" || c.name == "glGetIntegerv")
      reads.emplace_back(c.name, c.args[0]);
  using R = std::pair<std::string, double>;
  EXPECT_EQ(reads, (std::vector<R>{R("glGetDoublev", GL_PROJECTION_MATRIX),
                                   R("glGetIntegerv", GL_VIEWPORT),
                                   R("glGetDoublev", GL_MODELVIEW_MATRIX)}));
  for (int r = 0; r < 4; r++)
    for (int c = 0; c < 4; c++) EXPECT_EQ(cameraMatrix.m[r][c], (float)proj[c * 4 + r]);
  for (int i = 0; i < 4; i++) EXPECT_EQ(view[i], glrec::state().viewport[i]);

  // Unprojects the viewport centre at depth 0 with the modelview and
  // projection as read.
  glrec::reset();
  glrec::state().projection.back()[12] = 0.25;  // x shift
  glrec::state().modelview.back()[12] = 1.0;    // translate (1, 2, 3)
  glrec::state().modelview.back()[13] = 2.0;
  glrec::state().modelview.back()[14] = 3.0;
  zeTransformsCaptureCamera();
  auto un = glrec::callsNamed("gluUnProject");
  ASSERT_EQ(un.size(), 1u);
  EXPECT_EQ(un[0].args, (std::vector<double>{320, 240, 0, 0, 0, 640, 480}));
  // The centre at depth 0 is (0, 0, -1) after the projection; undo both.
  expectVec(cameraPos, -1.25f, -2.0f, -4.0f);

  // A failed unprojection keeps the previous position.
  glrec::state().unProjectResult = GL_FALSE;
  glrec::state().modelview.back()[12] = 50.0;
  zeTransformsCaptureCamera();
  expectVec(cameraPos, -1.25f, -2.0f, -4.0f);
}

}  // namespace
