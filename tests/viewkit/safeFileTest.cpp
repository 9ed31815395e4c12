#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "testkit/scratchDir.h"
#include "viewkit/files/safeFile.h"

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

// Every kind of target, by mode. "no hard links" runs with link() failing as
// on FAT (EPERM), and then also without an exclusive rename (EINVAL), which
// leaves exclusive creation: neither may replace anything.
int noLink(const char*, const char*) {
  errno = EPERM;
  return -1;
}
int noExclusiveRename(const char*, const char*) {
  errno = EINVAL;
  return -1;
}

TEST_F(SafeFileTest, EachKindOfTargetByMode) {
  using viewkit::Delivery;
  using viewkit::WriteMode;
  struct Case {
    const char* name;
    WriteMode mode;
    viewkit::NamingCalls naming;
    std::function<std::string()> make;  // makes the target; returns the path to write
    const char* error;                  // "" when the write succeeds
    Delivery delivery;
    std::function<void(const std::string&)> check;
  };
  const std::string d = dir;
  auto file = [](const std::string& path, const char* text, mode_t mode) {
    std::ofstream(path) << text;
    chmod(path.c_str(), mode);
  };
  auto isNew = [](const std::string& p) { EXPECT_EQ(contents(p), "new\n"); };
  auto kind = [](const std::string& p) {
    struct stat st;
    return lstat(p.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
  };
  const viewkit::NamingCalls system, fat{noLink, nullptr}, bare{noLink, noExclusiveRename};
  const std::vector<Case> cases = {
      {"new file", WriteMode::kUserOutput, system, [=] { return d + "/a.obj"; }, "",
       Delivery::kFile, isNew},
      {"existing file keeps its mode", WriteMode::kUserOutput, system,
       [=] {
         file(d + "/a.obj", "old\n", 0640);
         return d + "/a.obj";
       },
       "", Delivery::kFile,
       [&](const std::string& p) {
         isNew(p);
         struct stat st;
         ASSERT_EQ(stat(p.c_str(), &st), 0);
         EXPECT_EQ(st.st_mode & 0777, 0640u);
       }},
      {"symbolic link", WriteMode::kReplace, system,
       [=] {
         file(d + "/target.obj", "old\n", 0644);
         EXPECT_EQ(symlink("target.obj", (d + "/link.obj").c_str()), 0);
         return d + "/link.obj";
       },
       "", Delivery::kFile,
       [&](const std::string& p) {
         EXPECT_EQ(kind(p), static_cast<mode_t>(S_IFLNK));
         isNew(d + "/target.obj");
       }},
      {"dangling symbolic link", WriteMode::kUserOutput, system,
       [=] {
         EXPECT_EQ(symlink("made.obj", (d + "/link.obj").c_str()), 0);
         return d + "/link.obj";
       },
       "", Delivery::kFile,
       [&](const std::string& p) {
         EXPECT_EQ(kind(p), static_cast<mode_t>(S_IFLNK));
         isNew(d + "/made.obj");
       }},
      {"FIFO written into", WriteMode::kUserOutput, system,
       [=] {
         EXPECT_EQ(mkfifo((d + "/f").c_str(), 0644), 0);
         return d + "/f";
       },
       "", Delivery::kStream, nullptr},  // content checked below, from the reading end
      {"FIFO not replaced", WriteMode::kReplace, system,
       [=] {
         mkfifo((d + "/f").c_str(), 0644);
         return d + "/f";
       },
       "not a regular file", Delivery::kNone,
       [&](const std::string& p) { EXPECT_EQ(kind(p), static_cast<mode_t>(S_IFIFO)); }},
      {"device with no room", WriteMode::kUserOutput, system, [] { return "/dev/full"; },
       "No space left on device", Delivery::kNone, nullptr},
      {"directory", WriteMode::kUserOutput, system,
       [=] {
         mkdir((d + "/sub").c_str(), 0755);
         return d + "/sub";
       },
       "Is a directory", Delivery::kNone, nullptr},
      // Root may write any directory of its own; /sys is not one.
      {"unwritable directory", WriteMode::kNoReplace, system,
       [=] {
         mkdir((d + "/ro").c_str(), 0555);
         return geteuid() == 0 ? std::string("/sys/a.obj") : d + "/ro/a.obj";
       },
       "Permission denied", Delivery::kNone, nullptr},
      {"no hard links", WriteMode::kNoReplace, fat, [=] { return d + "/a.obj"; }, "",
       Delivery::kFile, isNew},
      {"no hard links, existing file", WriteMode::kNoReplace, fat,
       [=] {
         file(d + "/a.obj", "old\n", 0644);
         return d + "/a.obj";
       },
       "File exists", Delivery::kNone,
       [](const std::string& p) { EXPECT_EQ(contents(p), "old\n"); }},
      {"neither hard links nor exclusive rename", WriteMode::kNoReplace, bare,
       [=] { return d + "/a.obj"; }, "", Delivery::kFile, isNew},
      {"neither, existing file", WriteMode::kNoReplace, bare,
       [=] {
         file(d + "/a.obj", "old\n", 0644);
         return d + "/a.obj";
       },
       "File exists", Delivery::kNone,
       [](const std::string& p) { EXPECT_EQ(contents(p), "old\n"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const viewkit::NamingCalls before = viewkit::setNamingCalls(c.naming);
    const std::string path = c.make();
    // A FIFO's reading end is opened first, so the write neither blocks nor fails.
    const int reader = kind(path) == S_IFIFO ? open(path.c_str(), O_RDONLY | O_NONBLOCK) : -1;
    std::string error;
    Delivery delivery = Delivery::kFile;
    const bool ok = viewkit::writeFile(
        path, [](FILE* f) { return writeText(f, "new\n"); }, error, c.mode, &delivery);
    viewkit::setNamingCalls(before);
    EXPECT_EQ(ok, *c.error == '\0');
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(delivery, c.delivery);
    if (c.check) c.check(path);
    if (reader >= 0) {
      char got[16] = {};
      const ssize_t n = read(reader, got, sizeof got);
      EXPECT_EQ(std::string(got, n > 0 ? static_cast<size_t>(n) : 0),
                c.mode == WriteMode::kUserOutput ? "new\n" : "");
      EXPECT_EQ(kind(path), static_cast<mode_t>(S_IFIFO));
      close(reader);
    }
    for (const std::string& name : entries())
      EXPECT_NE(name[0], '.') << "a temporary file is left: " << name;
    for (const std::string& name : entries()) {
      const std::string p = dir + "/" + name;
      if (unlink(p.c_str()) != 0) rmdir(p.c_str());
    }
  }

  // "-" is standard output, and so is a link that leads to /dev/stdout.
  ASSERT_EQ(symlink("/dev/stdout", (dir + "/out").c_str()), 0);
  for (const std::string& path : {std::string("-"), dir + "/out"}) {
    SCOPED_TRACE(path);
    std::string error;
    viewkit::Delivery delivery = viewkit::Delivery::kNone;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(viewkit::writeFile(
        path, [](FILE* f) { return writeText(f, "to stdout\n"); }, error,
        viewkit::WriteMode::kUserOutput, &delivery));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "to stdout\n");
    EXPECT_EQ(delivery, viewkit::Delivery::kStream);
  }
}

}  // namespace
