#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/scratchDir.h"
#include "viewkit/safeFile.h"

namespace {

class SafeFileTest : public ::testing::Test {
 protected:
  std::vector<std::string> entries() const { return scratch.entries(); }
  static std::string contents(const std::string& path) { return ScratchDir::contents(path); }
  static bool writeText(FILE* f, const char* text) { return std::fputs(text, f) >= 0; }

  ScratchDir scratch{"safeFileTest"};
  const std::string dir = scratch.path();
};

TEST_F(SafeFileTest, FreeNamesCountUpPastExistingFiles) {
  const std::string stem = dir + "/drape-00012";
  EXPECT_EQ(viewkit::freeFileName(stem, ".png"), stem + ".png");
  std::ofstream(stem + ".png") << "x";
  EXPECT_EQ(viewkit::freeFileName(stem, ".png"), stem + "-1.png");
  std::ofstream(stem + "-1.png") << "x";
  EXPECT_EQ(viewkit::freeFileName(stem, ".png"), stem + "-2.png");
  EXPECT_EQ(viewkit::freeFileName(stem, ".obj"), stem + ".obj");
}

TEST_F(SafeFileTest, CompleteWriteLeavesOnlyTheTarget) {
  std::string error;
  const std::string path = dir + "/out.txt";
  ASSERT_TRUE(viewkit::writeFileAtomically(
      path, [](FILE* f) { return writeText(f, "hello\n"); }, error))
      << error;
  EXPECT_EQ(contents(path), "hello\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"out.txt"});
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IRGRP, 0u) << "saved files are readable like any other";
}

// A directory that cannot be written and replacing a file are the
// explorer's and shapeView's tests.
TEST_F(SafeFileTest, FailuresLeaveNothingBehindAndSayWhy) {
  std::string error;
  const std::string path = dir + "/out.txt";
  EXPECT_FALSE(viewkit::writeFileAtomically(
      path, [](FILE* f) { return writeText(f, "partial") && false; }, error));
  EXPECT_EQ(error, "write failed");
  EXPECT_TRUE(entries().empty());
}

TEST_F(SafeFileTest, ExistingFilesAreKept) {
  std::string error;
  const std::string path = dir + "/out.txt";
  std::ofstream(path) << "old";
  EXPECT_FALSE(viewkit::writeFileAtomically(
      path, [](FILE* f) { return writeText(f, "new"); }, error));
  EXPECT_EQ(error, "File exists");
  EXPECT_EQ(contents(path), "old");
}

}  // namespace
