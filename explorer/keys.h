// The lab's keys and mouse gestures, described once: each row's key, the
// words that say what it does, and the action itself. The overlay's help,
// --help's key list and the application's key handling are all made from
// this table.
#pragma once

#include <string>

class drapeExplorerApp;

namespace explorer {

/// Keys beyond characters: kSpecialKey + GLUT's special key code.
constexpr int kSpecialKey = 0x100;

/// One key or mouse gesture.
struct KeyRow {
  int key;           ///< the character, kSpecialKey + a special key, or 0 for a gesture
  const char* name;  ///< as the help shows it: "space", "F1", "ctrl-drag"
  const char* help;  ///< what it does, in a word or three
  int line;          ///< the overlay's help line it is shown on
  bool beforePanel;  ///< the lab's own even while the panel has the keyboard
  void (*act)(drapeExplorerApp& app);  ///< null for a gesture (the mouse handlers do it)
};

/// Every row, keys first, in the order the help shows them.
const KeyRow* keyTable(int& count);
/// The row of a key (a character or kSpecialKey + a special key), or null.
const KeyRow* findKey(int key);
/// The overlay's help: "name help" entries three spaces apart, a line per
/// row's line number, without a final newline.
const std::string& keyHelp();
/// --help's list: a line per row, name and help in two columns.
std::string keyList();

}  // namespace explorer
