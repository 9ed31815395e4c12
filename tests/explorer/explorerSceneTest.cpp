// Scenes: a cloth saved and opened again runs on to the bits of the run that
// saved it (in the library, through the s key and through the program), floats
// keep their bits (within the bound on a node's values), and each kind of bad
// scene is one line on standard error, exit status 1, no window and no file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cloth/obstacles.h"
#include "explorer/drapeExplorerApp.h"
#include "explorer/scene.h"
#include "testkit/glRecorder.h"
#include "testkit/scratchDir.h"
#include "zeu/zeu.h"

namespace {

std::string text(const cloth::Cloth& c) {
  std::string t, error;
  EXPECT_TRUE(explorer::sceneText(c, t, error)) << error;
  return t;
}

std::unique_ptr<cloth::Cloth> reopen(const cloth::Cloth& c) {
  std::string error;
  auto r = explorer::clothFromScene(text(c), 3, error);
  EXPECT_TRUE(r) << error;
  return r;
}

void runTo(cloth::Cloth& c, long frame) {
  while (c.frame() < frame) c.advance();
}

TEST(Scene, SavedAndOpenedRunsOnToTheBitsOfTheRunThatSavedIt) {
  // The flag's gusts follow the step count, tearing cuts links by itself, the
  // curtain gets cuts and pins by hand, and drape's own cloth ends on its digest.
  const struct {
    cloth::Preset preset;
    int size;
    long saveAt, runTo;
    bool tearing;
  } cases[] = {{cloth::Preset::flag, 24, 37, 90, false},
               {cloth::Preset::drape, 20, 60, 120, true},
               {cloth::Preset::curtain, 16, 20, 60, false},
               {cloth::Preset::drape, 60, 300, 600, false}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.size);
    cloth::Params p = cloth::presetParams(k.preset, k.size);
    p.tearing = k.tearing;
    p.tearStretch = 1.1f;
    cloth::Cloth run(k.preset, p, 2);
    runTo(run, 5);
    if (k.preset == cloth::Preset::curtain) {
      run.cutRight(3);
      run.cutUp(40);
      run.setPinned(k.size * k.size - 1, false);
      run.setPinned(7, true);
    }
    runTo(run, k.saveAt);
    EXPECT_TRUE(!k.tearing || run.cutLinks() > 0);
    const auto opened = reopen(run);
    ASSERT_TRUE(opened);
    EXPECT_EQ(text(*opened), text(run));  // nothing lost or added
    EXPECT_EQ(opened->cutLinks(), run.cutLinks());
    runTo(run, k.runTo);
    runTo(*opened, k.runTo);
    EXPECT_EQ(cloth::digest(*opened), cloth::digest(run));
    EXPECT_TRUE(k.size != 60 || cloth::digest(run) == 0x397985222761ac3eull);
  }
}

// A scene written before the cloth had a choice of solver names none of the
// parameters that came with it: it opens on the springs, on the terrain,
// without tethers, and runs on as the program that wrote it did.
TEST(Scene, AFileFromBeforeTheSolverChoiceRunsTheSpringsOnToTheSameBits) {
  cloth::Params p = cloth::presetParams(cloth::Preset::curtain, 24);
  // The curtain as it was: springs, and the values it had then.
  p.solver = cloth::kSolverSprings;
  p.stiffness = 2000.0f;
  p.gravity = 20.0f;
  p.damping = 0.98f;
  p.timeStep = 0.01;
  p.stepsPerFrame = 1;
  p.tethers = true;  // a value the old file cannot hold: it must not come back
  cloth::Cloth run(cloth::Preset::curtain, p, 2);
  runTo(run, 40);
  nlohmann::ordered_json old = nlohmann::ordered_json::parse(text(run));
  for (const char* newer :
       {"solver", "stretchCompliance", "shearCompliance", "bendCompliance", "tethers", "terrain"})
    ASSERT_EQ(old["params"].erase(newer), 1u) << newer;
  std::string error;
  auto opened = explorer::clothFromScene(old.dump(), 3, error);
  ASSERT_TRUE(opened) << error;
  EXPECT_EQ(opened->params().solver, cloth::kSolverSprings);
  EXPECT_TRUE(opened->params().terrain);
  EXPECT_FALSE(opened->params().tethers);
  // Tethers do nothing on the springs: the two run on alike.
  runTo(run, 120);
  runTo(*opened, 120);
  EXPECT_EQ(cloth::digest(*opened), cloth::digest(run));
  // A solver the program does not know is refused by name.
  old["params"]["solver"] = "verlet";
  EXPECT_FALSE(explorer::clothFromScene(old.dump(), 1, error));
  EXPECT_NE(error.find("'params.solver' is \"verlet\", not one of springs, xpbd"),
            std::string::npos)
      << error;
}

// The lab page hands the reader the text it fetched, which has no file's
// size bound on the way.
TEST(Scene, TextBeyondTheSizeBoundIsRefused) {
  std::string error;
  EXPECT_FALSE(explorer::clothFromScene(std::string(explorer::kMaxSceneBytes + 1, ' '), 1, error));
  EXPECT_EQ(error, "larger than 128 MiB");
}

TEST(Scene, FloatsKeepTheirBitsAndNonFiniteNodesAreNotSaved) {
  cloth::Params p = cloth::presetParams(cloth::Preset::flag, 8);
  p.stiffness = std::nextafter(10.0f, 11.0f);
  p.damping = 0.9f;  // the float nearest the bound, which lies just below it
  p.timeStep = 0.01 + 1e-17;
  cloth::Cloth c(cloth::Preset::flag, p);
  // The extremes a scene holds: a node's values are within kMaxSceneMagnitude.
  const float most = explorer::kMaxSceneMagnitude;
  const float v[] = {-0.0f, FLT_TRUE_MIN, -FLT_MIN / 3, FLT_MIN, most,
                     -most, 0.1f,         1.0f / 3,     30.0f,   std::nextafter(30.0f, 0.0f)};
  for (int n = 0; n < 64; ++n)
    c.setNode(n, zeVec3f(v[n % 10], v[(n + 1) % 10], v[(n + 2) % 10]),
              zeVec3f(v[(n + 3) % 10], v[(n + 4) % 10], v[(n + 5) % 10]), n % 3 == 0);
  const auto r = reopen(c);
  ASSERT_TRUE(r);
  EXPECT_EQ(std::memcmp(r->positions(), c.positions(), sizeof(zeVec3f) * 64), 0);
  EXPECT_EQ(std::memcmp(r->velocities(), c.velocities(), sizeof(zeVec3f) * 64), 0);
  EXPECT_EQ(cloth::digest(*r), cloth::digest(c));  // the contact flags too
  EXPECT_EQ(std::memcmp(&r->params().stiffness, &p.stiffness, 4), 0);
  EXPECT_EQ(std::memcmp(&r->params().damping, &p.damping, 4), 0);
  EXPECT_EQ(r->params().timeStep, p.timeStep);
  const struct {
    float bad;
    const char* says;
  } unsaved[] = {{NAN, "node 9 is not finite"},
                 {INFINITY, "node 9 is not finite"},
                 {-std::nextafter(most, INFINITY), "node 9 is beyond 1e+06"},
                 {FLT_MAX, "node 9 is beyond 1e+06"}};
  for (const auto& u : unsaved) {
    for (int k = 0; k < 2; ++k) {
      c.setNode(9, zeVec3f(k ? u.bad : 0.0f, 0.0f, 0.0f), zeVec3f(0.0f, k ? 0.0f : u.bad, 0.0f),
                false);
      std::string t, error;
      EXPECT_FALSE(explorer::sceneText(c, t, error)) << u.bad;
      EXPECT_EQ(error, u.says);
    }
  }
}

class SceneFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    glrec::state().recording = false;
    zeuScreenFov = 60.0f;
    zeuWindowWidth = 1920;
    zeuWindowHeight = 1080;
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(previous), 0); }

  // Runs the program in the scratch directory with DISPLAY removed.
  int program(const std::string& args, std::string& out, std::string& err) {
    const std::string o = dir + ".out", e = dir + ".err";
    const int status =
        std::system(("env -u DISPLAY " EXPLORER_PROGRAM " " + args + " >" + o + " 2>" + e).c_str());
    out = ScratchDir::contents(o);
    err = ScratchDir::contents(e);
    std::remove(o.c_str());
    std::remove(e.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  ScratchDir scratch{"explorerScene"};
  const std::string dir = scratch.path();
  char previous[4096];
};

// A closed box 16 wide and 8 high about (0, 0, 4), as OBJ.
const char* const kCubeObj =
    "v -8 -8 0\nv 8 -8 0\nv 8 8 0\nv -8 8 0\nv -8 -8 8\nv 8 -8 8\nv 8 8 8\nv -8 8 8\n"
    "f 1 3 2\nf 1 4 3\nf 5 6 7\nf 5 7 8\nf 1 2 6\nf 1 6 5\nf 2 3 7\nf 2 7 6\nf 3 4 8\n"
    "f 3 8 7\nf 4 1 5\nf 4 5 8\n";

// A mesh collider goes into the scene by its file and digest, and comes
// back from that file: the reopened cloth runs on to the same bits.
TEST_F(SceneFilesTest, AMeshColliderIsSavedByItsFileAndRunsOnToTheSameBits) {
  std::ofstream("cube.obj") << kCubeObj;
  std::string error;
  auto mesh = cloth::loadMeshObstacle("cube.obj", error);
  ASSERT_TRUE(mesh) << error;
  cloth::Params p = cloth::presetParams(cloth::Preset::sphere, 16);
  p.ball = false;
  cloth::Cloth c(cloth::Preset::sphere, p, 1);
  c.setMeshes({mesh});
  runTo(c, 60);
  const std::string saved = text(c);
  EXPECT_NE(
      saved.find("\"colliders\": [{\"file\":\"cube.obj\",\"digest\":\"" + mesh->digest + "\"}]"),
      std::string::npos)
      << saved;
  auto r = explorer::clothFromScene(saved, 2, error);
  ASSERT_TRUE(r) << error;
  ASSERT_EQ(r->obstacles().meshes.size(), 1u);
  runTo(c, 90);
  runTo(*r, 90);
  EXPECT_EQ(cloth::digest(*r), cloth::digest(c));
  int touching = 0;
  for (int n = 0; n < c.nodeCount(); ++n) touching += c.inContact(n);
  EXPECT_GT(touching, 0) << "the sheet lies on the box";
  EXPECT_GT(c.positions()[8 * 16 + 8].z, 8.0f) << "its middle on the box's top";
}

// --collider files that are not closed meshes: one line naming the file
// and what is wrong, status 1, no window, nothing written.
TEST_F(SceneFilesTest, BadCollidersAreOneLineExitOne) {
  std::ofstream("open.obj") << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
  std::ofstream("text.obj") << "hello\n";
  const std::vector<std::string> before = scratch.entries();
  const std::pair<const char*, const char*> runs[] = {
      {"missing.obj", "No such file or directory"}, {".", "is a directory"},
      {"/dev/zero", "not a regular file"},          {"text.obj", "not OBJ"},
      {"open.obj", "the mesh is not closed"},
  };
  for (const auto& run : runs) {
    std::string out, err;
    EXPECT_EQ(program(std::string("--collider ") + run.first, out, err), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err.rfind(std::string("drapeExplorer: ") + run.first + ": ", 0), 0u) << err;
    EXPECT_NE(err.find(run.second), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  EXPECT_EQ(scratch.entries(), before);
}

TEST_F(SceneFilesTest, BadScenesAreOneLineExitOneNoWindowAndNothingWritten) {
  using Json = nlohmann::ordered_json;
  cloth::Cloth c(cloth::Preset::curtain, cloth::presetParams(cloth::Preset::curtain, 8), 1);
  runTo(c, 12);
  std::ofstream("early.json") << text(c);
  const Json good = Json::parse(text(c));
  // A file's content (when edit is null) or good with edit applied.
  const struct {
    const char* content;
    void (*edit)(Json&);
    const char* says;
  } cases[] = {
      {"{\"version\": 1,", nullptr, "not JSON (at byte"},
      {"", nullptr, "not JSON (at byte"},
      {"[1, 2]", nullptr, "not a scene (not a JSON object)"},
      {"{\"version\": 1e400}", nullptr, "a number is too large to read"},
      {"", [](Json& j) { j.erase("steps"); }, "missing 'steps'"},
      {"", [](Json& j) { j["params"].erase("stiffness"); }, "missing 'params.stiffness'"},
      {"", [](Json& j) { j["size"] = "8"; }, "'size' is not a whole number"},
      {"", [](Json& j) { j["params"]["wind"] = 1; }, "'params.wind' is not true or false"},
      {"", [](Json& j) { j["params"]["gravity"] = "20"; }, "'params.gravity' is not a number"},
      {"", [](Json& j) { j["preset"] = "silk"; }, "'preset' is not one of drape, curtain"},
      {"", [](Json& j) { j["nodes"]["positions"] = 0; }, "'nodes.positions' is not an array"},
      {"", [](Json& j) { j["version"] = 2; }, "version 2 is not one this program reads (1)"},
      {"", [](Json& j) { j["size"] = 600; }, "'size' is 600, not within 8 to 512"},
      {"", [](Json& j) { j["params"]["damping"] = 1.5; }, "'params.damping' is 1.5, not within"},
      {"", [](Json& j) { j["steps"] = -1; }, "'steps' is -1, not within 0 to"},
      {"", [](Json& j) { j["nodes"]["contact"][3] = 2; }, "'nodes.contact[3]' is 2, not within"},
      {"", [](Json& j) { j["nodes"]["velocities"][4] = 1e39; }, "[4]' is 1e+39, not a float"},
      {"", [](Json& j) { j["nodes"]["positions"][5] = -2e6; }, "[5]' is -2000000.0, beyond 1e+06"},
      {"", [](Json& j) { j["nodes"]["velocities"][6] = 3e38; }, "[6]' is 3e+38, beyond 1e+06"},
      {"",
       [](Json& j) {
         j["pins"] = Json::array({5, 64});
       },
       "'pins[1]' is 64, which names no node"},
      {"", [](Json& j) { j["cuts"]["right"] = {15}; }, "is node 15, which has no link right"},
      {"",
       [](Json& j) {
         j["cuts"]["up"] = Json::array({0, 60});
       },
       "is node 60, which has no link up"},
      {"", [](Json& j) { j["nodes"]["positions"].erase(0); }, "holds 191 values, size 8 needs 192"},
      {"", [](Json& j) { j["size"] = 9; }, "'nodes.positions' holds 192 values, size 9 needs 243"},
      {"",
       [](Json& j) {
         j["colliders"] = Json::array({{{"file", "gone.obj"}, {"digest", "0"}}});
       },
       "'colliders[0]': gone.obj: No such file or directory"},
      {"",
       [](Json& j) {
         j["colliders"] = Json::array({{{"file", "cube.obj"}, {"digest", "0123456789abcdef"}}});
       },
       "'colliders[0]': cube.obj is not the file the scene was saved with"},
  };
  std::ofstream("cube.obj") << kCubeObj;
  std::vector<std::pair<std::string, std::string>> runs = {
      {"missing.json", "No such file or directory"},
      {".", "Is a directory"},
      {"/dev/zero", "larger than 128 MiB"},
      {"early.json", "the scene is at frame 12, past --batch 11"},
      {"huge.json", "larger than 128 MiB"},
      {"full.json", "not JSON (at byte 1)"},
      {"deep.json", "nested deeper than 64 levels (at byte "},
      {"deeper.json", "nested deeper than 64 levels (at byte 65)"},
      {"deepest.json", "not a scene (not a JSON object)"},
      {"deepInString.json", "missing 'version'"}};
  // Sparse files of zeros one byte over the size bound and at it.
  for (const auto& [name, bytes] : {std::make_pair("huge.json", explorer::kMaxSceneBytes + 1),
                                    std::make_pair("full.json", explorer::kMaxSceneBytes)}) {
    std::ofstream{name};
    ASSERT_EQ(truncate(name, bytes), 0);
  }
  // A parameter nested deep enough to overflow the stack of a recursive
  // reader (or of the message quoting it), one level past the bound, at the
  // bound, and brackets in a string (after an escaped quote), which do not
  // nest.
  Json marked = good;
  marked["params"]["solver"] = "here";
  std::string deep = marked.dump();
  deep.replace(deep.find("\"here\""), 6, std::string(150000, '[') + std::string(150000, ']'));
  std::ofstream("deep.json") << deep;
  std::ofstream("deeper.json") << std::string(65, '[') << std::string(65, ']');
  std::ofstream("deepest.json") << std::string(64, '[') << std::string(64, ']');
  std::ofstream("deepInString.json") << "{\"a\": \"\\\"" << std::string(100, '[') << "\"}";
  for (const auto& bad : cases) {
    runs.emplace_back("bad" + std::to_string(runs.size()) + ".json", bad.says);
    Json j = good;
    if (bad.edit) bad.edit(j);
    std::ofstream(runs.back().first) << (bad.edit ? j.dump() : bad.content);
  }
  const std::vector<std::string> before = scratch.entries();
  for (size_t i = 0; i < runs.size(); ++i) {
    // Half without --batch: the window would open next, had the scene been good.
    const bool batch = i % 2 == 1 || runs[i].first == "early.json";
    std::string out, err;
    EXPECT_EQ(program("--scene " + runs[i].first + (batch ? " --batch 11" : ""), out, err), 1);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err.rfind("drapeExplorer: " + runs[i].first + ": ", 0), 0u) << err;
    EXPECT_NE(err.find(runs[i].second), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  EXPECT_EQ(scratch.entries(), before);
}

}  // namespace

// A scene's cut links lose their faces in the files --batch writes, as in the
// window: one link right and one up, far apart inside the sheet, take two
// triangles each.
TEST_F(SceneFilesTest, BatchFilesOfASceneWithCutsLackTheirFaces) {
  cloth::Cloth c(cloth::Preset::drape, cloth::presetParams(cloth::Preset::drape, 16), 1);
  runTo(c, 10);
  std::ofstream("whole.json") << text(c);
  c.cutRight(3 * 16 + 4);
  c.cutUp(10 * 16 + 9);
  std::ofstream("cut.json") << text(c);
  const struct {
    const char* scene;
    int faces;
  } cases[] = {{"whole.json", 2 * 15 * 15}, {"cut.json", 2 * 15 * 15 - 4}};
  for (const auto& k : cases) {
    std::string out, err;
    ASSERT_EQ(program(std::string("--scene ") + k.scene + " --batch 12 --obj c.obj", out, err), 0)
        << err;
    std::ifstream obj("c.obj");
    int faces = 0;
    for (std::string l; std::getline(obj, l);) faces += l.rfind("f ", 0) == 0;
    EXPECT_EQ(faces, k.faces) << k.scene;
  }
}
