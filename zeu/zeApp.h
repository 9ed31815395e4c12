// The application base class and the toolkit callbacks that route events to
// the application registered for the window that received them.
#pragma once

#include "zeu/zeGeo.h"

class zeApp : public zeGeo {
 public:
  float X;  // position and size of the application's area, in pixels
  float Y;
  float W;
  float H;

  zeApp();

  void idle() override;
  void draw() override;
  virtual void selfStart();  // register, install callbacks, size, focus, main loop
  virtual void subStart();   // register and install callbacks only
  virtual void setFocus(bool focus);
  virtual void setParent(void* parent);
  virtual void resize(float x, float y, float w, float h);
  virtual bool pointInside(float x, float y);  // 0 <= x < W and 0 <= y < H
  virtual void mouseMove(float x, float y);
  virtual void mouseDown(float x, float y, int button);
  virtual void mouseDrag(float x, float y);
  virtual void mouseDrag(float x, float y, int button);
  virtual void mouseUp(float x, float y, int button);
  virtual void keyDown(char key);        // Escape starts the shut-down
  virtual void specialKeyDown(int key);  // F1 toggles full screen
};

// Applications by toolkit window id; ids outside 0..9 are never stored.
extern zeApp* apps[10];

// Toolkit callbacks. Positions reach the application as float pixels with the
// origin at the bottom-left corner of the window.
void display_cb();
void mouse_cb(int button, int state, int x, int y);
void motion_cb(int x, int y);
void passive_motion_cb(int x, int y);
void idle_cb();
void keyboard_cb(unsigned char key, int x, int y);
void special_key_cb(int key, int x, int y);
void reshape_cb(int width, int height);

// The application module's factory: a new object of a class derived from
// zeApp, created once after zeuOpen and owned by the framework for good.
extern "C" zeApp* makeApp();
