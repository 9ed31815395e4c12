#include "explorer/keys.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "explorer/drapeExplorerApp.h"

namespace explorer {

namespace {

using App = drapeExplorerApp;

const KeyRow kKeys[] = {
    {' ', "space", "pause", 0, false, [](App& a) { a.togglePause(); }},
    {'.', ".", "step", 0, false, [](App& a) { a.stepOnce(); }},
    {'r', "r", "restart", 0, false, [](App& a) { a.restartCloth(); }},
    {'n', "n", "look", 0, false, [](App& a) { a.look = nextLook(a.look); }},
    {'t', "t", "turn on/off", 0, false, [](App& a) { a.camera.autoTurn = !a.camera.autoTurn; }},
    {'v', "v", "reset view", 0, false, [](App& a) { a.camera.reset(); }},
    // Read back once the next frame is drawn.
    {'p', "p", "PNG", 1, false, [](App& a) { a.shotRequested = true; }},
    {'o', "o", "OBJ", 1, false, [](App& a) { a.saveObj(); }},
    {'w', "w", "shape record", 1, false, [](App& a) { a.saveShape(); }},
    {'s', "s", "scene", 1, false, [](App& a) { a.saveScene(); }},
    {'m', "m", "video", 1, false, [](App& a) { a.toggleRecording(); }},
    {kSpecialKey + GLUT_KEY_F1, "F1", "window", 1, false,
     [](App& a) { a.zeApp::specialKeyDown(GLUT_KEY_F1); }},
    {27, "Esc", "quit", 1, false, [](App& a) { a.quit(); }},
    {0, "drag", "orbit", 2, false, nullptr},
    {0, "wheel", "zoom", 2, false, nullptr},
    {0, "click", "print node", 2, false, nullptr},
    {0, "drag cloth", "grab", 2, false, nullptr},
    {0, "right click", "pin", 2, false, nullptr},
    {0, "ctrl-drag", "cut", 2, false, nullptr},
    {0, "shift-drag", "move ball", 2, false, nullptr},
    {'u', "u", "unpin all", 2, false, [](App& a) { a.unpinAll(); }},
    // Tab is the panel's own key, never ImGui's (whose Tab would move its
    // keyboard focus into a field, which then keeps the keys).
    {'\t', "Tab", "panel", 2, true, [](App& a) { a.togglePanel(); }},
};
constexpr int kKeyCount = sizeof kKeys / sizeof kKeys[0];

}  // namespace

const KeyRow* keyTable(int& count) {
  count = kKeyCount;
  return kKeys;
}

const KeyRow* findKey(int key) {
  if (key == 0) return nullptr;
  for (const KeyRow& row : kKeys)
    if (row.key == key) return &row;
  return nullptr;
}

const std::string& keyHelp() {
  static const std::string help = [] {
    std::string text;
    for (int k = 0; k < kKeyCount; ++k) {
      const KeyRow& row = kKeys[k];
      if (k > 0) text += row.line == kKeys[k - 1].line ? "   " : "\n";
      text += std::string(row.name) + " " + row.help;
    }
    return text;
  }();
  return help;
}

std::string keyList() {
  std::string text;
  for (const KeyRow& row : kKeys) {
    char line[96];
    std::snprintf(line, sizeof line, "  %-13s %s\n", row.name, row.help);
    text += line;
  }
  return text;
}

}  // namespace explorer
