// The helpers the writers share: the temporary file beside a target (and
// the removal of those a killed writer left) and the text of a system error.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <string>
#include <vector>

#include "testkit/scratchDir.h"
#include "viewkit/files/errorText.h"
#include "viewkit/files/staleTemporaries.h"
#include "viewkit/files/temporaryFile.h"

namespace {

TEST(TemporaryFile, PatternIsHiddenBesideTheTargetAndNamesTheWriter) {
  const std::string pid = "." + std::to_string(getpid()) + ".XXXXXX";
  const struct {
    const char* path;
    const char* pattern;
  } cases[] = {
      {"a.png", ".a.png"},
      {"dir/a.png", "dir/.a.png"},
      {"/abs/dir/cloth.obj", "/abs/dir/.cloth.obj"},
      {"/v.mp4", "/.v.mp4"},
      {"./.hidden", "./..hidden"},
      {"a.b/c", "a.b/.c"},  // a dot in the folder is not the name's
  };
  for (const auto& c : cases)
    EXPECT_EQ(viewkit::temporaryPattern(c.path), c.pattern + pid) << c.path;
}

TEST(TemporaryFile, OnlyTheWritersNamesAreTakenForTemporaries) {
  const struct {
    const char* name;
    long pid;  // -1: not a temporary's name
  } cases[] = {
      {".a.png.123.abcDE9", 123},
      {"..hidden.7.ZZZZZZ", 7},
      {".x.999999999.aaaaaa", 999999999},
      {".a.png.abcDE9", -1},       // no process id
      {"..123.abcDE9", -1},        // no name
      {".a.png.123.abcDE", -1},    // five characters
      {".a.png.123.abcDE99", -1},  // seven
      {".a.png.1x3.abcDE9", -1},
      {".a.png.123.abc-E9", -1},
      {"a.png.123.abcDE9", -1},  // not hidden
      {".a.png.1234567890.abcDE9", -1},
      {".a.png..abcDE9", -1},
  };
  for (const auto& c : cases) {
    long pid = -1;
    EXPECT_EQ(viewkit::temporaryNamePid(c.name, pid), c.pid >= 0) << c.name;
    EXPECT_EQ(pid, c.pid) << c.name;
  }
}

TEST(TemporaryFile, StaleOnesAreRemovedOnlyWhenTheirWriterIsGone) {
  ScratchDir dir("ze-stale");
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  waitpid(child, nullptr, 0);  // a process id that no longer runs
  const std::string gone = std::to_string(child), alive = std::to_string(getpid());
  const std::string p = dir.path() + "/";
  for (const std::string& file :
       {".a.obj." + gone + ".Ab3dEf", ".b.png." + gone + ".x1y2z3", ".a.obj." + alive + ".Ab3dEf",
        std::string(".a.obj.1.Ab3dEf"), "a.obj." + gone + ".Ab3dEf", std::string("a.obj")})
    std::ofstream(p + file) << "x";
  ASSERT_EQ(mkdir((p + ".d.obj." + gone + ".Ab3dEf").c_str(), 0700), 0);
  ASSERT_EQ(symlink("a.obj", (p + ".l.obj." + gone + ".Ab3dEf").c_str()), 0);
  std::vector<std::string> removed = viewkit::removeStaleTemporaries(dir.path());
  std::sort(removed.begin(), removed.end());
  EXPECT_EQ(removed, (std::vector<std::string>{p + ".a.obj." + gone + ".Ab3dEf",
                                               p + ".b.png." + gone + ".x1y2z3"}));
  // Ours (still writing), init's (asked, not ours to judge), a name not
  // hidden, the target, a folder and a link stay.
  EXPECT_EQ(dir.entries(),
            (std::vector<std::string>{".a.obj.1.Ab3dEf", ".a.obj." + alive + ".Ab3dEf",
                                      ".d.obj." + gone + ".Ab3dEf", ".l.obj." + gone + ".Ab3dEf",
                                      "a.obj", "a.obj." + gone + ".Ab3dEf"}));
  EXPECT_TRUE(viewkit::removeStaleTemporaries(p + "none").empty());
  rmdir((p + ".d.obj." + gone + ".Ab3dEf").c_str());
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
  EXPECT_EQ(first.substr(0, first.size() - 6),
            dir.path() + "/.cloth.obj." + std::to_string(getpid()) + ".");
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
