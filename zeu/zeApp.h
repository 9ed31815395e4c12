/// @file
/// The application base class and the toolkit callbacks that route events to
/// the application registered for the window that received them.
#pragma once

#include "zeu/zeGeo.h"

/// An application: derive from it, override the handlers, return one from makeApp.
class zeApp : public zeGeo {
 public:
  float X;  ///< Left of the application's area, in pixels.
  float Y;  ///< Bottom of the application's area, in pixels.
  float W;  ///< Width of the application's area, in pixels.
  float H;  ///< Height of the application's area, in pixels.

  /// Area (0, 0, 100, 100); makes the display callback test the window size again.
  zeApp();

  void idle() override;      ///< Called on every idle pass before a redisplay is asked for; empty.
  void draw() override;      ///< Draws one frame inside the standard 3D view; empty.
  virtual void selfStart();  ///< Registers, installs callbacks, sizes, focuses, runs the main loop.
  virtual void subStart();   ///< Registers and installs the callbacks only.
  virtual void setFocus(bool focus);                        ///< Focus given or taken; empty.
  virtual void setParent(void* parent);                     ///< A parent object; empty.
  virtual void resize(float x, float y, float w, float h);  ///< Stores the area.
  virtual bool pointInside(float x, float y);               ///< 0 <= x < W and 0 <= y < H.
  virtual void mouseMove(float x, float y);              ///< The pointer moved with no button held.
  virtual void mouseDown(float x, float y, int button);  ///< A button (or wheel notch) pressed.
  virtual void mouseDrag(float x, float y);              ///< The pointer moved with a button held.
  /// The pointer moved with a button held; button is the last pressed or released.
  virtual void mouseDrag(float x, float y, int button);
  virtual void mouseUp(float x, float y, int button);  ///< A button released.
  virtual void keyDown(char key);        ///< A key pressed; Escape starts the shut-down.
  virtual void specialKeyDown(int key);  ///< A GLUT special key pressed; F1 toggles full screen.
};

/// Applications by toolkit window id; ids outside 0..9 are never stored.
extern zeApp* apps[10];

// Toolkit callbacks. Positions reach the application as float pixels with the
// origin at the bottom-left corner of the window.
void display_cb();  ///< Draws a frame: standard view, the application's draw, swap.
void mouse_cb(int button, int state, int x, int y);  ///< Button press or release.
void motion_cb(int x, int y);          ///< Motion with a button held: both mouseDrag calls.
void passive_motion_cb(int x, int y);  ///< Motion with no button held: mouseMove.
void idle_cb();                        ///< The application's idle, then a redisplay request.
void keyboard_cb(unsigned char key, int x, int y);  ///< keyDown; the position is dropped.
void special_key_cb(int key, int x, int y);         ///< specialKeyDown; the position is dropped.
void reshape_cb(int width, int height);  ///< Stores the window size and resizes the application.

/// The application module's factory: a new object of a class derived from
/// zeApp, created once after zeuOpen and owned by the framework for good.
extern "C" zeApp* makeApp();
