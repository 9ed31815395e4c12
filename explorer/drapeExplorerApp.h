// drape's cloth, explored: the cloth component at any size and preset,
// shown as a lit surface through the shape library with an orbit camera,
// vertex picking, pause and single steps, an overlay, and files a user can
// keep (PNG screenshot, OBJ mesh, shape record). With the drape preset at
// 60 x 60 the cloth is drape's, frame for frame and bit for bit. A person
// can also take hold of it: grab a node and pull, pin nodes, cut links, and
// tune it in a parameter panel while it runs.
//
// The application starts the lab, runs its draw sequence and routes the
// events; its parts (namespace explorer) do the rest: the view, the hand,
// the files, the recording, the frame figures, the settings glue and the
// key table.
#pragma once

#include <memory>

#include "cloth/cloth.h"
#include "explorer/ballHand.h"
#include "explorer/figures.h"
#include "explorer/hand.h"
#include "explorer/labFiles.h"
#include "explorer/looks.h"
#include "explorer/obstacleView.h"
#include "explorer/panel.h"
#include "explorer/plots.h"
#include "explorer/recording.h"
#include "explorer/settings.h"
#include "explorer/view.h"
#include "viewkit/view/orbitCamera.h"
#include "viewkit/view/pointerControl.h"
#include "zeu/zeApp.h"

class drapeExplorerApp : public zeApp {
  // The parts come first, so that the public names below can refer to them.
  explorer::LabSettings settings_;
  std::unique_ptr<cloth::Cloth> cloth_;
  explorer::ClothView view_;
  explorer::ObstacleView obstacleView_;
  explorer::Hand hand_;
  explorer::BallHand ballHand_;
  explorer::FrameFigures figures_;
  explorer::Plots plots_;
  explorer::Recording recording_;
  std::unique_ptr<explorer::Panel> panel_;
  bool ownPress_;  // a press that began outside the panel is in progress
  char overlay_[512];

 public:
  using Look = explorer::Look;
  static constexpr Look kSurface = explorer::kSurface;
  static constexpr Look kSurfaceAndNet = explorer::kSurfaceAndNet;
  static constexpr Look kNet = explorer::kNet;
  static constexpr Look kStrain = explorer::kStrain;

  viewkit::OrbitCamera camera;  // starts at drape's view, centred in the window
  viewkit::PointerControl pointer;
  Look look;
  bool paused;
  int pendingSteps;    // `.` presses not yet drawn
  bool shotRequested;  // `p`: save the next finished frame
  int hovered;         // node under the pointer at the last draw, or -1
  float& fps;          // frames per second over the last whole second
  zeMeshShape*& mesh;  // node n is vertex n; rebuilt when the size changes
  int& held;           // node held by the left button, or -1

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

  // Keeps the cloth, and every restart's, out of these meshes too.
  void setMeshes(std::vector<std::shared_ptr<const cloth::MeshObstacle>> meshes);

  // One frame of the cloth.
  void advanceCloth();
  // Back to the flat sheet at frame 0: a fresh cloth of the same settings.
  void restartCloth();
  int frame() const { return static_cast<int>(cloth_->frame()); }
  cloth::Cloth& cloth() { return *cloth_; }
  const cloth::Cloth& cloth() const { return *cloth_; }

  // What the keys do (explorer/keys.cpp's table calls these).
  void togglePause();
  void stepOnce();  // a frame forward while paused
  void unpinAll();
  void togglePanel();
  void quit();  // a recording is finished first, not left as a temporary file
  // The window manager closes the window (the toolkit ends the program
  // next): a recording is finished as quit() finishes it.
  void windowClosing();

  // The node nearest the window point (x, y) on the cloth as last drawn, or -1.
  int pick(float x, float y);
  // What a click at (x, y) prints: "node <n> (<x>, <y>, <z>)[ on terrain]\n",
  // or nothing off the cloth.
  void click(float x, float y);

  // The files of p, o, w and s (explorer/labFiles.h).
  bool savePicture() { return explorer::savePicture(frame()); }
  bool saveObj() { return explorer::saveObj(*cloth_, *view_.mesh); }
  bool saveShape() { return explorer::saveShape(*cloth_, *view_.mesh); }
  bool saveScene() { return explorer::saveScene(*cloth_); }

  // `m` (explorer/recording.h).
  bool toggleRecording() { return recording_.toggle(frame(), figures_.fps); }
  bool recording() const { return recording_.recording(); }

  // The overlay text of the last draw.
  const char* overlay() const { return overlay_; }

  // Pins a free node or frees a pinned one, printing "pinned node <n>" or
  // "unpinned node <n>".
  void togglePin(int node) { hand_.togglePin(*cloth_, node); }
  // Cuts the links that the window stroke from (x0, y0) to (x1, y1) crosses
  // on the cloth as last drawn; the number cut.
  int cutAlong(float x0, float y0, float x1, float y1);

  // Draws the surface and the net in calls of at most `vertices`
  // consecutive vertices, for GL implementations such as the browser's.
  void drawInShortCalls(int32_t vertices) { view_.drawInShortCalls(vertices); }

  // The parameter panel, shown and hidden by Tab; none until one is given.
  void setPanel(std::unique_ptr<explorer::Panel> panel);
  explorer::Panel* panel() { return panel_.get(); }
  // What the panel shows, and taking back what it changed (explorer/settings.h).
  explorer::PanelState panelState() const { return explorer::panelState(*this); }
  void applyPanel(const explorer::PanelState& state) { explorer::applyPanel(*this, state); }
  explorer::LabSettings& settings() { return settings_; }
  const explorer::LabSettings& settings() const { return settings_; }
  const explorer::FrameFigures& figures() const { return figures_; }
  const explorer::Plots& plots() const { return plots_; }

 private:
  bool panelTakesMouse();
};
