// Scenes in the real window, on its own Xvfb screen: s saves a scene that
// --scene --batch runs on to the straight run's digest line, and a scene
// opened in the window goes on from its own state and frame.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cloth/cloth.h"
#include "explorer/scene.h"
#include "tests/support/scratchDir.h"
#include "tests/support/xSession.h"

namespace {

// Opens the window in directory with args, presses s after a moment and
// returns the name of the scene it reports, or "" with a failure.
std::string saveInWindow(const std::string& directory, const std::vector<std::string>& args) {
  xsession::XSession x;
  if (!x.ok()) {
    ADD_FAILURE() << x.error();
    return "";
  }
  char here[4096];
  if (!getcwd(here, sizeof here) || chdir(directory.c_str()) != 0) return "";
  const bool launched = x.launch(E2E_PROGRAM, args, {xsession::leakCheckOff()});
  if (chdir(here) != 0 || !launched) return "";
  const auto w = x.findWindow("zeu", 30.0);
  if (!w) {
    ADD_FAILURE() << "no window; stderr: " << x.programStderr();
    return "";
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  x.sendKey(*w, "s");
  std::string out;
  for (int k = 0; k < 100 && out.find('\n') == std::string::npos; ++k) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    out = x.programStdout();
  }
  x.sendKey(*w, "Escape");
  EXPECT_EQ(x.waitExit(10.0), 0);
  EXPECT_EQ(x.programStderr(), "");
  if (out.rfind("wrote drape-", 0) != 0 || out.find(".json\n") == std::string::npos) {
    ADD_FAILURE() << "stdout: " << out;
    return "";
  }
  return out.substr(6, out.find('\n') - 6);
}

// The digest line of the program run in directory without a display.
std::string batch(const std::string& directory, const std::string& args) {
  const std::string command =
      "cd '" + directory + "' && env -u DISPLAY " E2E_PROGRAM " " + args + " 2>&1";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p)) out += buffer;
    pclose(p);
  }
  return out;
}

long sceneFrame(const std::string& name) {
  long frame = -1;
  std::sscanf(name.c_str(), "drape-%ld", &frame);
  return frame;
}

TEST(ExplorerSceneEndToEnd, SavedInTheWindowAndOpenedInItTheClothGoesOnToTheBit) {
  ScratchDir scratch("explorerSceneE2e");
  const std::string& dir = scratch.path();

  const std::string saved = saveInWindow(dir, {"--preset", "flag", "--size", "24"});
  ASSERT_NE(saved, "");
  const long at = sceneFrame(saved) + 20;
  ASSERT_GT(at, 20) << saved;
  const std::string straight =
      batch(dir, "--batch " + std::to_string(at) + " --preset flag --size 24");
  EXPECT_EQ(straight.rfind("cloth digest " + std::to_string(at) + " ", 0), 0u) << straight;
  EXPECT_EQ(batch(dir, "--scene " + saved + " --batch " + std::to_string(at)), straight);

  // A curtain with a cut and a pin of its own is no straight run: the window
  // must go on from exactly this state and frame.
  cloth::Cloth start(cloth::Preset::curtain, cloth::presetParams(cloth::Preset::curtain, 16), 1);
  for (int k = 0; k < 50; ++k) start.advance();
  start.cutRight(100);
  start.setPinned(3, true);
  std::string error;
  ASSERT_TRUE(explorer::writeScene(start, dir + "/start.json", error)) << error;
  const std::string again = saveInWindow(dir, {"--scene", "start.json"});
  ASSERT_NE(again, "");
  const long later = sceneFrame(again);
  ASSERT_GT(later, 50) << again;
  while (start.frame() < later + 20) start.advance();
  char line[64];
  std::snprintf(line, sizeof line, "cloth digest %ld %016llx\n", start.frame(),
                static_cast<unsigned long long>(cloth::digest(start)));
  EXPECT_EQ(batch(dir, "--scene " + again + " --batch " + std::to_string(later + 20)), line);
}

}  // namespace
