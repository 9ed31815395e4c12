// The helpers the writers share: the temporary file beside a target and the
// text of a system error.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "testkit/scratchDir.h"
#include "viewkit/files/errorText.h"
#include "viewkit/files/temporaryFile.h"

namespace {

TEST(TemporaryFile, PatternIsHiddenBesideTheTarget) {
  const struct {
    const char* path;
    const char* pattern;
  } cases[] = {
      {"a.png", ".a.png.XXXXXX"},
      {"dir/a.png", "dir/.a.png.XXXXXX"},
      {"/abs/dir/cloth.obj", "/abs/dir/.cloth.obj.XXXXXX"},
      {"/v.mp4", "/.v.mp4.XXXXXX"},
      {"./.hidden", "./..hidden.XXXXXX"},
      {"a.b/c", "a.b/.c.XXXXXX"},  // a dot in the folder is not the name's
  };
  for (const auto& c : cases) EXPECT_EQ(viewkit::temporaryPattern(c.path), c.pattern) << c.path;
}

TEST(TemporaryFile, CreatedNewWithTheModeAskedAndClosedOnExec) {
  ScratchDir dir("ze-tmpfile");
  const std::string target = dir.path() + "/cloth.obj";
  std::string first, second;
  int error = 0;
  const int a = viewkit::createTemporaryFile(target, 0640, first, error);
  const int b = viewkit::createTemporaryFile(target, 0604, second, error);
  ASSERT_GE(a, 0) << error;
  ASSERT_GE(b, 0) << error;
  EXPECT_NE(first, second);
  EXPECT_EQ(first.substr(0, first.size() - 6), dir.path() + "/.cloth.obj.");
  struct stat st;
  ASSERT_EQ(stat(first.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);  // not mkstemp's 0600, and no umask in the way
  EXPECT_EQ(st.st_size, 0);
  ASSERT_EQ(stat(second.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0604u);
  EXPECT_NE(fcntl(a, F_GETFD) & FD_CLOEXEC, 0);  // a child process such as ffmpeg never holds it
  EXPECT_EQ(write(a, "x", 1), 1);
  close(a);
  close(b);
  EXPECT_EQ(access(target.c_str(), F_OK), -1);  // the target's own name is untouched

  // A folder that is not there: nothing is made and the reason is kept.
  std::string name = "stale";
  EXPECT_EQ(viewkit::createTemporaryFile(dir.path() + "/none/cloth.obj", 0644, name, error), -1);
  EXPECT_EQ(error, ENOENT);
  EXPECT_TRUE(name.empty());
  EXPECT_EQ(dir.entries().size(), 2u);
}

TEST(TemporaryFile, NewFileModeFollowsTheUmask) {
  const mode_t before = umask(027);
  EXPECT_EQ(viewkit::newFileMode(), 0640u);
  umask(0);
  EXPECT_EQ(viewkit::newFileMode(), 0666u);
  umask(before);
  EXPECT_EQ(viewkit::newFileMode(), 0666u & ~before);  // and the umask is left as it was
}

TEST(ErrorText, SystemTextAndNeverSuccess) {
  const struct {
    int error;
    const char* text;
  } cases[] = {
      {ENOENT, "No such file or directory"},
      {EEXIST, "File exists"},
      {EPIPE, "Broken pipe"},
      {0, "Input/output error"},  // a failure that set no errno is still a failure
  };
  for (const auto& c : cases) EXPECT_EQ(viewkit::errorText(c.error), c.text) << c.error;
  const std::string unknown = viewkit::errorText(98765);
  EXPECT_NE(unknown.find("98765"), std::string::npos) << unknown;
}

}  // namespace
