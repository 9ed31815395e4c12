// drape's cloth, explored: the cloth component at any size and preset,
// shown as a lit surface through the shape library with an orbit camera,
// vertex picking, pause and single steps, an overlay, and files a user can
// keep (PNG screenshot, OBJ mesh, shape record). With the drape preset at
// 60 x 60 the cloth is drape's, frame for frame and bit for bit. A person
// can also take hold of it: grab a node and pull, pin nodes, cut links, and
// tune it in a parameter panel while it runs.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "explorer/panel.h"
#include "viewkit/files/videoRecorder.h"
#include "viewkit/view/orbitCamera.h"
#include "viewkit/view/pointerControl.h"
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
  int held;            // node held by the left button, or -1

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
  void specialKeyDown(int key) override;
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

  // Pins a free node or frees a pinned one, printing "pinned node <n>" or
  // "unpinned node <n>".
  void togglePin(int node);
  // Cuts the links that the window stroke from (x0, y0) to (x1, y1) crosses
  // on the cloth as last drawn; the number cut.
  int cutAlong(float x0, float y0, float x1, float y1);

  // Draws the surface and the net from one interleaved array, in calls of
  // at most `vertices` consecutive vertices (zeShapeArrays' vertex window),
  // for GL implementations such as the browser's emulation.
  void drawInShortCalls(int32_t vertices);

  // The parameter panel, shown and hidden by Tab; none until one is given.
  void setPanel(std::unique_ptr<explorer::Panel> panel);
  explorer::Panel* panel() { return panel_.get(); }
  // What the panel shows, and taking back what it changed.
  explorer::PanelState panelState() const;
  void applyPanel(const explorer::PanelState& state);

 private:
  void syncMesh();
  void buildNet();
  void drawNet(float cx, float cy);
  void drawPoints(const int* nodes, size_t count, float size, const float colour[3]);
  void drawOverlay();
  void countFrame();
  void rebuildMeshes();
  void syncFaces();
  void syncPins();
  void startHold();
  void holdNode(float cx, float cy);
  void releaseHold();
  bool panelTakesMouse();
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
  float stepMs_, drawMs_;  // smoothed times of the cloth's step and of the rest of draw
  float panelMs_;          // smoothed time of the panel's frame

  long faceCuts_;          // the cloth's cut links when the mesh's faces were made
  std::vector<int> pins_;  // pinned nodes to mark, the held one aside
  bool pinsStale_;
  int pressed_;  // node under a left press not yet dragged, or -1
  float pressX_, pressY_;
  float holdX_, holdY_;  // where the held node is drawn
  double holdDepth_;     // its window depth, fixed while held
  bool heldWasPinned_;
  bool cutting_;  // a Ctrl + left drag
  float strokeX_, strokeY_;
  int strokeCuts_;
  bool ownPress_;  // a press that began outside the panel is in progress
  std::unique_ptr<explorer::Panel> panel_;
  viewkit::VideoRecorder recorder_;
};
