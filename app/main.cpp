// Program entry: the command line is never read; the toolkit always sees the
// single argument "zeu".
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

int main(int, char**) {
  zeuOpen();
  zeApp* app = makeApp();
  app->selfStart();  // enters the toolkit's main loop and does not return
  return 0;
}
