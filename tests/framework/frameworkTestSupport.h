// Shared helpers of the framework tests: a known framework state before each
// test and an application that records the handler calls it receives.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testkit/glRecorder.h"
#include "zeu/zeApp.h"
#include "zeu/zeu.h"

namespace fwtest {

// The framework's globals are process-wide; put back everything the tests touch.
inline void resetFramework() {
  glrec::reset();
  zeuWindowWidth = 0;
  zeuWindowHeight = 0;
  frameDepth = 0;
  zeuDebugLevel = 3;
  zeuWindowClear = true;
  zeuWindowBgColor[0] = zeuWindowBgColor[1] = zeuWindowBgColor[2] = 0.0f;
  zeuScreenFov = 60.0f;
  aafullScreen = 1;
  aahaveShrunk = 0;
  aafullWidth = aafullHeight = 0;
  aaWinX = aaWinY = aaWinW = aaWinH = 0;
  aaValidWindowSize = 0;
  aaLastMouseButton = 0;
  zeuScreenGrabBuffer = nullptr;
  zeuScreenGrabFlipper = nullptr;
  for (zeApp*& a : apps) a = nullptr;
}

inline std::string fmt(const char* format, double a, double b) {
  char buf[96];
  std::snprintf(buf, sizeof buf, format, a, b);
  return buf;
}

inline std::string fmt(const char* format, double a, double b, int c) {
  char buf[96];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

// An application that logs every handler call it receives, in order.
class RecordingApp : public zeApp {
 public:
  std::vector<std::string> events;

  void idle() override { events.push_back("idle"); }
  void draw() override {
    events.push_back("draw");
    glVertex3f(7.0f, 7.0f, 7.0f);  // marks the draw's place in the GL log
  }
  void setFocus(bool focus) override { events.push_back(focus ? "setFocus(1)" : "setFocus(0)"); }
  void resize(float x, float y, float w, float h) override {
    zeApp::resize(x, y, w, h);
    char buf[96];
    std::snprintf(buf, sizeof buf, "resize(%g,%g,%g,%g)", x, y, w, h);
    events.push_back(buf);
  }
  void mouseMove(float x, float y) override { events.push_back(fmt("mouseMove(%g,%g)", x, y)); }
  void mouseDown(float x, float y, int b) override {
    events.push_back(fmt("mouseDown(%g,%g,%d)", x, y, b));
  }
  void mouseDrag(float x, float y) override { events.push_back(fmt("mouseDrag(%g,%g)", x, y)); }
  void mouseDrag(float x, float y, int b) override {
    events.push_back(fmt("mouseDrag(%g,%g,%d)", x, y, b));
  }
  void mouseUp(float x, float y, int b) override {
    events.push_back(fmt("mouseUp(%g,%g,%d)", x, y, b));
  }
  void keyDown(char key) override {
    events.push_back("keyDown(" + std::to_string(static_cast<int>(key)) + ")");
    zeApp::keyDown(key);
  }
  void specialKeyDown(int key) override {
    events.push_back("specialKeyDown(" + std::to_string(key) + ")");
    zeApp::specialKeyDown(key);
  }
};

}  // namespace fwtest
