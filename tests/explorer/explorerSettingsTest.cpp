// Every setting described once: the --set reader's table of good and bad
// values, how --set combines with --preset and --size, the page's address
// reading the same names alike, the presets' pins at any size, and the key
// table against the help made from it and the keys' actions.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cloth/params.h"
#include "explorer/address.h"
#include "explorer/commandLine.h"
#include "explorer/drapeExplorerApp.h"
#include "explorer/keys.h"
#include "explorer/paramText.h"
#include "testkit/glRecorder.h"
#include "zeu/zeu.h"

namespace {

bool parse(std::vector<std::string> args, explorer::Options& options, std::string& error) {
  args.insert(args.begin(), "drapeExplorer");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  return explorer::parseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
}

// A refusal names the setting and the parameter, and says what it takes.
TEST(SetOption, ReadsGoodValuesAndRefusesBadOnesNamingTheParameterAndItsRange) {
  struct Case {
    const char* setting;
    const char* error;            // null: taken
    const char* param = nullptr;  // the parameter to look at when taken
    double value = 0;
  };
  const Case cases[] = {
      {"stiffness=2000", nullptr, "stiffness", 2000},
      {"stiffness=1", nullptr, "stiffness", 1},
      {"stiffness=5000", nullptr, "stiffness", 5000},
      {"stiffness=2.5e3", nullptr, "stiffness", 2500},
      {"damping=0.9", nullptr, "damping", 0.9f},  // the float nearest the bound
      {"timeStep=0.005", nullptr, "timeStep", 0.005},
      {"stepsPerFrame=32", nullptr, "stepsPerFrame", 32},
      {"wind=1", nullptr, "wind", 1},
      {"wind=on", nullptr, "wind", 1},
      {"tearing=off", nullptr, "tearing", 0},
      {"groundStops=0", nullptr, "groundStops", 0},
      {"solver=xpbd", nullptr, "solver", 1},
      {"solver=springs", nullptr, "solver", 0},
      {"bendCompliance=1e-6", nullptr, "bendCompliance", 1e-6f},
      {"solver=1", "--set solver=1: solver takes one of springs, xpbd"},
      {"solver=verlet", "--set solver=verlet: solver takes one of springs, xpbd"},
      {"stiffness=abc", "--set stiffness=abc: stiffness takes a number from 1 to 5000"},
      {"stiffness=", "--set stiffness=: stiffness takes a number from 1 to 5000"},
      {"stiffness=0.5", "--set stiffness=0.5: stiffness takes a number from 1 to 5000"},
      {"stiffness=5001", "--set stiffness=5001: stiffness takes a number from 1 to 5000"},
      {"stiffness=10x", "--set stiffness=10x: stiffness takes a number from 1 to 5000"},
      {"stiffness= 10", "--set stiffness= 10: stiffness takes a number from 1 to 5000"},
      {"stiffness=0x10", "--set stiffness=0x10: stiffness takes a number from 1 to 5000"},
      {"damping=nan", "--set damping=nan: damping takes a number from 0.9 to 1"},
      {"gravity=inf", "--set gravity=inf: gravity takes a number from 0 to 500"},
      {"gravity=1e999", "--set gravity=1e999: gravity takes a number from 0 to 500"},
      {"timeStep=0.0009", "--set timeStep=0.0009: timeStep takes a number from 0.001 to 0.02"},
      {"size=60.5", "--set size=60.5: size takes a whole number from 8 to 512"},
      {"size=60.0", "--set size=60.0: size takes a whole number from 8 to 512"},
      {"size=7", "--set size=7: size takes a whole number from 8 to 512"},
      {"stepsPerFrame=99999999999999999999",
       "--set stepsPerFrame=99999999999999999999: stepsPerFrame takes a whole number from 1 to "
       "32"},
      {"wind=2", "--set wind=2: wind takes 0, 1, off or on"},
      {"wind=yes", "--set wind=yes: wind takes 0, 1, off or on"},
      {"stiffness", "--set stiffness: missing '=VALUE' (stiffness takes a number from 1 to 5000)"},
      {"stiffnes=3", "--set stiffnes=3: no parameter is called 'stiffnes' (see --list-params)"},
      {"=3", "--set =3: missing the parameter's name (NAME=VALUE, see --list-params)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    explorer::Options options;
    std::string error;
    const bool ok = parse({"--set", c.setting}, options, error);
    if (c.error) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(error, c.error);
      continue;
    }
    ASSERT_TRUE(ok) << error;
    EXPECT_EQ(cloth::paramValue(*cloth::findParam(c.param), options.params), c.value);
  }
}

// The preset's values first, then every --set over them, whatever the order
// on the line; --set size=N is --size N, and the two may only agree.
TEST(SetOption, ComesOverThePresetAndAgreesWithSize) {
  explorer::Options o;
  std::string error;
  ASSERT_TRUE(
      parse({"--set", "stiffness=30", "--preset", "curtain", "--set", "gravity=5"}, o, error))
      << error;
  cloth::Params expected = cloth::presetParams(cloth::Preset::curtain, 60);
  expected.stiffness = 30.0f;
  expected.gravity = 5.0f;
  EXPECT_EQ(o.preset, cloth::Preset::curtain);
  int count;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k)
    EXPECT_EQ(cloth::paramValue(table[k], o.params), cloth::paramValue(table[k], expected))
        << table[k].name;

  ASSERT_TRUE(parse({"--set", "stiffness=7", "--set", "stiffness=9"}, o, error));
  EXPECT_EQ(o.params.stiffness, 9.0f) << "the last --set of a name wins";
  ASSERT_TRUE(parse({"--set", "size=90", "--preset", "flag"}, o, error));
  EXPECT_EQ(o.size, 90);
  EXPECT_EQ(o.params.size, 90);
  EXPECT_TRUE(o.params.wind) << "the flag's own values stay";
  ASSERT_TRUE(parse({"--size", "90", "--set", "size=90"}, o, error)) << error;
  EXPECT_FALSE(parse({"--size", "60", "--set", "size=90"}, o, error));
  EXPECT_EQ(error, "--set size=90: --size 60 gives another size");
  EXPECT_FALSE(parse({"--scene", "a.json", "--set", "size=90"}, o, error));
  EXPECT_EQ(error, "--set size=90: not with --scene (the scene holds its parameters)");
  ASSERT_TRUE(parse({"--list-params", "--set", "stiffness=3"}, o, error));
  EXPECT_TRUE(o.listParams);
}

TEST(Address, TakesParametersByNameWithTheCommandLinesRules) {
  explorer::Options o;
  std::string error;
  ASSERT_TRUE(explorer::parseAddress({"stiffness=2000", "preset=curtain", "wind=on"}, o, error))
      << error;
  EXPECT_EQ(o.preset, cloth::Preset::curtain);
  EXPECT_EQ(o.params.stiffness, 2000.0f);
  EXPECT_EQ(o.params.gravity, cloth::presetParams(cloth::Preset::curtain, 60).gravity);
  EXPECT_TRUE(o.params.wind);
  EXPECT_EQ(o.threads, 1);
  EXPECT_FALSE(explorer::parseAddress({"stiffness=abc"}, o, error));
  EXPECT_EQ(error, "stiffness=abc: stiffness takes a number from 1 to 5000");
  EXPECT_FALSE(explorer::parseAddress({"stiffness"}, o, error));
  EXPECT_EQ(error, "stiffness: missing '=VALUE' (stiffness takes a number from 1 to 5000)");
  EXPECT_FALSE(explorer::parseAddress({"scene=a.json", "gravity=3"}, o, error));
  EXPECT_EQ(error, "gravity=3: not with scene (the scene holds its parameters)");
}

// The pins of the preset table at sizes odd and even, as the cloth used to
// place them by hand: none, the far edge's two corners, the whole edge x = -29.
TEST(Presets, PinTheirNodesAtEverySize) {
  for (int n : {cloth::kMinSize, 9, 60, 61, 128}) {
    SCOPED_TRACE(n);
    const int last = n - 1;
    EXPECT_TRUE(cloth::presetPins(cloth::Preset::drape, n).empty());
    EXPECT_EQ(cloth::presetPins(cloth::Preset::curtain, n),
              (std::vector<int>{last * n, last * n + last}));
    std::vector<int> edge;
    for (int r = 0; r < n; ++r) edge.push_back(r * n);
    EXPECT_EQ(cloth::presetPins(cloth::Preset::flag, n), edge);
    cloth::Cloth c(cloth::Preset::curtain, cloth::presetParams(cloth::Preset::curtain, n), 1);
    int pinned = 0;
    for (int k = 0; k < c.nodeCount(); ++k) pinned += c.pinned(k);
    EXPECT_EQ(pinned, 2);
  }
  int count;
  const cloth::PresetInfo* table = cloth::presetTable(count);
  for (int k = 0; k < count; ++k) {
    cloth::Preset p;
    ASSERT_TRUE(cloth::presetFromName(table[k].name, p));
    EXPECT_EQ(p, table[k].preset);
    EXPECT_NE(std::string(cloth::presetNames()).find(table[k].name), std::string::npos);
  }
}

class KeyTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glrec::reset();
    glrec::state().recording = false;
    zeuScreenFov = 60.0f;
    zeuWindowWidth = 640;
    zeuWindowHeight = 480;
    app.reset(new drapeExplorerApp());
    app->resize(0.0f, 0.0f, 640.0f, 480.0f);
  }
  void frame() {
    zeuOpenToloFrame();
    app->draw();
    zeuCloseToloFrame();
  }
  const explorer::KeyRow& row(const char* help) {
    int count;
    const explorer::KeyRow* table = explorer::keyTable(count);
    for (int k = 0; k < count; ++k)
      if (std::string(table[k].help) == help) return table[k];
    ADD_FAILURE() << "no row " << help;
    return table[0];
  }
  std::unique_ptr<drapeExplorerApp> app;
};

// Every row shows in the overlay and in --help; no key is bound twice (the
// second row would never run), and every key has an action.
TEST_F(KeyTableTest, EveryRowIsInTheOverlayAndTheHelpOnceEach) {
  frame();
  const std::string overlay = app->overlay(), usage = explorer::usage();
  int count;
  const explorer::KeyRow* table = explorer::keyTable(count);
  for (int k = 0; k < count; ++k) {
    const std::string entry = std::string(table[k].name) + " " + table[k].help;
    EXPECT_NE(overlay.find(entry), std::string::npos) << entry;
    const size_t at = usage.find(std::string("  ") + table[k].name + " ");
    ASSERT_NE(at, std::string::npos) << table[k].name;
    EXPECT_NE(usage.find(table[k].help, at), std::string::npos) << table[k].name;
    if (table[k].key == 0) continue;
    EXPECT_NE(table[k].act, nullptr) << table[k].name;
    EXPECT_EQ(explorer::findKey(table[k].key), &table[k]) << table[k].name;
  }
}

TEST_F(KeyTableTest, AKeyDoesWhatItsRowSays) {
  frame();
  app->keyDown(static_cast<char>(row("pause").key));
  EXPECT_TRUE(app->paused);
  const int at = app->frame();
  app->keyDown(static_cast<char>(row("step").key));
  frame();
  EXPECT_EQ(app->frame(), at + 1);
  app->keyDown(static_cast<char>(row("look").key));
  EXPECT_EQ(app->look, explorer::kSurfaceAndNet);
  const bool turning = app->camera.autoTurn;
  app->keyDown(static_cast<char>(row("turn on/off").key));
  EXPECT_NE(app->camera.autoTurn, turning);
  app->cloth().setPinned(5, true);
  app->keyDown(static_cast<char>(row("unpin all").key));
  EXPECT_FALSE(app->cloth().pinned(5));
  app->keyDown(static_cast<char>(row("restart").key));
  EXPECT_EQ(app->frame(), 0);
}

}  // namespace
