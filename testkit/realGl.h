// Support for tests that run against the real GL, GLU and GLUT on an X server
// (Xvfb with Mesa in CI). The test main opens one 640 x 480 double-buffered
// RGB window with a depth buffer and keeps its GL context current.
#pragma once

#include <string>
#include <vector>

namespace realgl {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

int windowId();  // the window the test main created

// Sets the framework's window and view settings to those start-up gives a
// window of kWidth x kHeight (60 degree field of view, black clear), with no
// frame open, so zeuOpenToloFrame draws into the test window.
void useTestWindowForFrames();

// Reads the back buffer's RGB pixels (bottom row first) after glFinish.
std::vector<unsigned char> readPixels(int width = kWidth, int height = kHeight);

// Writes RGB pixels (bottom row first) to a binary PPM for a person to look at.
void writePpm(const std::string& path, const std::vector<unsigned char>& rgb, int width,
              int height);

}  // namespace realgl
