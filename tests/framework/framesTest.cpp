// The frame stack and the standard 3D view, through the GL calls they make.
#include "tests/framework/frameworkTestSupport.h"

namespace {

using ::testing::ElementsAre;

class Frames : public ::testing::Test {
 protected:
  void SetUp() override {
    fwtest::resetFramework();
    zeuWindowWidth = 640;
    zeuWindowHeight = 480;
  }
  void TearDown() override { frameDepth = 0; }
};

std::vector<std::string> names() {
  std::vector<std::string> out;
  for (const glrec::Call& c : glrec::state().calls) out.push_back(c.name);
  return out;
}

std::vector<double> argsOf(const std::string& name) {
  const auto calls = glrec::callsNamed(name);
  return calls.empty() ? std::vector<double>() : calls.back().args;
}

// The window position of an object point under the recorded matrices.
void project(double x, double y, double z, double* wx, double* wy, double* wz) {
  const auto& s = glrec::state();
  const GLint vp[4] = {s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]};
  ASSERT_EQ(gluProject(x, y, z, glrec::modelviewTop().data(), glrec::projectionTop().data(), vp, wx,
                       wy, wz),
            GL_TRUE);
}

TEST_F(Frames, OutermostResetsInnerSavesAndRestoresBothMatrices) {
  frameStepUp();
  EXPECT_EQ(frameDepth, 1);
  EXPECT_THAT(
      glrec::log(),
      ElementsAre("glViewport(0, 0, 640, 480)",
                  "glMatrixMode(" + std::to_string(GL_PROJECTION) + ")", "glLoadIdentity()",
                  "glMatrixMode(" + std::to_string(GL_MODELVIEW) + ")", "glLoadIdentity()"));

  glMatrixMode(GL_PROJECTION);
  glTranslatef(1.0f, 2.0f, 3.0f);
  glMatrixMode(GL_MODELVIEW);
  glScalef(2.0f, 2.0f, 2.0f);
  const auto projection = glrec::projectionTop();
  const auto modelview = glrec::modelviewTop();

  glrec::state().calls.clear();
  frameStepUp();
  EXPECT_EQ(frameDepth, 2);
  EXPECT_THAT(names(), ElementsAre("glMatrixMode", "glPushMatrix", "glMatrixMode", "glPushMatrix"));
  EXPECT_EQ(glrec::state().matrixMode, static_cast<GLenum>(GL_MODELVIEW));

  glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glTranslatef(5.0f, 0.0f, 0.0f);
  glMatrixMode(GL_MODELVIEW);

  glrec::state().calls.clear();
  frameStepDown();
  EXPECT_EQ(frameDepth, 1);
  EXPECT_THAT(names(), ElementsAre("glMatrixMode", "glPopMatrix", "glMatrixMode", "glPopMatrix"));
  EXPECT_EQ(glrec::projectionTop(), projection);
  EXPECT_EQ(glrec::modelviewTop(), modelview);

  glrec::state().calls.clear();
  frameStepDown();
  EXPECT_EQ(frameDepth, 0);
  EXPECT_THAT(glrec::log(), ElementsAre("glutSwapBuffers()"));
}

TEST_F(Frames, DeepNestingWarnsFromTheTwelfthFrameOn) {
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 11; ++i) frameStepUp();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  ::testing::internal::CaptureStderr();
  frameStepUp();
  frameStepUp();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Warning, frameDepth already at 11\n\nWarning, frameDepth already at 12\n\n");
  EXPECT_EQ(frameDepth, 13);
  EXPECT_EQ(glrec::count("glPushMatrix"), 24u);  // every inner frame still opens

  zeuDebugLevel = 1;
  ::testing::internal::CaptureStderr();
  frameStepUp();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  for (int i = 0; i < 14; ++i) frameStepDown();
  EXPECT_EQ(frameDepth, 0);
  EXPECT_EQ(glrec::count("glPopMatrix"), 26u);
  EXPECT_EQ(glrec::count("glutSwapBuffers"), 1u);
}

TEST_F(Frames, CloseWithoutOpenChangesNothing) {
  ::testing::internal::CaptureStderr();
  frameStepDown();
  zeuCloseToloFrame();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Warning, frameDepth already at 0\nWarning, frameDepth already at 0\n");
  EXPECT_EQ(frameDepth, 0);
  EXPECT_TRUE(glrec::state().calls.empty());

  // The next frame pairs up normally.
  frameStepUp();
  frameStepDown();
  EXPECT_EQ(frameDepth, 0);
  EXPECT_EQ(glrec::count("glutSwapBuffers"), 1u);
}

TEST_F(Frames, StandardViewMapsThePlaneZeroOntoTheWindow) {
  zeuWindowBgColor[0] = 0.25f;
  zeuWindowBgColor[1] = 0.5f;
  zeuWindowBgColor[2] = 0.75f;
  zeuOpenToloFrame();

  EXPECT_THAT(names(), ElementsAre("glViewport", "glMatrixMode", "glLoadIdentity", "glMatrixMode",
                                   "glLoadIdentity", "glEnable", "glEnable", "glEnable",
                                   "glDepthFunc", "glShadeModel", "glClearColor", "glClear",
                                   "glEnable", "glColorMaterial", "glDisable", "glLightfv",
                                   "glMatrixMode", "gluPerspective", "gluLookAt", "glMatrixMode"));
  EXPECT_THAT(
      glrec::log({"glEnable", "glDisable", "glDepthFunc", "glShadeModel", "glColorMaterial",
                  "glClearColor", "glClear"}),
      ElementsAre("glEnable(" + std::to_string(GL_LIGHTING) + ")",
                  "glEnable(" + std::to_string(GL_LIGHT0) + ")",
                  "glEnable(" + std::to_string(GL_DEPTH_TEST) + ")",
                  "glDepthFunc(" + std::to_string(GL_LEQUAL) + ")",
                  "glShadeModel(" + std::to_string(GL_SMOOTH) + ")",
                  "glClearColor(0.25, 0.5, 0.75, 1)",
                  "glClear(" + std::to_string(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT) + ")",
                  "glEnable(" + std::to_string(GL_COLOR_MATERIAL) + ")",
                  "glColorMaterial(" + std::to_string(GL_FRONT_AND_BACK) + ", " +
                      std::to_string(GL_AMBIENT_AND_DIFFUSE) + ")",
                  "glDisable(" + std::to_string(GL_TEXTURE_2D) + ")"));

  // Exact single-precision view constants for 640 x 480 at 60 degrees.
  EXPECT_THAT(argsOf("gluPerspective"), ElementsAre(60.0, 1.3333334f, 41.56922f, 4156.922f));
  EXPECT_THAT(argsOf("gluLookAt"),
              ElementsAre(320.0, 240.0, 415.6922f, 320.0, 240.0, 0.0, 0.0, 1.0, 0.0));
  EXPECT_THAT(argsOf("glLightfv"),
              ElementsAre(GL_LIGHT0, GL_POSITION, 320.0, 240.0, 415.6922f, 0.0));
  EXPECT_EQ(glrec::state().matrixMode, static_cast<GLenum>(GL_MODELVIEW));
  EXPECT_EQ(glrec::modelviewTop(),
            std::vector<double>({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));

  double x, y, z;
  project(0.0, 0.0, 0.0, &x, &y, &z);
  EXPECT_NEAR(x, 0.0, 1e-3);
  EXPECT_NEAR(y, 0.0, 1e-3);
  project(640.0, 480.0, 0.0, &x, &y, &z);
  EXPECT_NEAR(x, 640.0, 1e-3);
  EXPECT_NEAR(y, 480.0, 1e-3);
  zeuCloseToloFrame();
  EXPECT_EQ(frameDepth, 0);
  EXPECT_EQ(glrec::count("glutSwapBuffers"), 1u);
}

TEST_F(Frames, InnerStandardFrameKeepsCameraClearAndLight) {
  zeuOpenToloFrame();
  glTranslatef(3.0f, 4.0f, 5.0f);
  const auto projection = glrec::projectionTop();
  const auto modelview = glrec::modelviewTop();
  glrec::state().calls.clear();

  zeuOpenToloFrame();
  EXPECT_THAT(names(), ElementsAre("glMatrixMode", "glPushMatrix", "glMatrixMode", "glPushMatrix",
                                   "glEnable", "glEnable", "glEnable", "glDepthFunc",
                                   "glShadeModel", "glEnable", "glColorMaterial", "glDisable"));
  EXPECT_EQ(glrec::projectionTop(), projection);
  glScalef(3.0f, 3.0f, 3.0f);
  zeuCloseToloFrame();
  EXPECT_EQ(glrec::modelviewTop(), modelview);
  EXPECT_EQ(glrec::count("glutSwapBuffers"), 0u);
  zeuCloseToloFrame();
  EXPECT_EQ(glrec::count("glutSwapBuffers"), 1u);
}

TEST_F(Frames, NoClearWhenClearingIsOff) {
  zeuWindowClear = false;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  EXPECT_EQ(glrec::count("glClear") + glrec::count("glClearColor"), 0u);
  EXPECT_EQ(glrec::count("gluPerspective"), 1u);
}

TEST_F(Frames, ViewConstantsFollowOnlySizeChanges) {
  zeuWindowWidth = 1000;  // a size no other test used, so the cache is stale
  zeuOpenToloFrame();
  zeuCloseToloFrame();

  // Same size: not recomputed, even though the field of view changed.
  zeuWindowWidth = 640;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  glrec::state().calls.clear();
  zeuScreenFov = 90.0f;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  EXPECT_THAT(argsOf("gluPerspective"), ElementsAre(90.0, 1.3333334f, 41.56922f, 4156.922f));

  // A new size recomputes, with the new field of view.
  zeuWindowWidth = 800;
  zeuWindowHeight = 600;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  EXPECT_THAT(argsOf("gluPerspective"), ElementsAre(90.0, 1.3333334f, 30.0f, 3000.0f));
  EXPECT_THAT(argsOf("gluLookAt"),
              ElementsAre(400.0, 300.0, 300.0, 400.0, 300.0, 0.0, 0.0, 1.0, 0.0));

  // An inner frame never recomputes.
  zeuScreenFov = 60.0f;
  zeuOpenToloFrame();
  zeuWindowWidth = 640;
  zeuWindowHeight = 480;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  zeuCloseToloFrame();
  EXPECT_THAT(argsOf("gluLookAt"),
              ElementsAre(400.0, 300.0, 300.0, 400.0, 300.0, 0.0, 0.0, 1.0, 0.0));
}

TEST_F(Frames, AWidthChangeAloneRecomputesTheView) {
  zeuWindowWidth = 700;  // a size no other test used, so the cache is stale
  zeuWindowHeight = 500;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  zeuWindowWidth = 900;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  EXPECT_EQ(argsOf("gluPerspective")[1], 1.8f);
  EXPECT_EQ(argsOf("gluLookAt")[0], 450.0);
}

TEST_F(Frames, ZeroHeightKeepsTheLastView) {
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  glrec::state().calls.clear();

  zeuWindowHeight = 0;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  EXPECT_THAT(argsOf("gluPerspective"), ElementsAre(60.0, 1.3333334f, 41.56922f, 4156.922f));
  EXPECT_THAT(argsOf("glViewport"), ElementsAre(0.0, 0.0, 640.0, 0.0));

  // Calling the recomputation directly with no height keeps the view too.
  updateToloViewConstants();
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  EXPECT_THAT(argsOf("gluLookAt"),
              ElementsAre(320.0, 240.0, 415.6922f, 320.0, 240.0, 0.0, 0.0, 1.0, 0.0));

  // The next real size recomputes: the zero height was not cached.
  zeuWindowWidth = 200;
  zeuWindowHeight = 100;
  zeuOpenToloFrame();
  zeuCloseToloFrame();
  EXPECT_THAT(argsOf("gluPerspective"), ElementsAre(60.0, 2.0, 8.660254f, 866.0254f));
}

}  // namespace
