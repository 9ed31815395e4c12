// Program entry of the explorer: the same start-up as drape, with a factory
// that makes the explorer instead of the bare cloth.
#include "explorer/drapeExplorerApp.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

extern "C" zeApp* makeApp() {
  return new drapeExplorerApp();
}

int main(int, char**) {
  zeuOpen();
  zeApp* app = makeApp();
  app->selfStart();  // enters the toolkit's main loop and does not return
  return 0;
}
