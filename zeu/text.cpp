// The font table: fonts have no operations in this system, so initialising
// the table only empties it.
#include "zeu/zeu.h"

void zeuTextInit() {
  for (int i = 0; i < 50; i++) {
    zeutFontList[i] = nullptr;
    zeutFontNames[i][0] = '\0';
  }
  zeutCurrentFont = -1;
  zeuTextInited = true;
}
