// The cloth of drape, explored: the same drapeApp simulation, frame for
// frame, shown as a lit surface through the shape library with an orbit
// camera, vertex picking, pause and single steps, an overlay, and files a
// user can keep (PNG screenshot, OBJ mesh, shape record).
#pragma once

#include <chrono>

#include "app/drapeApp.h"
#include "viewkit/orbitCamera.h"
#include "viewkit/pointerControl.h"

class drapeExplorerApp : public drapeApp {
 public:
  enum Look { kSurface = 0, kSurfaceAndNet = 1, kNet = 2 };

  viewkit::OrbitCamera camera;  // starts at drape's view, centred in the window
  viewkit::PointerControl pointer;
  Look look;
  bool paused;
  int pendingSteps;    // `.` presses not yet drawn
  bool shotRequested;  // `p`: save the next finished frame
  int hovered;         // node under the pointer at the last draw, or -1
  float fps;           // frames per second over the last whole second

  drapeExplorerApp();
  ~drapeExplorerApp();
  drapeExplorerApp(const drapeExplorerApp&) = delete;
  drapeExplorerApp& operator=(const drapeExplorerApp&) = delete;

  void draw() override;
  void keyDown(char key) override;
  void mouseDown(float x, float y, int button) override;
  void mouseUp(float x, float y, int button) override;
  void mouseDrag(float x, float y) override;
  void mouseMove(float x, float y) override;

  // One frame of the cloth exactly as drape advances it (step, then j).
  void advanceCloth();
  // Back to the flat sheet at frame 0: every drapeApp field as a new
  // drapeApp has it; the window area and the mesh object are kept.
  void restartCloth();
  int frame() const { return static_cast<int>(j); }

  // The node nearest the window point (x, y) on the cloth as last drawn, or -1.
  int pick(float x, float y);
  // What a click at (x, y) prints: "node <n> (<x>, <y>, <z>)[ on terrain]\n",
  // or nothing off the cloth.
  void click(float x, float y);

  // The files of p, o and w, named drape-<frame>.<ext> in the current
  // directory; each reports "wrote <name>" on standard output or "could not
  // write <name>: <reason>" on standard error. True when written.
  bool savePicture();
  bool saveObj();
  bool saveShape();

  // The overlay text of the last draw.
  const char* overlay() const { return overlay_; }

 private:
  void syncMesh();
  void clothSpaceNormals();
  void drawMarker(int node);
  void drawOverlay();
  void countFrame();

  drapeApp* flat_;  // the cloth as built, for restarts
  char overlay_[512];
  std::chrono::steady_clock::time_point fpsStart_;
  int fpsFrames_;
};
