// Program entry of the explorer: its own command line, then the same
// start-up as drape with the explorer as the application. A batch run or a
// bad command line ends before the toolkit starts, so neither needs a
// display.
#include <cstdio>

#include "explorer/batch.h"
#include "explorer/commandLine.h"
#include "explorer/drapeExplorerApp.h"
#include "explorer/panel.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

namespace {
explorer::Options options;
}

extern "C" zeApp* makeApp() {
  auto* app = new drapeExplorerApp(
      options.preset, cloth::presetParams(options.preset, options.size), options.threads);
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
    std::fputs(explorer::kUsage, stdout);
    return 0;
  }
  if (options.batch >= 0) return explorer::runBatch(options, stdout, stderr);
  zeuOpen();
  zeApp* app = makeApp();
  app->selfStart();  // enters the toolkit's main loop and does not return
  return 0;
}
