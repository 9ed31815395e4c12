// Program entry of the lab page. The page hands over its address's values
// ("size=128", ...); a bad one, or a scene that cannot be opened, shows one
// line in the page and nothing runs.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/obstacles.h"
#include "explorer/address.h"
#include "explorer/scene.h"
#include "web/lab/labApp.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

// From web/lab/labWeb.js.
extern "C" char* zeLabSceneText();     // the scene the page fetched (malloc'd), or null
extern "C" char* zeLabColliderText();  // the OBJ of ?collider= it fetched (malloc'd), or null
extern "C" void zeLabRefuse(const char* line);

labWebApp* labPageApp = nullptr;

namespace {
explorer::Options options;
std::unique_ptr<cloth::Cloth> start;
}  // namespace

extern "C" zeApp* makeApp() {
  labPageApp = new labWebApp(std::move(start), options.batch);
  return labPageApp;
}

namespace {

int refuse(const std::string& line) {
  zeLabRefuse(line.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> values(argv + 1, argv + argc);
  std::string error;
  if (!explorer::parseAddress(values, options, error)) return refuse(error);
  if (!options.scene.empty()) {
    char* text = zeLabSceneText();
    if (!text) return refuse("scene: " + options.scene + ": not fetched");
    start = explorer::clothFromScene(text, 1, error);
    std::free(text);
    if (!start) return refuse("scene: " + options.scene + ": " + error);
    if (options.batch >= 0 && start->frame() > options.batch)
      return refuse("frames: the scene is at frame " + std::to_string(start->frame()) +
                    ", past frames " + std::to_string(options.batch));
  } else {
    start = std::make_unique<cloth::Cloth>(options.preset, options.params, 1);
  }
  if (!options.colliders.empty()) {
    const std::string& where = options.colliders.back();
    char* text = zeLabColliderText();
    if (!text) return refuse("collider: " + where + ": not fetched");
    auto mesh = cloth::meshObstacleFromText(where, text, error);
    std::free(text);
    if (!mesh) return refuse("collider: " + where + ": " + error);
    start->setMeshes({mesh});
  }
  // The files the keys write are made in the page's memory, in a folder
  // open for writing, and offered from there as downloads.
  // Emscripten starts with a umask of 0777, which would leave every file
  // made unreadable.
  umask(022);
  if (chdir("/tmp") != 0) return refuse("the page's memory has no folder for files");
  zeuOpen();
  zeApp* app = makeApp();
  app->selfStart();  // hands the frames to the browser and returns to it
  return 0;
}
