// Shared helpers for the cloth tests: fresh application objects against the
// recording stand-in.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/drapeApp.h"
#include "testkit/glRecorder.h"

namespace clothtest {

// A new cloth from the module's factory. Objects are never deleted (the
// application owns its mesh for good), so they are kept reachable here.
inline drapeApp* newCloth() {
  static std::vector<zeApp*>* keep = new std::vector<zeApp*>;  // outlives exit-time leak checks
  zeApp* app = makeApp();
  keep->push_back(app);
  return static_cast<drapeApp*>(app);
}

// Node positions of the freshly built sheet, as a separate array that tests
// may bend without touching an application.
inline std::vector<clothknob> flatSheet() {
  std::vector<clothknob> nodes(3600);
  for (int n = 0; n < 3600; ++n) {
    nodes[n].pos = zeVec3f(static_cast<float>(n % 60 - 29), static_cast<float>(n / 60 - 29), 30.0f);
    nodes[n].on_surf = false;
  }
  return nodes;
}

inline void expectVec(const zeVec3f& v, float x, float y, float z) {
  EXPECT_EQ(v.x, x);
  EXPECT_EQ(v.y, y);
  EXPECT_EQ(v.z, z);
}

class ClothTest : public ::testing::Test {
 protected:
  void SetUp() override { glrec::reset(); }
};

}  // namespace clothtest
