#include "explorer/drapeExplorerApp.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <utility>

#include "explorer/clothFiles.h"
#include "explorer/commandLine.h"
#include "explorer/keys.h"
#include "explorer/lab.h"
#include "explorer/strainLook.h"
#include "viewkit/view/picking.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"

namespace {

// drape's view: tilted by -35 degrees, not yet turned, ten pixels a unit.
constexpr float kStartTilt = -35.0f;
constexpr float kStartScale = 10.0f;

constexpr float kMarker[3] = {0.2f, 0.9f, 1.0f};
constexpr float kPin[3] = {1.0f, 0.85f, 0.1f};

}  // namespace

drapeExplorerApp::drapeExplorerApp()
    : drapeExplorerApp(cloth::Preset::drape, cloth::presetParams(cloth::Preset::drape, 60),
                       explorer::defaultThreads()) {}

drapeExplorerApp::drapeExplorerApp(cloth::Preset preset, const cloth::Params& params, int threads)
    : settings_{preset, params, threads, {}},
      cloth_(new cloth::Cloth(preset, params, threads)),
      view_(cloth_->size()),
      plots_(cloth_->size()),
      ownPress_(false),
      overlay_(),
      camera(kStartTilt, 0.0f, kStartScale),
      pointer(camera),
      look(kSurface),
      paused(false),
      pendingSteps(0),
      shotRequested(false),
      hovered(-1),
      fps(figures_.fps),
      mesh(view_.mesh),
      held(hand_.held) {
  zeTransformsInit();
  view_.syncPositions(*cloth_);
}

// Built as a fresh cloth of the same settings, then given the restored one
// (of the same size, so the meshes fit).
drapeExplorerApp::drapeExplorerApp(std::unique_ptr<cloth::Cloth> restored)
    : drapeExplorerApp(restored->preset(), restored->params(), restored->threads()) {
  cloth_ = std::move(restored);
  settings_.meshes = cloth_->obstacles().meshes;
  view_.clothMoved();
  view_.syncPositions(*cloth_);
}

drapeExplorerApp::~drapeExplorerApp() = default;

void drapeExplorerApp::advanceCloth() {
  cloth_->advance();
  view_.clothMoved();
  plots_.sample(*cloth_,
                std::chrono::duration<double>(explorer::Clock::now().time_since_epoch()).count());
}

void drapeExplorerApp::setMeshes(std::vector<std::shared_ptr<const cloth::MeshObstacle>> meshes) {
  settings_.meshes = std::move(meshes);
  cloth_->setMeshes(settings_.meshes);
}

void drapeExplorerApp::restartCloth() {
  const int size = cloth_->size();
  hand_.reset();
  cloth_.reset(new cloth::Cloth(settings_.preset, settings_.params, settings_.threads));
  cloth_->setMeshes(settings_.meshes);
  if (cloth_->size() != size) {
    view_.resize(cloth_->size());  // nothing under the pointer until the next draw
    hovered = -1;
  }
  view_.clothMoved();
  view_.syncFaces(*cloth_);
  view_.syncPositions(*cloth_);
  plots_.clear();
}

int drapeExplorerApp::cutAlong(float x0, float y0, float x1, float y1) {
  return explorer::cutAlong(*cloth_, mesh->screenVertexList, x0, y0, x1, y1);
}

void drapeExplorerApp::togglePause() {
  paused = !paused;
  pendingSteps = 0;
}

void drapeExplorerApp::stepOnce() {
  if (paused) ++pendingSteps;
}

void drapeExplorerApp::unpinAll() {
  hand_.unpinAll(*cloth_);
}

void drapeExplorerApp::togglePanel() {
  if (panel_) panel_->setVisible(!panel_->visible());
}

void drapeExplorerApp::quit() {
  if (recording_.recording()) recording_.stop();
  zeApp::keyDown(27);
}

void drapeExplorerApp::windowClosing() {
  if (recording_.recording()) recording_.stop();
}

// The frame: the held node placed, the cloth's step, the picture in the
// look chosen, the marks, the overlay, the panel, then what reads the
// finished frame back (a screenshot, a video frame).
void drapeExplorerApp::draw() {
  const explorer::Clock::time_point start = explorer::Clock::now();
  const float cx = W * 0.5f, cy = H * 0.5f;
  zeTransformsCaptureCamera();
  if (hand_.moveHeld(*cloth_, camera, cx, cy)) view_.clothMoved();
  ballHand_.move(*cloth_, settings_, camera, cx, cy);
  const bool advancing = !paused || pendingSteps > 0;
  float stepped = 0.0f;
  if (advancing) {
    if (paused) --pendingSteps;
    const explorer::Clock::time_point before = explorer::Clock::now();
    advanceCloth();
    stepped = explorer::millisecondsSince(before);
    figures_.stepTook(stepped);
  }
  view_.syncFaces(*cloth_);
  view_.syncPositions(*cloth_);
  obstacleView_.draw(cloth_->obstacles(), camera, cx, cy);
  view_.draw(*cloth_, look, camera, cx, cy);

  hovered = pointer.pointerKnown() ? pick(pointer.x(), pointer.y()) : -1;
  const std::vector<int>& pins = hand_.pins(*cloth_);
  if (!pins.empty()) view_.drawPoints(pins.data(), pins.size(), 7.0f, kPin);
  if (hovered >= 0) view_.drawPoints(&hovered, 1, 9.0f, kMarker);
  figures_.countFrame();
  explorer::OverlayFacts facts;
  facts.frame = frame();
  facts.fps = figures_.fps;
  facts.paused = paused;
  facts.recordingSeconds = recording_.recording() ? recording_.seconds() : -1.0;
  facts.hovered = hovered;
  explorer::overlayText(overlay_, sizeof overlay_, facts, *cloth_);
  explorer::drawOverlay(overlay_, H);
  if (look == kStrain) explorer::drawStrainScale(10.0f, 10.0f, view_.largestStrain());
  if (panel_ && panel_->visible()) {
    const explorer::Clock::time_point before = explorer::Clock::now();
    explorer::PanelState state = panelState();
    panel_->frame(state, zeuWindowWidth, zeuWindowHeight);
    applyPanel(state);
    figures_.panelTook(explorer::millisecondsSince(before));
  }
  if (shotRequested) {
    shotRequested = false;
    savePicture();
  }
  recording_.takeFrame();
  // Turned after drawing, as drape turns by its frame count before the
  // increment: the first frame shows the cloth unturned.
  if (advancing) camera.advance();
  figures_.drawTook(explorer::millisecondsSince(start) - stepped);
}

int drapeExplorerApp::pick(float x, float y) {
  return viewkit::nearestVertex(*mesh, x, y);
}

void drapeExplorerApp::click(float x, float y) {
  const int n = pick(x, y);
  if (n < 0) return;
  const zeVec3f& p = cloth_->positions()[n];
  std::printf("node %d (%.2f, %.2f, %.2f)%s\n", n, p.x, p.y, p.z,
              cloth_->inContact(n) ? " on terrain" : "");
  std::fflush(stdout);
}

// Keys go to the panel first while it is shown, unless the key table keeps
// them for the lab; what the panel leaves, the key table does.
void drapeExplorerApp::keyDown(char key) {
  const explorer::KeyRow* row = explorer::findKey(static_cast<unsigned char>(key));
  if (!(row && row->beforePanel) && panel_ && panel_->visible()) {
    panel_->key(static_cast<unsigned char>(key));
    if (panel_->wantsKeyboard()) return;
  }
  if (row && row->act)
    row->act(*this);
  else
    zeApp::keyDown(key);
}

void drapeExplorerApp::specialKeyDown(int key) {
  if (panel_ && panel_->visible()) {
    panel_->specialKey(key);
    if (panel_->wantsKeyboard()) return;
  }
  const explorer::KeyRow* row = explorer::findKey(explorer::kSpecialKey + key);
  if (row && row->act)
    row->act(*this);
  else
    zeApp::specialKeyDown(key);
}

// Over the panel the cloth and the camera get nothing, unless a press of
// theirs is under way (its drag and release stay theirs).
bool drapeExplorerApp::panelTakesMouse() {
  return panel_ && panel_->visible() && !ownPress_ && panel_->wantsMouse();
}

// Left on the cloth holds the node under the pointer once the pointer has
// moved past the click slop (a click still prints the node); left beside it
// orbits; Ctrl + left cuts; Shift + left moves the ball; right on the
// cloth pins or frees a node.
void drapeExplorerApp::mouseDown(float x, float y, int button) {
  if (panel_ && panel_->visible()) panel_->mouseButton(x, y, button, true);
  if (panelTakesMouse()) return;
  if (button == GLUT_LEFT_BUTTON) {
    ownPress_ = true;
    if ((zeuModifiers() & ZEU_SHIFT) && ballHand_.press(*cloth_, x, y)) {
      pointer.mouseMove(x, y);
      return;
    }
    if (zeuModifiers() & ZEU_CTRL) {
      hand_.startCut(x, y);
      pointer.mouseMove(x, y);
      return;
    }
    if (hand_.press(pick(x, y), x, y)) {
      pointer.mouseMove(x, y);
      return;
    }
  } else if (button == GLUT_RIGHT_BUTTON) {
    pointer.mouseMove(x, y);
    togglePin(pick(x, y));
    return;
  }
  pointer.mouseDown(x, y, button);
}

void drapeExplorerApp::mouseUp(float x, float y, int button) {
  if (panel_ && panel_->visible()) panel_->mouseButton(x, y, button, false);
  if (button == GLUT_LEFT_BUTTON && ownPress_) {
    ownPress_ = false;
    if (ballHand_.holding()) {
      ballHand_.release();
      pointer.mouseMove(x, y);
      return;
    }
    if (hand_.cutting()) {
      hand_.finishCut(*cloth_, *mesh, x, y);
      pointer.mouseMove(x, y);
      return;
    }
    if (hand_.busy()) {
      pointer.mouseMove(x, y);
      if (!hand_.release(*cloth_)) click(x, y);
      return;
    }
  } else if (panelTakesMouse()) {
    return;
  }
  if (pointer.mouseUp(x, y, button)) click(x, y);
}

void drapeExplorerApp::mouseDrag(float x, float y) {
  if (panel_ && panel_->visible()) panel_->mouseMotion(x, y);
  if (panelTakesMouse()) return;
  if (ballHand_.holding()) {
    ballHand_.dragTo(x, y);
    pointer.mouseMove(x, y);
    return;
  }
  if (hand_.cutting()) {
    hand_.cutTo(*cloth_, *mesh, x, y);
    pointer.mouseMove(x, y);
    return;
  }
  if (hand_.dragTo(*cloth_, *mesh, x, y)) {
    pointer.mouseMove(x, y);
    return;
  }
  pointer.mouseDrag(x, y);
}

void drapeExplorerApp::mouseMove(float x, float y) {
  if (panel_ && panel_->visible()) panel_->mouseMotion(x, y);
  if (panelTakesMouse()) return;
  pointer.mouseMove(x, y);
}

void drapeExplorerApp::setPanel(std::unique_ptr<explorer::Panel> panel) {
  panel_ = std::move(panel);
}
