// The terrain under the cloth: drape's own slot, answered by the terrain the
// cloth component stands on too.
#include "app/drapeApp.h"
#include "cloth/terrain.h"

float drapeApp::surface(float x, float y) {
  return cloth::terrainHeight(x, y);
}
