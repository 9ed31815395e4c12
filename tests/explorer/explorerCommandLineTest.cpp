// drapeExplorer's command line, run as a process without a display: bad
// values, help, batch digests on any thread count, and the files a batch
// run writes, read back by shapeView.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "testkit/scratchDir.h"

namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

class ExplorerCommandLineTest : public ::testing::Test {
 protected:
  // Runs a program in the scratch directory with DISPLAY removed.
  Outcome run(const std::string& program, const std::vector<std::string>& args) {
    std::string command = "cd '" + dir + "' && env -u DISPLAY " + program;
    for (const std::string& a : args) command += " '" + a + "'";
    const std::string outPath = dir + "/../" + name + ".out",
                      errPath = dir + "/../" + name + ".err";
    const int status = std::system((command + " >" + outPath + " 2>" + errPath).c_str());
    Outcome r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ScratchDir::contents(outPath);
    r.err = ScratchDir::contents(errPath);
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return r;
  }
  Outcome explorer(const std::vector<std::string>& args) { return run(EXPLORER_PROGRAM, args); }

  ScratchDir scratch{"explorerCommandLine"};
  const std::string dir = scratch.path();
  const std::string name = dir.substr(dir.rfind('/') + 1);
};

TEST_F(ExplorerCommandLineTest, BadValuesNameTheOptionExitWithTwoAndWriteNothing) {
  struct Case {
    std::vector<std::string> args;
    const char* mentions;
  };
  const Case cases[] = {
      {{"--size", "7"}, "--size: '7' is not a whole number from 8 to 512"},
      {{"--size", "60x"}, "--size"},
      {{"--threads", "0"}, "--threads: '0' is not a whole number from 1 to 64"},
      {{"--threads", "65"}, "--threads"},
      {{"--preset", "silk"},
       "--preset: unknown preset 'silk' (one of drape, curtain, flag, hanging, sphere, pile)"},
      {{"--batch", "-3"}, "--batch"},
      {{"--batch", ""}, "--batch: '' is not a whole number"},
      {{"--threads", "+2"}, "--threads: '+2' is not a whole number"},
      {{"--batch", "10", "--size"}, "--size: missing value"},
      {{"--obj", "cloth.obj"}, "--obj: only with --batch FRAMES"},
      {{"--fast"}, "unknown option '--fast'"},
      {{"--batch", "10", "--set", "stiffness=abc"},
       "--set stiffness=abc: stiffness takes a number from 1 to 5000"},
      {{"--set", "size=90", "--size", "60"}, "--set size=90: --size 60 gives another size"},
  };
  for (const Case& c : cases) {
    const Outcome r = explorer(c.args);
    EXPECT_EQ(r.status, 2) << c.mentions;
    EXPECT_EQ(r.out, "") << c.mentions;
    EXPECT_EQ(r.err.rfind("drapeExplorer: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_TRUE(scratch.entries().empty());
  const Outcome help = explorer({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: drapeExplorer", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("--set NAME=VALUE"), std::string::npos) << help.out;
  EXPECT_NE(help.out.find("--list-params"), std::string::npos) << help.out;
}

// The table on standard output, a line per parameter with its range and
// drape's default, then the presets.
TEST_F(ExplorerCommandLineTest, ListParamsPrintsTheTable) {
  const Outcome r = explorer({"--list-params"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* line :
       {"\nsize               8 to 512         60        nodes per side",
        "\nstiffness          1 to 5000        10.0      spring stiffness",
        "\nwind               0 or 1           0         wind on",
        "\nsolver             springs or xpbd  springs   springs", "\n  curtain "})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
  EXPECT_TRUE(scratch.entries().empty());
}

TEST_F(ExplorerCommandLineTest, BatchDigestIsDrapesAndTheSameOnEveryThreadCount) {
  EXPECT_EQ(explorer({"--batch", "600", "--threads", "2"}).out,
            "cloth digest 600 397985222761ac3e\n");
  // 10 is drape's own stiffness; a preset's value and --set's agree.
  EXPECT_EQ(explorer({"--batch", "600", "--threads", "2", "--set", "stiffness=10"}).out,
            "cloth digest 600 397985222761ac3e\n");
  EXPECT_EQ(explorer({"--batch", "40", "--set", "stiffness=2000", "--preset", "curtain"}).out,
            explorer({"--batch", "40", "--preset", "curtain"}).out);
  const std::string one = explorer({"--batch", "40", "--size", "200", "--threads", "1"}).out;
  EXPECT_EQ(one.rfind("cloth digest 40 ", 0), 0u) << one;
  for (const char* threads : {"2", "5"})
    EXPECT_EQ(explorer({"--batch", "40", "--size", "200", "--threads", threads}).out, one);
}

TEST_F(ExplorerCommandLineTest, BatchWritesTheFinalClothThatShapeViewReads) {
  const Outcome r = explorer({"--batch", "50", "--size", "16", "--preset", "curtain", "--obj",
                              "c.obj", "--shape", "c.shape"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::string obj = ScratchDir::contents(dir + "/c.obj");
  std::istringstream lines(obj);
  int vertices = 0, normals = 0, faces = 0;
  for (std::string line; std::getline(lines, line);) {
    vertices += line.rfind("v ", 0) == 0;
    normals += line.rfind("vn ", 0) == 0;
    faces += line.rfind("f ", 0) == 0;
  }
  EXPECT_EQ(vertices, 256);
  EXPECT_EQ(normals, 256);
  EXPECT_EQ(faces, 2 * 15 * 15);
  const Outcome info = run(SHAPEVIEW_PROGRAM, {"--info", "c.shape"});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("256"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("1 records"), std::string::npos) << info.out;
  // Sent to standard output, the file is all there is: the digest goes to
  // the error stream.
  for (const std::string kind : {"obj", "shape"}) {
    const Outcome piped =
        explorer({"--batch", "50", "--size", "16", "--preset", "curtain", "--" + kind, "-"});
    EXPECT_EQ(piped.out, ScratchDir::contents(dir + "/c." + kind)) << kind;
    EXPECT_EQ(piped.err.rfind("cloth digest 50 ", 0), 0u) << piped.err;
  }
}

}  // namespace
