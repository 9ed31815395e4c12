#include "app/drapeApp.h"
#include "cloth/cloth.h"

namespace cloth {

// drape's terrain is an operation of its application object that reads no
// field of it; one object, made on first use and kept for the process (as
// drape keeps its own), answers every call. Its construction also resets
// the software transform stack, which happens before any frame is drawn.
drapeApp& terrainObject() {
  static drapeApp* const object = new drapeApp();
  return *object;
}

float terrainHeight(float x, float y) {
  return terrainObject().drapeApp::surface(x, y);
}

}  // namespace cloth
