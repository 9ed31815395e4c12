// shapeView without a window: --info and --obj on records written by the
// shape library, every kind of bad input and command line, run as the real
// program so exit statuses, both streams and the files left are the ones a
// user sees. The window form of a bad file is run without a display: a
// window it tried to open would add the toolkit's complaint to the one line.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "testkit/glRecorder.h"
#include "testkit/scratchDir.h"
#include "viewer/commandLine.h"
#include "viewer/framing.h"
#include "viewer/recordPick.h"
#include "viewer/shapeViewApp.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShape.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"

namespace {

struct Outcome {
  int status = -1;
  std::string out, err;
};

class ShapeViewTest : public ::testing::Test {
 protected:
  std::vector<std::string> entries() const { return scratch.entries(); }

  // Runs the program through the shell with DISPLAY removed; stdout goes to
  // stdoutPath when one is given.
  Outcome run(const std::vector<std::string>& args, const std::string& stdoutPath = "") {
    const std::string outPath = stdoutPath.empty() ? dir + "/.stdout" : stdoutPath;
    const std::string errPath = dir + "/.stderr";
    std::string command = "env -u DISPLAY " SHAPEVIEW_PROGRAM;
    for (const std::string& a : args) command += " '" + a + "'";
    const int status = std::system((command + " >" + outPath + " 2>" + errPath).c_str());
    Outcome r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (stdoutPath.empty()) r.out = ScratchDir::contents(outPath);
    r.err = ScratchDir::contents(errPath);
    unlink(errPath.c_str());
    if (stdoutPath.empty()) unlink(outPath.c_str());
    return r;
  }

  // Writes the shapes' records one after another into a file of the test
  // directory and returns its path.
  std::string writeRecords(const std::string& name, const std::vector<zeShape*>& shapes) {
    const std::string path = dir + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    for (zeShape* s : shapes) s->writeToFile(f);
    std::fclose(f);
    return path;
  }
  std::string writeBytes(const std::string& name, const std::string& bytes) {
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  ScratchDir scratch{"shapeViewTest"};
  const std::string dir = scratch.path();
};

// A 60 x 60 mesh, a line loop, a fan with colours and texture, a record with
// the index list off that still carries a count, and one without vertices.
struct FiveRecords {
  zeMeshShape mesh{60, 60};
  zeShape loop{false, false, true};
  zeShape fan{true, false, false};
  zeShape points{false, false, false};
  zeShape empty{false, false, false};
  FiveRecords() {
    for (int i = 0; i < 4; ++i) {
      loop.addPoint(std::cos(i * 1.5707964f), std::sin(i * 1.5707964f), -2.5f);
      loop.addIndex(i);
    }
    loop.drawStyle = GL_LINE_LOOP;
    fan.enablePerVertexTextureCoords();
    fan.addPoint(0.0f, 0.0f, 0.0f);
    for (int i = 0; i < 4; ++i) fan.addPoint(static_cast<float>(i), 1.0f, 0.13f);
    fan.drawStyle = GL_TRIANGLE_FAN;
    for (int i = 0; i < 3; ++i) points.addPoint(-1.004f * i, 0.5f, 0.0f);
    points.drawStyle = GL_POINTS;
    points.indexListLength = 5;  // carried in the record, with no list behind it
    empty.drawStyle = 42;
  }
  std::vector<zeShape*> all() { return {&mesh, &loop, &fan, &points, &empty}; }
};

TEST_F(ShapeViewTest, InfoDescribesEveryRecordOfTheFile) {
  FiveRecords five;
  const std::string file = writeRecords("five.shape", five.all());
  const Outcome r = run({"--info", file});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "record 0 at byte 0: GL_TRIANGLE_STRIP 3600 vertices, 7139 indices, normals on, "
            "colours on, texture off, bounds (0.00, 0.00, 0.00) to (59.00, 59.00, 0.00)\n"
            "record 1 at byte 172642: GL_LINE_LOOP 4 vertices, 4 indices, normals off, colours "
            "off, texture off, bounds (-1.00, -1.00, -2.50) to (1.00, 1.00, -2.50)\n"
            "record 2 at byte 172792: GL_TRIANGLE_FAN 5 vertices, 0 indices, normals off, colours "
            "on, texture on, bounds (0.00, 0.00, 0.00) to (3.00, 1.00, 0.13)\n"
            "record 3 at byte 173078: GL_POINTS 3 vertices, 0 indices, normals off, colours off, "
            "texture off, bounds (-2.01, 0.50, 0.00) to (0.00, 0.50, 0.00)\n"
            "record 4 at byte 173200: 42 0 vertices, 0 indices, normals off, colours off, texture "
            "off, bounds none\n"
            "5 records, 173286 bytes\n");
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 173286);
}

TEST_F(ShapeViewTest, ObjHoldsEachRecordAsOneObjectWithItsElements) {
  FiveRecords five;
  const std::string file = writeRecords("five.shape", five.all());
  const std::string obj = dir + "/five.obj";
  writeBytes("five.obj", "an older file, replaced\n");
  const Outcome r = run({"--obj", obj, file});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "wrote " + obj + "\n");
  EXPECT_EQ(r.err, "");

  // Per object: counts of each kind, and each element's numbers within the
  // object's own vertices.
  std::map<std::string, std::map<std::string, int>> counts;
  std::vector<std::string> order;
  std::istringstream in(ScratchDir::contents(obj));
  std::string line, current;
  long first = 1, next = 1;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string kind;
    words >> kind;
    if (kind == "o") {
      words >> current;
      order.push_back(current);
      first = next;
      continue;
    }
    ++counts[current][kind];
    if (kind == "v") ++next;
    if (kind == "f" || kind == "l" || kind == "p")
      for (std::string w; words >> w;) {
        const long v = std::stol(w);
        EXPECT_TRUE(v >= first && v < next) << current << ": " << line;
      }
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"record0", "record1", "record2", "record3", "record4"}));
  EXPECT_EQ(counts["record0"],
            (std::map<std::string, int>{{"v", 3600}, {"vn", 3600}, {"f", 6962}}));
  EXPECT_EQ(counts["record1"], (std::map<std::string, int>{{"v", 4}, {"l", 1}}));
  EXPECT_EQ(counts["record2"], (std::map<std::string, int>{{"v", 5}, {"f", 3}}));
  EXPECT_EQ(counts["record3"], (std::map<std::string, int>{{"v", 3}, {"p", 3}}));
  EXPECT_EQ(counts["record4"], (std::map<std::string, int>{}));

  EXPECT_EQ(entries(), (std::vector<std::string>{"five.obj", "five.shape"}))
      << "no temporary file is left";
}

// A record with the 32-bit count at byte `at` (74: vertices, 79: indices)
// replaced.
std::string withCount(std::string record, size_t at, uint32_t count) {
  for (size_t i = 0; i < 4; ++i) record[at + i] = static_cast<char>(count >> (8 * i));
  return record;
}

TEST_F(ShapeViewTest, BadFilesGiveOneLineExitOneAndWriteNothing) {
  zeMeshShape mesh(60, 60);
  zeShape loop(false, false, false);
  for (int i = 0; i < 4; ++i) loop.addPoint(1.0f * i, 0.0f, 0.0f);
  const std::string two = ScratchDir::contents(writeRecords("two.shape", {&mesh, &loop}));
  const std::string meshRecord = two.substr(0, 172642);
  mkdir((dir + "/sub").c_str(), 0755);

  struct Case {
    std::string name, file, message;
  };
  const std::vector<Case> cases = {
      {"missing", dir + "/missing.shape",
       "cannot open " + dir + "/missing.shape: No such file or directory"},
      // Root reads any file whatever its mode, so the unreadable file is a
      // directory. Each way the reader refuses a record is the library's own
      // test; here one of each kind, and the offset of a record past the first.
      {"directory", dir + "/sub", "cannot open " + dir + "/sub: Is a directory"},
      {"empty", writeBytes("empty.shape", ""), dir + "/empty.shape: no records"},
      {"second record cut short", writeBytes("cut.shape", two.substr(0, two.size() - 1)),
       dir + "/cut.shape: record 1 at byte 172642 is truncated or invalid"},
      {"negative vertex count", writeBytes("neg.shape", withCount(meshRecord, 74, 0xFFFFFFFFu)),
       dir + "/neg.shape: record 0 at byte 0 is truncated or invalid"},
      {"overflowing counts",
       writeBytes("huge.shape", withCount(withCount(meshRecord, 74, 0x7FFFFFFFu), 79, 0x7FFFFFFFu)),
       dir + "/huge.shape: record 0 at byte 0 is truncated or invalid"},
      {"garbage",
       writeBytes("text.shape", std::string(40, '#') +
                                    " This is a text file, not a record of shapes; but it is "
                                    "long enough to be read as a header."),
       dir + "/text.shape: record 0 at byte 0 is truncated or invalid"},
  };
  const std::string obj = dir + "/out.obj";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> before = entries();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--info", c.file}, {"--obj", obj, c.file}, {c.file}}) {
      SCOPED_TRACE(args.size());
      const Outcome r = run(args);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err, "shapeView: " + c.message + "\n");
      EXPECT_EQ(r.out, "") << "what is refused never reaches standard output";
      EXPECT_EQ(entries(), before) << "nothing is written";
    }
  }
}

TEST_F(ShapeViewTest, CommandLineFormsAndMistakes) {
  const Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, shapeview::kUsage);
  EXPECT_EQ(help.err, "");

  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"--bogus", "x.shape"},
                                             {"--info"},
                                             {"--obj", "out.obj"},
                                             {"--info", "a", "b"},
                                             {"a.shape", "b.shape"}}) {
    SCOPED_TRACE(args.empty() ? "" : args[0]);
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, shapeview::kUsage);
  }

  zeShape s(false, false, false);
  s.addPoint();
  const std::string file = writeRecords("one.shape", {&s});
  // Output lost is a failure, not a success with nothing to show.
  struct stat dev;
  ASSERT_TRUE(stat("/dev/full", &dev) == 0 && S_ISCHR(dev.st_mode));
  const Outcome full = run({"--info", file}, "/dev/full");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "shapeView: cannot write standard output: No space left on device\n");
  const Outcome nowhere = run({"--obj", dir + "/none/out.obj", file});
  EXPECT_EQ(nowhere.status, 1);
  EXPECT_EQ(nowhere.err,
            "shapeView: cannot write " + dir + "/none/out.obj: No such file or directory\n");
  EXPECT_EQ(nowhere.out, "");
}

// Input without end: a device that yields empty records for ever ends at the
// record limit at once, and a pipe that never ends likewise.
TEST_F(ShapeViewTest, EndlessInputEndsAtTheLimitWithOneLine) {
  struct stat dev;
  ASSERT_TRUE(stat("/dev/zero", &dev) == 0 && S_ISCHR(dev.st_mode));
  const auto start = std::chrono::steady_clock::now();
  const Outcome r = run({"--info", "/dev/zero"});
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "shapeView: /dev/zero: more than 65536 records\n");
  EXPECT_EQ(r.out, "");
  EXPECT_LT(seconds, 1.0);
}

TEST(ShapeViewFramingTest, TheBoxSeenFromAnySideFillsButNeverLeavesTheWindow) {
  shapeview::Bounds box;
  box.add(zeVec3f(-3.0f, 10.0f, 100.0f));
  box.add(zeVec3f(5.0f, 14.0f, 101.0f));
  for (const int w : {1920, 600}) {
    const int h = 1080;
    const shapeview::Framing f = shapeview::frameBounds(box, w, h, 60.0f);
    EXPECT_FLOAT_EQ(f.centre.x, 1.0f);
    EXPECT_FLOAT_EQ(f.centre.z, 100.5f);
    const double eye = 0.5 * h / std::tan(M_PI / 6.0);
    double reach = 0.0;  // the largest share of a half side a corner reaches
    for (double turn = 0.0; turn < 2.0 * M_PI; turn += 0.1)
      for (double tilt = -M_PI / 2; tilt <= M_PI / 2; tilt += 0.1)
        for (int corner = 0; corner < 8; ++corner) {
          const double x = ((corner & 1) ? 5.0 : -3.0) - 1.0,
                       y = ((corner & 2) ? 14.0 : 10.0) - 12.0,
                       z = ((corner & 4) ? 101.0 : 100.0) - 100.5;
          const double x1 = x * std::cos(turn) - y * std::sin(turn);
          const double y1 = x * std::sin(turn) + y * std::cos(turn);
          const double y2 = y1 * std::cos(tilt) - z * std::sin(tilt);
          const double z2 = y1 * std::sin(tilt) + z * std::cos(tilt);
          const double d = eye / (eye - f.scale * z2);  // perspective enlargement
          reach = std::fmax(reach, std::fmax(std::fabs(f.scale * x1 * d) / (0.5 * w),
                                             std::fabs(f.scale * y2 * d) / (0.5 * h)));
        }
    EXPECT_LT(reach, 0.95) << w;
    EXPECT_GT(reach, 0.6) << w;
  }
  EXPECT_EQ(shapeview::frameBounds(shapeview::Bounds(), 800, 600, 60.0f).scale, 1.0f);
}

// A triangle record whose last draw put its corners at the given window
// points, all at one depth.
shapeview::ShapeRecord drawnTriangle(float depth, float shift) {
  shapeview::ShapeRecord r;
  r.shape = std::make_unique<zeShape>(false, false, false);
  zeShape& s = *r.shape;
  s.drawStyle = GL_TRIANGLES;
  const float corners[3][2] = {{0.0f, 0.0f}, {100.0f, 0.0f}, {0.0f, 100.0f}};
  for (const auto& c : corners) {
    const int v = s.addPoint(c[0] / 10.0f + shift, c[1] / 10.0f, -1.0f);
    s.screenVertexList[v].set(c[0] + shift, c[1], depth);
    // Picking orders surfaces by their world positions through the camera
    // (the identity in these tests): depth after the division is z.
    s.absVertexList[v].set(0.0f, 0.0f, depth);
  }
  return r;
}

TEST(ShapeViewPickTest, TheShapeInFrontIsPickedAtItsNearestVertex) {
  cameraMatrix.setIdentity();
  shapeview::ShapeFile file;
  file.records.push_back(drawnTriangle(0.6f, 0.0f));
  file.records.push_back(drawnTriangle(0.4f, 5.0f));  // in front, a little to the right
  shapeview::RecordPick p = shapeview::pickRecord(file, 20.0f, 70.0f);
  EXPECT_EQ(p.record, 1);
  EXPECT_EQ(p.vertex, 2);
  EXPECT_EQ(shapeview::pickLine(file, p), "record 1 vertex 2 (5.00, 10.00, -1.00)");
  // Only the back one reaches here.
  p = shapeview::pickRecord(file, 2.0f, 2.0f);
  EXPECT_EQ(p.record, 0);
  EXPECT_EQ(p.vertex, 0);
  EXPECT_EQ(shapeview::pickRecord(file, 90.0f, 90.0f).record, -1);

  // "dir/cloth.shape" gives cloth.png in the window test.
  EXPECT_EQ(shapeview::pictureStem("a.b/cloth"), "cloth");
  EXPECT_EQ(shapeview::pictureStem(".shape"), ".shape");
  EXPECT_EQ(shapeview::pictureStem("dir/"), "shapeView");
}

TEST(ShapeViewAppTest, RecordsAreFramedWhereTheirOwnTransformPutsThem) {
  zeuWindowWidth = 800;
  zeuWindowHeight = 600;
  zeuScreenFov = 60.0f;
  shapeview::ShapeFile file;
  file.records.emplace_back();
  file.records[0].shape = std::make_unique<zeShape>(false, false, false);
  zeShape* line = file.records[0].shape.get();
  line->addPoint(0.0f, 0.0f, 0.0f);
  line->addPoint(2.0f, 0.0f, 0.0f);
  line->Translation.set(100.0f, 0.0f, 0.0f);
  // An indexed record without indices: nothing to draw, nothing to frame,
  // and not the library's complaint about it on every frame.
  file.records.emplace_back();
  file.records[1].shape = std::make_unique<zeShape>(false, false, true);
  file.records[1].shape->addPoint(-500.0f, 0.0f, 0.0f);
  shapeview::ShapeViewApp app(std::move(file), "x");
  testing::internal::CaptureStdout();
  for (int frame = 0; frame < 2; ++frame) {
    zeuOpenToloFrame();
    app.draw();
    zeuCloseToloFrame();
  }
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_FLOAT_EQ(app.framing().centre.x, 101.0f);
  // The ends lie either side of the window's centre, far apart.
  const zeVec3f* w = line->screenVertexList;
  EXPECT_NEAR(w[0].x + w[1].x, 800.0f, 0.01f);
  EXPECT_GT(w[1].x - w[0].x, 400.0f);
  EXPECT_NEAR(w[0].y, 300.0f, 0.01f);
}

// Every record with normals is lit by the normals it holds: quads and lines
// no longer turn to (0, 0, 1), and a strip keeps its own rather than
// regenerated ones.
TEST(ShapeViewAppTest, RecordsAreLitByTheirStoredNormals) {
  zeuWindowWidth = 800;
  zeuWindowHeight = 600;
  zeuScreenFov = 60.0f;
  const GLenum modes[] = {GL_QUADS, GL_LINES, GL_TRIANGLE_STRIP};
  const zeVec3f normals[] = {zeVec3f(1, 0, 0), zeVec3f(0, 0.6f, 0.8f), zeVec3f(0, 0, -1)};
  shapeview::ShapeFile file;
  for (int k = 0; k < 3; ++k) {
    file.records.emplace_back();
    file.records.back().shape = std::make_unique<zeShape>(false, true, false);
    zeShape& s = *file.records.back().shape;
    s.drawStyle = modes[k];
    for (int i = 0; i < 4; ++i) {
      s.addPoint(static_cast<float>(i % 2), static_cast<float>(i / 2), 0.5f * i);
      s.normalList[i] = normals[k];
    }
  }
  shapeview::ShapeViewApp app(std::move(file), "x");
  glrec::reset();
  for (int frame = 0; frame < 2; ++frame) {  // the first also frames the records
    glrec::state().primitives.clear();
    zeuOpenToloFrame();
    app.draw();
    zeuCloseToloFrame();
  }
  const std::vector<glrec::Primitive>& drawn = glrec::state().primitives;
  ASSERT_EQ(drawn.size(), 3u);
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_FALSE(drawn[k].vertices.empty());
    for (const glrec::Vertex& v : drawn[k].vertices)
      EXPECT_TRUE(v.normal[0] == normals[k].x && v.normal[1] == normals[k].y &&
                  v.normal[2] == normals[k].z)
          << "record " << k;
  }
}

}  // namespace
