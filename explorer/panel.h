// The parameter panel's side of drapeExplorer: what the program hands the
// panel each frame and reads back, and the events it passes on. The panel
// itself (Dear ImGui, in panel.cpp) is linked into the program only, so the
// application builds and is tested without it.
#pragma once

#include <memory>

#include "cloth/obstacles.h"
#include "cloth/params.h"

namespace explorer {

// The settings the panel shows and changes, copied in before each frame of
// the panel and read back after it.
struct PanelState {
  cloth::Params params;  // in force; the size applies at the next restart
  cloth::Preset preset = cloth::Preset::drape;
  int threads = 1;
  int look = 0;  // drapeExplorerApp::Look
  bool autoTurn = true;
  bool paused = false;
  bool step = false;          // one frame forward (while paused)
  bool restart = false;       // a fresh cloth of these settings
  bool presetChosen = false;  // preset changed: its parameters, then a restart
  float stepMs = 0, drawMs = 0, fps = 0;
  float panelMs = 0;  // the panel's own share of drawMs
  // The last ten seconds of the largest strain and the kinetic energy,
  // oldest first (shown, not changed).
  const float* strainPlot = nullptr;
  int strainPoints = 0;
  const float* energyPlot = nullptr;
  int energyPoints = 0;
  // The mesh colliders (shown, not changed).
  const std::shared_ptr<const cloth::MeshObstacle>* meshes = nullptr;
  int meshCount = 0;
};

// A panel over the picture. Positions are window pixels with the origin at
// the bottom-left corner, as the application's handlers get them.
class Panel {
 public:
  virtual ~Panel() = default;
  bool visible() const { return visible_; }
  void setVisible(bool visible) { visible_ = visible; }

  // The panel would take the pointer or the keys (as of its last frame).
  virtual bool wantsMouse() const = 0;
  virtual bool wantsKeyboard() const = 0;
  // Events, only while visible. button is GLUT's (3 and 4 the wheel).
  virtual void mouseButton(float x, float y, int button, bool down) = 0;
  virtual void mouseMotion(float x, float y) = 0;
  virtual void key(unsigned char key) = 0;
  virtual void specialKey(int key) = 0;
  // Draws the panel over the frame in a window of width x height pixels.
  virtual void frame(PanelState& state, int width, int height) = 0;

 private:
  bool visible_ = false;
};

// The Dear ImGui panel; ImGui starts at its first frame.
std::unique_ptr<Panel> newImGuiPanel();

}  // namespace explorer
