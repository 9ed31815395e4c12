// Helpers shared by the shape tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "zeShape/zeShape.h"

// Runs f and returns what it printed on standard output.
template <class F>
std::string stdoutOf(F f) {
  testing::internal::CaptureStdout();
  f();
  return testing::internal::GetCapturedStdout();
}

#define EXPECT_VEC3(v, ex, ey, ez) \
  do {                             \
    EXPECT_FLOAT_EQ((v).x, (ex));  \
    EXPECT_FLOAT_EQ((v).y, (ey));  \
    EXPECT_FLOAT_EQ((v).z, (ez));  \
  } while (0)

// Exact comparison, for values the code must reproduce bit for bit.
#define EXPECT_VEC3_EXACT(v, ex, ey, ez) \
  do {                                   \
    EXPECT_EQ((v).x, (ex));              \
    EXPECT_EQ((v).y, (ey));              \
    EXPECT_EQ((v).z, (ez));              \
  } while (0)
