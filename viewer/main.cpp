// shapeView: the command line is the program's own; the toolkit still gets
// the framework's fixed argument through zeuOpen. Every form but the window
// ends before the toolkit starts, so a bad file never opens a window.
#include <cstdio>
#include <utility>

#include "viewer/commandLine.h"
#include "viewer/shapeViewApp.h"
#include "zeu/zeu.h"

int main(int argc, char** argv) {
  shapeview::ShapeFile file;
  const shapeview::Command command = shapeview::parseCommandLine(argc, argv);
  const int status = shapeview::run(command, stdout, stderr, file);
  if (status != shapeview::kOpenWindow) return status;
  zeuOpen();
  // Lives as long as the process, as the framework's applications do.
  zeApp* app = new shapeview::ShapeViewApp(std::move(file), shapeview::pictureStem(command.file));
  app->selfStart();  // enters the toolkit's main loop and does not return
  return 0;
}
