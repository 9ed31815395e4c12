// Overlay text: drawn unlit and on top in window pixels, one raster position
// per line, and every matrix and capability left as it was.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "testkit/glRecorder.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

namespace {

TEST(OverlayText, LinesGoDownFromTheTopUnlitOnTopAndStateIsRestored) {
  glrec::reset();
  zeuWindowWidth = 800;
  zeuWindowHeight = 600;
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(5.0f, 6.0f, 7.0f);  // whatever the frame's view was
  const std::vector<double> projection = glrec::projectionTop();
  const std::vector<double> modelview = glrec::modelviewTop();
  glrec::state().calls.clear();

  zeuOverlayText(10.0f, 590.0f, "ab\nc", 1.0f, 0.5f, 0.25f);

  const std::vector<std::string> calls = glrec::log();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls.front(), "glPushAttrib(" + std::to_string(GL_ENABLE_BIT | GL_CURRENT_BIT) + ")");
  EXPECT_EQ(calls.back(), "glPopAttrib()");
  EXPECT_EQ(glrec::log({"glOrtho"}), (std::vector<std::string>{"glOrtho(0, 800, 0, 600, -1, 1)"}));
  EXPECT_EQ(glrec::log({"glColor3f", "glRasterPos2f"}),
            (std::vector<std::string>{"glColor3f(1, 0.5, 0.25)", "glRasterPos2f(10, 577)",
                                      "glRasterPos2f(10, 559)"}));
  const auto chars = glrec::callsNamed("glutBitmapCharacter");
  ASSERT_EQ(chars.size(), 3u);
  EXPECT_EQ(chars[0].args[1], 'a');
  EXPECT_EQ(chars[2].args[1], 'c');
  EXPECT_EQ(glrec::projectionTop(), projection);
  EXPECT_EQ(glrec::modelviewTop(), modelview);
  EXPECT_EQ(glrec::state().matrixMode, static_cast<GLenum>(GL_MODELVIEW));
}

}  // namespace
