// One frame of the cloth: the view, contact with the terrain, the stages,
// the update of every node and the drawn net.
#include <cmath>
#include <string>

#include "tests/app/clothFixture.h"

using clothtest::ClothTest;
using clothtest::expectVec;
using clothtest::newCloth;

namespace {
constexpr float kFirstVel = -1.9900000095367432f;  // (0 - 2) * 0.995f
constexpr float kFirstZ = 29.980100631713867f;     // 30 + kFirstVel * 0.01f
}  // namespace

TEST_F(ClothTest, FirstFrameFallsByOneGravityStep) {
  drapeApp* app = newCloth();
  app->draw();
  for (int n = 0; n < 3600; ++n) {
    SCOPED_TRACE(n);
    const clothknob& knob = app->thread[n];
    expectVec(knob.vel, 0, 0, kFirstVel);
    expectVec(knob.pos, static_cast<float>(n % 60 - 29), static_cast<float>(n / 60 - 29), kFirstZ);
    EXPECT_FALSE(knob.on_surf);
    expectVec(app->k1[n], 0, 0, 0);
    expectVec(app->k4[n], 0, 0, 0);
  }
  EXPECT_EQ(app->j, 1.0f);
  // The counters hold what the drawing loops leave.
  EXPECT_EQ(app->i, 60);
  EXPECT_EQ(app->h, 59);
}

TEST_F(ClothTest, SheetStaysExactlyFlatUntilItTouches) {
  drapeApp* app = newCloth();
  glrec::state().recording = false;
  int frames = 0;
  bool touched = false;
  while (!touched && frames < 200) {
    const float z = app->thread[0].pos.z;
    app->draw();
    ++frames;
    for (int n = 0; n < 3600; ++n) touched = touched || app->thread[n].on_surf;
    if (touched) break;
    EXPECT_LT(app->thread[0].pos.z, z);
    for (int n = 0; n < 3600; ++n) {
      ASSERT_EQ(app->thread[n].pos.z, app->thread[0].pos.z) << "frame " << frames << " node " << n;
      ASSERT_EQ(app->k1[n].z, 0.0f);
      ASSERT_EQ(app->k1[n].x, 0.0f);
      ASSERT_EQ(app->k1[n].y, 0.0f);
    }
  }
  EXPECT_TRUE(touched);
  EXPECT_GT(frames, 10);
}

// A node pushed under the terrain is lifted in the same frame before any
// force is evaluated, so its neighbours feel it at the terrain height.
TEST_F(ClothTest, ContactLiftsANodeBeforeTheStages) {
  drapeApp* app = newCloth();
  clothknob& sunk = app->thread[61];
  sunk.pos.z = 0.0f;
  const float ground = app->surface(sunk.pos.x, sunk.pos.y);
  ASSERT_GT(ground, 4.0f);

  // The force node 62 should feel: node 61 already lifted.
  clothknob lifted[3600];
  for (int n = 0; n < 3600; ++n) lifted[n] = app->thread[n];
  lifted[61].pos.z = ground;
  zeVec3f expected;
  app->rungef(lifted, expected, app->zero, 62);
  ASSERT_NE(expected.z, 0.0f);

  app->draw();
  EXPECT_TRUE(sunk.on_surf);
  expectVec(app->k1[62], expected.x, expected.y, expected.z);
  expectVec(app->k4[62], expected.x, expected.y, expected.z);
  expectVec(app->k1[61], 0, 0, 0);  // in contact: no stages
  // The update still moves it, below the terrain again until the next pass.
  expectVec(sunk.vel, 0, 0, kFirstVel);
  EXPECT_EQ(sunk.pos.z, ground + kFirstVel * 0.01f);
  EXPECT_LT(sunk.pos.z, ground);
}

TEST_F(ClothTest, ContactTestIsStrict) {
  drapeApp* app = newCloth();
  clothknob& knob = app->thread[61];
  knob.pos.z = app->surface(knob.pos.x, knob.pos.y);
  app->draw();
  EXPECT_FALSE(knob.on_surf);
}

// A node in contact keeps its last stage values in storage but gets only
// gravity added, and stays in contact even when lifted clear of the ground.
TEST_F(ClothTest, NodeInContactGetsGravityButNotItsFrozenStages) {
  drapeApp* app = newCloth();
  const int n = 1000;
  app->thread[n].on_surf = true;
  app->k1[n] = zeVec3f(1, 2, 3);
  app->k2[n] = zeVec3f(4, 5, 6);
  app->k3[n] = zeVec3f(7, 8, 9);
  app->k4[n] = zeVec3f(-1, -2, -3);
  app->draw();
  EXPECT_TRUE(app->thread[n].on_surf);  // high above the ground, still in contact
  expectVec(app->thread[n].vel, 0, 0, kFirstVel);
  expectVec(app->thread[n].pos, static_cast<float>(n % 60 - 29), static_cast<float>(n / 60 - 29),
            kFirstZ);
  expectVec(app->k1[n], 1, 2, 3);
  expectVec(app->k2[n], 4, 5, 6);
  expectVec(app->k3[n], 7, 8, 9);
  expectVec(app->k4[n], -1, -2, -3);
  app->draw();
  EXPECT_TRUE(app->thread[n].on_surf);
  expectVec(app->k1[n], 1, 2, 3);
  EXPECT_EQ(app->thread[n].vel.x, 0.0f);
  EXPECT_EQ(app->thread[n].vel.y, 0.0f);
}

// Free nodes combine the stages as k1/6 + k2/3 + k3/3 + k4/6 in that order.
TEST_F(ClothTest, FreeNodeGetsTheWeightedStages) {
  drapeApp* app = newCloth();
  const int n = 61;
  app->thread[62].pos.x += 1.0f;  // stretch the spring to node 62 to length 2
  clothknob copy[3600];
  for (int k = 0; k < 3600; ++k) copy[k] = app->thread[k];
  zeVec3f stage;
  app->rungef(copy, stage, app->zero, n);
  ASSERT_EQ(stage.x, 0.1f);
  app->draw();
  const zeVec3f sum =
      (((stage / 6.0f + stage / 3.0f) + stage / 3.0f) + stage / 6.0f) + zeVec3f(0, 0, -2);
  expectVec(app->thread[n].vel, sum.x * 0.995f, 0.0f, sum.z * 0.995f);
  EXPECT_GT(app->thread[n].vel.x, 0.0f);
}

TEST_F(ClothTest, ViewTurnsAQuarterDegreePerFrame) {
  drapeApp* app = newCloth();
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    glrec::reset();
    app->draw();
    const std::vector<glrec::Call>& calls = glrec::state().calls;
    ASSERT_GE(calls.size(), 9u);
    const std::vector<std::string> view = {
        "glTranslatef(800, 600, 0)", "glRotatef(-35, 1, 0, 0)",
        frame == 0 ? "glRotatef(0, 0, 0, 1)" : "glRotatef(0.25, 0, 0, 1)", "glScalef(10, 10, 10)"};
    for (size_t c = 0; c < view.size(); ++c) EXPECT_EQ(calls[c].str(), view[c]);
    // Then the camera capture reads projection, viewport and modelview.
    EXPECT_EQ(calls[4].str(), "glGetDoublev(" + std::to_string(GL_PROJECTION_MATRIX) + ")");
    EXPECT_EQ(calls[5].str(), "glGetIntegerv(" + std::to_string(GL_VIEWPORT) + ")");
    EXPECT_EQ(calls[6].str(), "glGetDoublev(" + std::to_string(GL_MODELVIEW_MATRIX) + ")");
    // No matrix is pushed or popped and no other matrix call is made.
    EXPECT_EQ(glrec::count("glPushMatrix") + glrec::count("glPopMatrix") +
                  glrec::count("glLoadIdentity") + glrec::count("glMatrixMode"),
              0u);
    EXPECT_EQ(glrec::count("glTranslatef"), 1u);
    EXPECT_EQ(glrec::count("glRotatef"), 2u);
  }
}

// The net: one GL_LINES primitive of 6844 segments in a fixed node order,
// drawn from the positions after the update.
TEST_F(ClothTest, NetIsTheSameSegmentListEveryFrame) {
  drapeApp* app = newCloth();
  for (int frame = 0; frame < 2; ++frame) {
    SCOPED_TRACE(frame);
    glrec::reset();
    app->draw();
    // The walk below reads this many calls after glBegin: a wrong count
    // must stop the test before it reads past the list.
    ASSERT_EQ(glrec::count("glBegin"), 1u);
    ASSERT_EQ(glrec::count("glEnd"), 1u);
    ASSERT_EQ(glrec::count("glVertex3f"), 13688u);
    ASSERT_EQ(glrec::count("glColor3f"), 3422u);
    const std::vector<glrec::Call>& calls = glrec::state().calls;
    size_t at = 0;
    while (at < calls.size() && calls[at].name != "glBegin") ++at;
    ASSERT_LT(at + 13688 + 3422, calls.size());
    EXPECT_EQ(calls[at].str(), "glBegin(" + std::to_string(GL_LINES) + ")");
    ++at;
    for (int a = 1; a <= 59; ++a)
      for (int b = 1; b <= 58; ++b) {
        ASSERT_EQ(calls[at++].str(), "glColor3f(1, 1, 1)");
        const int ends[4] = {60 * b + a - 1, 60 * b + a, 60 * (a - 1) + b, 60 * a + b};
        for (int node : ends) {
          const glrec::Call& v = calls[at++];
          ASSERT_EQ(v.name, "glVertex3f");
          const zeVec3f& p = app->thread[node].pos;
          ASSERT_EQ(static_cast<float>(v.args[0]), p.x) << a << "," << b << " node " << node;
          ASSERT_EQ(static_cast<float>(v.args[1]), p.y);
          ASSERT_EQ(static_cast<float>(v.args[2]), p.z);
        }
      }
    ASSERT_LT(at, calls.size());
    EXPECT_EQ(calls[at].name, "glEnd");
    EXPECT_EQ(at + 1, calls.size());  // nothing after the net
  }
}

// Two nodes put in the same place must not poison the cloth.
TEST_F(ClothTest, CoincidentNodesKeepTheClothFinite) {
  drapeApp* app = newCloth();
  glrec::state().recording = false;
  app->thread[1831].pos = app->thread[1830].pos;
  for (int frame = 0; frame < 50; ++frame) app->draw();
  for (int n = 0; n < 3600; ++n) {
    ASSERT_TRUE(std::isfinite(app->thread[n].pos.x) && std::isfinite(app->thread[n].pos.y) &&
                std::isfinite(app->thread[n].pos.z))
        << n;
    ASSERT_TRUE(std::isfinite(app->thread[n].vel.x) && std::isfinite(app->thread[n].vel.y) &&
                std::isfinite(app->thread[n].vel.z))
        << n;
  }
}
