// Application helpers: frame timing, modifier keys and held keys. Nothing
// here calls the toolkit unless the application asks for modifiers or held
// keys, so a program that uses neither makes exactly the calls it made
// before these helpers existed.
#include <GL/freeglut.h>

#include <chrono>

#include "zeu/zeu.h"
#include "zeu/zeuHooks.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point startTime = Clock::now();
Clock::time_point lastFrameStart;
bool anyFrame = false;
float frameSeconds = 0.0f;

int inputDepth = 0;                  // input callbacks under way
bool toolkitKnowsModifiers = false;  // the event under way is a key or button event
bool modifiersRead = false;          // ... and its modifiers have been asked for
bool modifiersWanted = false;        // the application has asked for modifiers once
int modifiers = 0;                   // of the latest key or button event whose were read

bool toolkitReady = false;  // start-up has run: callbacks may be installed
bool keyDown[256] = {};
int keyOfThisEvent = -1;  // slot pressed by the input event under way
bool watchingReleases = false;

// Letters are one key whatever the case.
unsigned char keySlot(unsigned char key) {
  return key >= 'A' && key <= 'Z' ? static_cast<unsigned char>(key - 'A' + 'a') : key;
}

void keyReleased(unsigned char key, int, int) {
  key = keySlot(key);
  keyDown[key] = false;
  // A letter pressed with Ctrl arrives as its control code (1 to 26) and may
  // be released without it, or the other way round: both slots go up.
  if (key >= 'a' && key <= 'z') keyDown[key - 'a' + 1] = false;
  if (key >= 1 && key <= 26) keyDown[key - 1 + 'a'] = false;
}

}  // namespace

namespace zeuhooks {

void startClock() {
  toolkitReady = true;
  startTime = Clock::now();
  anyFrame = false;
  frameSeconds = 0.0f;
}

void frameStarted() {
  const Clock::time_point now = Clock::now();
  if (anyFrame) frameSeconds = std::chrono::duration<float>(now - lastFrameStart).count();
  lastFrameStart = now;
  anyFrame = true;
}

InputEvent::InputEvent(bool toolkitKnows) {
  ++inputDepth;
  toolkitKnowsModifiers = toolkitKnows;
  modifiersRead = false;
  // Once modifiers are wanted, every button event's are read, so that a
  // drag knows the keys held at its press.
  if (toolkitKnows && modifiersWanted) zeuModifiers();
}

InputEvent::~InputEvent() {
  --inputDepth;
  toolkitKnowsModifiers = false;
  modifiersRead = false;
  keyOfThisEvent = -1;
}

void keyPressed(unsigned char key) {
  keyDown[keySlot(key)] = true;
  keyOfThisEvent = keySlot(key);
}

}  // namespace zeuhooks

double zeuElapsedSeconds() {
  return std::chrono::duration<double>(Clock::now() - startTime).count();
}

float zeuFrameSeconds() {
  return frameSeconds;
}

int zeuModifiers() {
  modifiersWanted = true;
  if (inputDepth == 0) return 0;
  if (toolkitKnowsModifiers && !modifiersRead) {
    const int held = glutGetModifiers();
    modifiers = ((held & GLUT_ACTIVE_SHIFT) ? ZEU_SHIFT : 0) |
                ((held & GLUT_ACTIVE_CTRL) ? ZEU_CTRL : 0) |
                ((held & GLUT_ACTIVE_ALT) ? ZEU_ALT : 0);
    modifiersRead = true;
  }
  return modifiers;
}

bool zeuKeyIsDown(unsigned char key) {
  if (!watchingReleases && toolkitReady) {
    // Releases are seen from now on only: forget the earlier presses, whose
    // release may have been missed, but not the one being handled.
    watchingReleases = true;
    for (int k = 0; k < 256; ++k) keyDown[k] = k == keyOfThisEvent;
    glutKeyboardUpFunc(keyReleased);
  }
  return keyDown[keySlot(key)];
}
