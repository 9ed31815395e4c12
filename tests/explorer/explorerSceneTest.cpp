// Scenes: a cloth saved and opened again runs on to the same bits as the run
// that saved it (in the library, through the s key, and through the program's
// --scene --batch), floats keep their bits, and every kind of bad scene is one
// line on standard error, exit status 1, no window and no file.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "explorer/drapeExplorerApp.h"
#include "explorer/scene.h"
#include "tests/support/glRecorder.h"
#include "tests/support/scratchDir.h"
#include "zeu/zeu.h"

namespace {

using Json = nlohmann::ordered_json;

std::string text(const cloth::Cloth& c) {
  std::string t, error;
  EXPECT_TRUE(explorer::sceneText(c, t, error)) << error;
  return t;
}

std::unique_ptr<cloth::Cloth> reopen(const cloth::Cloth& c, int threads) {
  std::string error;
  auto r = explorer::clothFromScene(text(c), threads, error);
  EXPECT_TRUE(r) << error;
  return r;
}

void runTo(cloth::Cloth& c, long frame) {
  while (c.frame() < frame) c.advance();
}

TEST(Scene, SavedAndOpenedRunsOnToTheBitsOfTheRunThatSavedIt) {
  struct Case {
    cloth::Preset preset;
    int size;
    long saveAt, runTo;
    bool tearing;
  };
  // The flag's gusts follow the step count; tearing cuts links by itself;
  // the curtain gets cuts and pins changed by hand.
  const Case cases[] = {{cloth::Preset::flag, 24, 37, 90, false},
                        {cloth::Preset::drape, 20, 60, 120, true},
                        {cloth::Preset::curtain, 16, 20, 60, false},
                        {cloth::Preset::drape, 60, 300, 600, false}};
  for (const Case& k : cases) {
    SCOPED_TRACE(cloth::presetName(k.preset));
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
    const auto opened = reopen(run, 3);
    ASSERT_TRUE(opened);
    EXPECT_EQ(text(*opened), text(run));  // nothing lost or added
    EXPECT_EQ(opened->cutLinks(), run.cutLinks());
    if (k.tearing) {
      EXPECT_GT(run.cutLinks(), 0);
    }
    runTo(run, k.runTo);
    runTo(*opened, k.runTo);
    EXPECT_EQ(cloth::digest(*opened), cloth::digest(run));
    if (k.size == 60) {  // drape's own cloth
      EXPECT_EQ(cloth::digest(run), 0x397985222761ac3eull);
    }
  }
}

TEST(Scene, FloatsKeepTheirBitsAndNonFiniteNodesAreNotSaved) {
  cloth::Params p = cloth::presetParams(cloth::Preset::flag, 8);
  p.stiffness = std::nextafter(10.0f, 11.0f);
  p.damping = 0.9f;  // the float nearest the bound, which is just below it
  p.timeStep = 0.01 + 1e-17;
  cloth::Cloth c(cloth::Preset::flag, p);
  const float values[] = {
      -0.0f,    FLT_TRUE_MIN, -FLT_MIN / 3, FLT_MIN, FLT_MAX,
      -FLT_MAX, 0.1f,         1.0f / 3,     30.0f,   std::nextafter(30.0f, 0.0f)};
  const int kinds = sizeof values / sizeof values[0];
  for (int n = 0; n < c.nodeCount(); ++n)
    c.setNode(n, zeVec3f(values[n % kinds], values[(n + 1) % kinds], values[(n + 2) % kinds]),
              zeVec3f(values[(n + 3) % kinds], values[(n + 4) % kinds], values[(n + 5) % kinds]),
              n % 3 == 0);
  const auto r = reopen(c, 1);
  ASSERT_TRUE(r);
  EXPECT_EQ(std::memcmp(r->positions(), c.positions(), sizeof(zeVec3f) * 64), 0);
  EXPECT_EQ(std::memcmp(r->velocities(), c.velocities(), sizeof(zeVec3f) * 64), 0);
  for (int n = 0; n < 64; ++n) EXPECT_EQ(r->inContact(n), c.inContact(n)) << n;
  EXPECT_EQ(std::memcmp(&r->params().stiffness, &p.stiffness, 4), 0);
  EXPECT_EQ(std::memcmp(&r->params().damping, &p.damping, 4), 0);
  EXPECT_EQ(r->params().timeStep, p.timeStep);
  EXPECT_TRUE(std::signbit(r->positions()[0].x));

  for (float bad : {NAN, INFINITY}) {
    c.setNode(9, zeVec3f(), zeVec3f(0.0f, bad, 0.0f), false);
    std::string t, error;
    EXPECT_FALSE(explorer::sceneText(c, t, error));
    EXPECT_EQ(error, "node 9 is not finite");
  }
}

class SceneFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    glrec::state().recording = false;
    zeuScreenFov = 60.0f;
    zeuWindowClear = true;
    zeuWindowWidth = 1920;
    zeuWindowHeight = 1080;
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(previous), 0); }

  // Runs the program in the scratch directory with DISPLAY removed.
  int program(const std::vector<std::string>& args, std::string& out, std::string& err) {
    std::string command = "env -u DISPLAY " EXPLORER_PROGRAM;
    for (const std::string& a : args) command += " '" + a + "'";
    const std::string o = dir + ".out", e = dir + ".err";
    const int status = std::system((command + " >" + o + " 2>" + e).c_str());
    out = ScratchDir::contents(o);
    err = ScratchDir::contents(e);
    std::remove(o.c_str());
    std::remove(e.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void put(const std::string& name, const std::string& content) {
    std::ofstream(name, std::ios::binary) << content;
  }

  ScratchDir scratch{"explorerScene"};
  const std::string dir = scratch.path();
  char previous[4096];
};

// s in the window: the scene of the frame shown, never over another file; a
// scene opened into the app goes on from its frame.
TEST_F(SceneFilesTest, SKeySavesTheSceneTheAppOpensAndRefusesANonFiniteCloth) {
  auto app = std::make_unique<drapeExplorerApp>(cloth::Preset::flag,
                                                cloth::presetParams(cloth::Preset::flag, 16), 2);
  app->resize(0.0f, 0.0f, 1920, 1080);
  for (int k = 0; k < 30; ++k) {
    zeuOpenToloFrame();
    app->draw();
    zeuCloseToloFrame();
  }
  testing::internal::CaptureStdout();
  app->keyDown('s');
  app->keyDown('s');
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "wrote drape-00030.json\nwrote drape-00030-1.json\n");
  EXPECT_EQ(ScratchDir::contents("drape-00030.json"), text(app->cloth()));

  std::string error;
  auto opened = explorer::readScene("drape-00030.json", 1, error);
  ASSERT_TRUE(opened) << error;
  drapeExplorerApp reopened(std::move(opened));
  EXPECT_EQ(reopened.frame(), 30);
  for (drapeExplorerApp* a : {app.get(), &reopened}) {
    a->resize(0.0f, 0.0f, 1920, 1080);
    zeuOpenToloFrame();
    a->draw();
    zeuCloseToloFrame();
  }
  EXPECT_EQ(reopened.frame(), 31);
  EXPECT_EQ(cloth::digest(reopened.cloth()), cloth::digest(app->cloth()));

  app->cloth().setNode(5, zeVec3f(NAN, 0.0f, 0.0f), zeVec3f(), false);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(app->saveScene());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "could not write drape-00031.json: node 5 is not finite\n");
  EXPECT_EQ(scratch.entries(),
            (std::vector<std::string>{"drape-00030-1.json", "drape-00030.json"}));
}

// Through the program: a scene saved at frame 40 of the flag, run on to 120
// with --scene --batch, prints the line of the straight run to 120.
TEST_F(SceneFilesTest, ProgramRunsASceneOnToTheStraightRunsDigest) {
  cloth::Cloth c(cloth::Preset::flag, cloth::presetParams(cloth::Preset::flag, 24), 1);
  runTo(c, 40);
  std::string error, out, err;
  ASSERT_TRUE(explorer::writeScene(c, "at40.json", error)) << error;
  EXPECT_FALSE(explorer::writeScene(c, "at40.json", error));  // never over a file
  ASSERT_EQ(program({"--batch", "120", "--preset", "flag", "--size", "24"}, out, err), 0) << err;
  const std::string straight = out;
  EXPECT_EQ(straight.rfind("cloth digest 120 ", 0), 0u) << straight;
  EXPECT_EQ(program({"--scene", "at40.json", "--batch", "120", "--threads", "2"}, out, err), 0)
      << err;
  EXPECT_EQ(out, straight);
  EXPECT_EQ(program({"--scene", "at40.json", "--size", "24"}, out, err), 2);
  EXPECT_EQ(err, "drapeExplorer: --size: not with --scene (the scene holds its size and preset)\n");
}

TEST_F(SceneFilesTest, BadScenesAreOneLineExitOneNoWindowAndNothingWritten) {
  cloth::Cloth c(cloth::Preset::curtain, cloth::presetParams(cloth::Preset::curtain, 8), 1);
  runTo(c, 12);
  const Json good = Json::parse(text(c));
  using Edit = std::function<void(Json&)>;
  struct Case {
    const char* content;  // nullptr: good edited by edit; "" an empty file
    Edit edit;
    const char* says;
  };
  const Case cases[] = {
      {"{\"version\": 1,", nullptr, "not JSON (at byte"},
      {"", nullptr, "not JSON (at byte"},
      {"[1, 2]", nullptr, "not a scene (not a JSON object)"},
      {nullptr, [](Json& j) { j.erase("steps"); }, "missing 'steps'"},
      {nullptr, [](Json& j) { j["params"].erase("stiffness"); }, "missing 'params.stiffness'"},
      {nullptr, [](Json& j) { j["nodes"].erase("contact"); }, "missing 'nodes.contact'"},
      {nullptr, [](Json& j) { j["size"] = "8"; }, "'size' is not a whole number"},
      {nullptr, [](Json& j) { j["frame"] = 12.0; }, "'frame' is not a whole number"},
      {nullptr, [](Json& j) { j["params"]["wind"] = 1; }, "'params.wind' is not true or false"},
      {nullptr, [](Json& j) { j["params"]["gravity"] = "20"; }, "'params.gravity' is not a number"},
      {nullptr, [](Json& j) { j["preset"] = "silk"; }, "'preset' is not one of drape, curtain"},
      {nullptr, [](Json& j) { j["nodes"]["positions"] = Json::object(); },
       "'nodes.positions' is not an array"},
      {nullptr, [](Json& j) { j["version"] = 2; }, "version 2 is not one this program reads (1)"},
      {nullptr, [](Json& j) { j["size"] = 600; }, "'size' is 600, not within 8 to 512"},
      {nullptr, [](Json& j) { j["params"]["damping"] = 1.5; },
       "'params.damping' is 1.5, not within 0.9 to 1"},
      {nullptr, [](Json& j) { j["steps"] = -1; }, "'steps' is -1, not within 0 to"},
      {nullptr, [](Json& j) { j["frame"] = 18446744073709551615ull; }, "'frame' is 1844"},
      {nullptr, [](Json& j) { j["nodes"]["contact"][3] = 2; },
       "'nodes.contact[3]' is 2, not within 0 to 1"},
      {nullptr, [](Json& j) { j["nodes"]["velocities"][4] = 1e39; },
       "'nodes.velocities[4]' is 1e+39, not a float"},
      {nullptr,
       [](Json& j) {
         j["pins"] = {5, 64};
       },
       "'pins[1]' is 64, which names no node"},
      {nullptr, [](Json& j) { j["pins"] = {-1}; }, "'pins[0]' is -1, which names no node"},
      {nullptr, [](Json& j) { j["cuts"]["right"] = {15}; },
       "'cuts.right[0]' is node 15, which has no link right"},
      {nullptr,
       [](Json& j) {
         j["cuts"]["up"] = {0, 60};
       },
       "'cuts.up[1]' is node 60, which has no link up"},
      {nullptr, [](Json& j) { j["nodes"]["positions"].erase(0); },
       "'nodes.positions' holds 191 values, size 8 needs 192"},
      {nullptr, [](Json& j) { j["nodes"]["contact"].push_back(0); },
       "'nodes.contact' holds 65 values, size 8 needs 64"},
      {nullptr, [](Json& j) { j["size"] = 9; }, "'nodes.positions' holds 192 values, size 9 needs"},
  };
  int k = 0;
  for (const Case& bad : cases) {
    const std::string name = "bad" + std::to_string(k++) + ".json";
    if (bad.content) {
      put(name, bad.content);
    } else {
      Json j = good;
      bad.edit(j);
      put(name, j.dump());
    }
  }
  put("early.json", text(c));
  const std::vector<std::string> before = scratch.entries();

  struct Run {
    std::string file;
    const char* says;
  };
  std::vector<Run> runs = {{"missing.json", "No such file or directory"},
                           {".", "Is a directory"},
                           {"/dev/zero", "larger than 128 MiB"},
                           {"early.json", "the scene is at frame 12, past --batch 11"}};
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
    runs.push_back({"bad" + std::to_string(i) + ".json", cases[i].says});
  for (size_t i = 0; i < runs.size(); ++i) {
    // Half without --batch: the window would open next, had the scene been good.
    std::vector<std::string> args = {"--scene", runs[i].file};
    if (i % 2 == 1 || runs[i].file == "early.json") args.insert(args.end(), {"--batch", "11"});
    std::string out, err;
    EXPECT_EQ(program(args, out, err), 1) << runs[i].file << ": " << err;
    EXPECT_EQ(out, "") << runs[i].file;
    const std::string head = "drapeExplorer: " + runs[i].file + ": ";
    EXPECT_EQ(err.rfind(head, 0), 0u) << err;
    EXPECT_NE(err.find(runs[i].says), std::string::npos) << runs[i].file << ": " << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  EXPECT_EQ(scratch.entries(), before);
}

}  // namespace
