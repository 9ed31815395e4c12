// Program entry of the explorer: its own command line, then the same
// start-up as drape with the explorer as the application. A batch run, a
// bad command line or a bad scene ends before the toolkit starts, so none
// needs a display.
#include <GL/freeglut.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "explorer/batch.h"
#include "explorer/commandLine.h"
#include "explorer/drapeExplorerApp.h"
#include "explorer/panel.h"
#include "explorer/paramText.h"
#include "explorer/scene.h"
#include "viewkit/files/staleTemporaries.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

namespace {
explorer::Options options;
std::unique_ptr<cloth::Cloth> opened;     // the cloth of --scene, until the app takes it
drapeExplorerApp* explorerApp = nullptr;  // the window's, once made
// Removes the hidden temporary files that an earlier run, killed while
// writing, left in the folders this run writes to, a line each.
void removeStaleTemporaries(const explorer::Options& o) {
  std::vector<std::string> dirs{"."};
  for (const std::string& path : {o.obj, o.shape}) {
    if (path.empty() || path == "-") continue;
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
  }
  for (const std::string& dir : dirs)
    for (const std::string& path : viewkit::removeStaleTemporaries(dir))
      std::fprintf(stderr, "drapeExplorer: removed %s, left by a run that ended while writing\n",
                   path.c_str());
}

}  // namespace

extern "C" zeApp* makeApp() {
  drapeExplorerApp* app =
      opened ? new drapeExplorerApp(std::move(opened))
             : new drapeExplorerApp(options.preset, options.params, options.threads);
  if (!options.meshes.empty()) app->setMeshes(options.meshes);
  app->setPanel(explorer::newImGuiPanel());
  return app;
}

int main(int argc, char** argv) {
  std::string error;
  if (!explorer::parseCommandLine(argc, argv, options, error)) {
    std::fprintf(stderr, "drapeExplorer: %s\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(explorer::usage().c_str(), stdout);
    return 0;
  }
  if (options.listParams) {
    std::fputs(explorer::paramList().c_str(), stdout);
    return 0;
  }
  if (!explorer::loadColliders(options, error)) {
    std::fprintf(stderr, "drapeExplorer: %s\n", error.c_str());
    return 1;
  }
  removeStaleTemporaries(options);
  if (!options.scene.empty()) {
    opened = explorer::readScene(options.scene, options.threads, error);
    // --batch N runs up to frame N; a scene already past it cannot.
    if (opened && options.batch >= 0 && opened->frame() > options.batch) {
      error = "the scene is at frame " + std::to_string(opened->frame()) + ", past --batch " +
              std::to_string(options.batch);
      opened.reset();
    }
    if (!opened) {
      std::fprintf(stderr, "drapeExplorer: %s: %s\n", options.scene.c_str(), error.c_str());
      return 1;
    }
  }
  if (options.batch >= 0)
    return opened ? explorer::runBatch(*opened, options, stdout, stderr)
                  : explorer::runBatch(options, stdout, stderr);
  // The GL driver takes big buffers for a large mesh's vertices every frame;
  // kept in the heap instead of mapped and unmapped each time, they are
  // reused without a page fault per page.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
  zeuOpen();
  zeApp* app = makeApp();
  // Closed by the window manager, the toolkit ends the program after this
  // callback: a recording under way is finished first, as Escape does.
  explorerApp = static_cast<drapeExplorerApp*>(app);
  glutCloseFunc([] { explorerApp->windowClosing(); });
  app->selfStart();  // enters the toolkit's main loop and does not return
  return 0;
}
