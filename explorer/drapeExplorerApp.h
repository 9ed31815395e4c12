// drape's cloth, explored: the cloth component at any size and preset,
// shown as a lit surface through the shape library with an orbit camera,
// vertex picking, pause and single steps, an overlay, and files a user can
// keep (PNG screenshot, OBJ mesh, shape record). With the drape preset at
// 60 x 60 the cloth is drape's, frame for frame and bit for bit.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "cloth/cloth.h"
#include "viewkit/orbitCamera.h"
#include "viewkit/pointerControl.h"
#include "viewkit/videoRecorder.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShapeArrays.h"
#include "zeu/zeApp.h"

class drapeExplorerApp : public zeApp {
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
  zeMeshShape* mesh;   // node n is vertex n; rebuilt when the size changes

  // drape's cloth at 60 x 60 on as many threads as there are cores.
  drapeExplorerApp();
  drapeExplorerApp(cloth::Preset preset, const cloth::Params& params, int threads);
  // A cloth restored from a scene, going on from its frame; r restarts from
  // its preset and parameters on its threads.
  explicit drapeExplorerApp(std::unique_ptr<cloth::Cloth> restored);
  ~drapeExplorerApp();
  drapeExplorerApp(const drapeExplorerApp&) = delete;
  drapeExplorerApp& operator=(const drapeExplorerApp&) = delete;

  void draw() override;
  void keyDown(char key) override;
  void mouseDown(float x, float y, int button) override;
  void mouseUp(float x, float y, int button) override;
  void mouseDrag(float x, float y) override;
  void mouseMove(float x, float y) override;

  // One frame of the cloth.
  void advanceCloth();
  // Back to the flat sheet at frame 0: a fresh cloth of the same settings.
  void restartCloth();
  int frame() const { return static_cast<int>(cloth_->frame()); }
  cloth::Cloth& cloth() { return *cloth_; }
  const cloth::Cloth& cloth() const { return *cloth_; }

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
  // s: the cloth's scene, drape-<frame>.json, reported like the files above.
  bool saveScene();

  // `m`: starts recording the window to drape-<frame>.mp4 through ffmpeg, or
  // ends the recording with "wrote <name>: <n> frames, <k> dropped" on
  // standard output or "could not record[ <name>]: <reason>" on standard
  // error. True when a recording started or was written.
  bool toggleRecording();
  bool recording() const { return recorder_.recording(); }

  // The overlay text of the last draw.
  const char* overlay() const { return overlay_; }

 private:
  void syncMesh();
  void buildNet();
  void drawNet(float cx, float cy);
  void drawMarker(int node);
  void drawOverlay();
  void countFrame();
  bool stopRecording();
  void recordFrame();

  cloth::Preset preset_;
  cloth::Params params_;
  int threads_;
  std::unique_ptr<cloth::Cloth> cloth_;
  zeShapeArrays meshArrays_;
  zeMeshShape* net_;  // drape's net as indexed lines over a copy of the positions
  zeShapeArrays netArrays_;
  long netCuts_;  // the cloth's cut links when the net's index list was made
  bool normalsStale_;
  char overlay_[512];
  std::chrono::steady_clock::time_point fpsStart_;
  int fpsFrames_;
  viewkit::VideoRecorder recorder_;
};
