#include "explorer/drapeExplorerApp.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "explorer/clothFiles.h"
#include "explorer/commandLine.h"
#include "explorer/lab.h"
#include "explorer/scene.h"
#include "viewkit/files/safeFile.h"
#include "viewkit/view/picking.h"
#include "viewkit/view/screenshot.h"
#include "zeShape/zeShapeLists.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

namespace {

// drape's view: tilted by -35 degrees, not yet turned, ten pixels a unit.
constexpr float kStartTilt = -35.0f;
constexpr float kStartScale = 10.0f;

constexpr float kMarker[3] = {0.2f, 0.9f, 1.0f};
constexpr float kPin[3] = {1.0f, 0.85f, 0.1f};
constexpr float kText[3] = {0.9f, 0.9f, 0.9f};

const char* const kHelp =
    "space pause   . step   r restart   n look   t turn on/off   v reset view\n"
    "p PNG   o OBJ   w shape record   s scene   m video   F1 window   Esc quit\n"
    "drag orbit   wheel zoom   click print node   drag cloth grab   right click pin   "
    "ctrl-drag cut   u unpin all   Tab panel";

using Clock = std::chrono::steady_clock;

float millisecondsBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<float, std::milli>(b - a).count();
}

bool sameParams(const cloth::Params& a, const cloth::Params& b) {
  int count;
  const cloth::ParamInfo* table = cloth::paramTable(count);
  for (int k = 0; k < count; ++k)
    if (cloth::paramValue(table[k], a) != cloth::paramValue(table[k], b)) return false;
  return true;
}

// The shown times follow the measured ones over some ten frames.
void smooth(float& shown, float measured) {
  shown = shown == 0.0f ? measured : 0.9f * shown + 0.1f * measured;
}

std::string fileStem(int frame) {
  char stem[32];
  std::snprintf(stem, sizeof stem, "drape-%05d", frame);
  return stem;
}

bool report(const std::string& name, bool ok, const std::string& error) {
  if (ok) {
    std::printf("wrote %s\n", name.c_str());
    std::fflush(stdout);
  } else {
    std::fprintf(stderr, "could not write %s: %s\n", name.c_str(), error.c_str());
  }
  return ok;
}

// Deletes an object known to be of exactly type T (these classes have no
// virtual destructors).
// drape's net as white lines over the cloth's nodes: a mesh for its lists,
// made at their size in one go, with its strips replaced by the net's links.
zeMeshShape* newNetShape(int size) {
  zeMeshShape* net = new zeMeshShape(size, size);
  net->drawStyle = GL_LINES;
  net->enablePicking = false;
  net->enableVertexColors = false;
  net->enableVertexNormals = false;
  net->Color.set(1.0f, 1.0f, 1.0f, 1.0f);
  return net;
}

template <class T>
void destroy(T* object) {
  object->T::~T();
  ::operator delete(object);
}

}  // namespace

drapeExplorerApp::drapeExplorerApp()
    : drapeExplorerApp(cloth::Preset::drape, cloth::presetParams(cloth::Preset::drape, 60),
                       explorer::defaultThreads()) {}

drapeExplorerApp::drapeExplorerApp(cloth::Preset preset, const cloth::Params& params, int threads)
    : camera(kStartTilt, 0.0f, kStartScale),
      pointer(camera),
      look(kSurface),
      paused(false),
      pendingSteps(0),
      shotRequested(false),
      hovered(-1),
      fps(0.0f),
      mesh(nullptr),
      held(-1),
      preset_(preset),
      params_(params),
      threads_(threads),
      cloth_(new cloth::Cloth(preset, params, threads)),
      net_(nullptr),
      netCuts_(-1),
      normalsStale_(true),
      overlay_(),
      fpsStart_(std::chrono::steady_clock::now()),
      fpsFrames_(0),
      stepMs_(0.0f),
      drawMs_(0.0f),
      panelMs_(0.0f),
      faceCuts_(0),
      pinsStale_(true),
      pressed_(-1),
      pressX_(0.0f),
      pressY_(0.0f),
      holdX_(0.0f),
      holdY_(0.0f),
      holdDepth_(0.0),
      heldWasPinned_(false),
      cutting_(false),
      strokeX_(0.0f),
      strokeY_(0.0f),
      strokeCuts_(0),
      ownPress_(false) {
  mesh = explorer::newClothMesh(cloth_->size());
  net_ = newNetShape(cloth_->size());
  zeTransformsInit();
  syncMesh();
}

// Built as a fresh cloth of the same settings, then given the restored one
// (of the same size, so the meshes fit).
drapeExplorerApp::drapeExplorerApp(std::unique_ptr<cloth::Cloth> restored)
    : drapeExplorerApp(restored->preset(), restored->params(), restored->threads()) {
  cloth_ = std::move(restored);
  normalsStale_ = true;
  syncMesh();
}

// The program never ends this way, but a test does.
drapeExplorerApp::~drapeExplorerApp() {
  destroy(mesh);
  destroy(net_);
}

void drapeExplorerApp::advanceCloth() {
  cloth_->advance();
  normalsStale_ = true;
}

void drapeExplorerApp::restartCloth() {
  const int size = cloth_->size();
  held = pressed_ = -1;
  cutting_ = false;
  cloth_.reset(new cloth::Cloth(preset_, params_, threads_));
  if (cloth_->size() != size) rebuildMeshes();
  normalsStale_ = true;
  pinsStale_ = true;
  syncFaces();
  syncMesh();
}

// A new size: new meshes, nothing under the pointer until the next draw.
void drapeExplorerApp::rebuildMeshes() {
  destroy(mesh);
  mesh = explorer::newClothMesh(cloth_->size());
  destroy(net_);
  net_ = newNetShape(cloth_->size());
  netCuts_ = -1;
  faceCuts_ = 0;
  hovered = -1;
}

// The surface loses the faces of cut and torn links; made again only when
// links went since the last time.
void drapeExplorerApp::syncFaces() {
  if (faceCuts_ == cloth_->cutLinks()) return;
  explorer::buildFaces(*cloth_, *mesh);
  meshArrays_.prepare(*mesh);
  faceCuts_ = cloth_->cutLinks();
  normalsStale_ = true;
}

void drapeExplorerApp::syncPins() {
  if (!pinsStale_) return;
  pins_.clear();
  for (int n = 0; n < cloth_->nodeCount(); ++n)
    if (n == held ? heldWasPinned_ : cloth_->pinned(n)) pins_.push_back(n);
  pinsStale_ = false;
}

void drapeExplorerApp::togglePin(int node) {
  if (node < 0 || node >= cloth_->nodeCount()) return;
  bool now;
  if (node == held) {
    now = heldWasPinned_ = !heldWasPinned_;  // takes effect at the release
  } else {
    now = !cloth_->pinned(node);
    cloth_->setPinned(node, now);
  }
  pinsStale_ = true;
  std::printf("%s node %d\n", now ? "pinned" : "unpinned", node);
  std::fflush(stdout);
}

int drapeExplorerApp::cutAlong(float x0, float y0, float x1, float y1) {
  return explorer::cutAlong(*cloth_, mesh->screenVertexList, x0, y0, x1, y1);
}

// The held node keeps its window depth: it moves on the plane through it
// that faces the viewer. It is pinned while held, so the cloth follows it
// and no step moves it.
void drapeExplorerApp::startHold() {
  const int node = pressed_;
  pressed_ = -1;
  if (!explorer::windowDepth(mesh->space, cloth_->positions()[node], holdDepth_)) return;
  held = node;
  heldWasPinned_ = cloth_->pinned(node);
  cloth_->setPinned(node, true);
  pinsStale_ = true;
}

// Placed through the view this frame is drawn with, so that it is drawn
// under the pointer even while the scene turns.
void drapeExplorerApp::holdNode(float cx, float cy) {
  zePushMatrix();
  camera.applySoftware(cx, cy);
  const zeMatrix4f space = *getCurrentMatrix();
  zePopMatrix();
  zeVec3f p;
  if (!explorer::unproject(space, holdX_, holdY_, holdDepth_, p)) return;
  const zeVec3f& now = cloth_->positions()[held];
  if (p.x == now.x && p.y == now.y && p.z == now.z) return;
  cloth_->placeNode(held, p);
  normalsStale_ = true;
}

void drapeExplorerApp::releaseHold() {
  if (held < 0) return;
  cloth_->setPinned(held, heldWasPinned_);
  held = -1;
  pinsStale_ = true;
}

void drapeExplorerApp::syncMesh() {
  explorer::copyPositions(*cloth_, *mesh);
}

// drape's net at any size: for each inner step one segment along row b
// (columns a - 1 to a) and one along column b (rows a - 1 to a); the outer
// border is not drawn, and neither is a cut link. Made again only when links
// were cut.
void drapeExplorerApp::buildNet() {
  const int N = cloth_->size();
  const cloth::Cloth& c = *cloth_;
  int32_t count = 0;
  for (int a = 1; a < N; ++a)
    for (int b = 1; b < N - 1; ++b)
      count += 2 * (c.linkRight(N * b + a - 1) + c.linkUp(N * (a - 1) + b));
  zeResizeList(net_->indexList, count);
  net_->indexListLength = count;
  int32_t* out = net_->indexList;
  for (int a = 1; a < N; ++a) {
    for (int b = 1; b < N - 1; ++b) {
      const int row = N * b + a - 1, column = N * (a - 1) + b;
      if (c.linkRight(row)) {
        *out++ = row;
        *out++ = row + 1;
      }
      if (c.linkUp(column)) {
        *out++ = column;
        *out++ = column + N;
      }
    }
  }
  netArrays_.prepare(*net_);
  netCuts_ = c.cutLinks();
}

// The surface goes through the shape library, whose draw maps the vertices
// through the software transform stack: the view is put there, OpenGL's
// modelview stays the identity, and the captured camera is the standard
// frame's. The net is sent to OpenGL directly, so the same view goes on
// OpenGL's modelview around it.
void drapeExplorerApp::draw() {
  const Clock::time_point start = Clock::now();
  const float cx = W * 0.5f, cy = H * 0.5f;
  zeTransformsCaptureCamera();
  if (held >= 0) holdNode(cx, cy);
  const bool advancing = !paused || pendingSteps > 0;
  float stepped = 0.0f;
  if (advancing) {
    if (paused) --pendingSteps;
    const Clock::time_point before = Clock::now();
    advanceCloth();
    stepped = millisecondsBetween(before, Clock::now());
    smooth(stepMs_, stepped);
  }
  syncFaces();
  syncMesh();
  // The lighting normals are the cloth's own; the view goes to OpenGL with
  // the vertices, so they change only when the cloth moves, and the net
  // look, which draws no surface, leaves them until a look that does.
  if (normalsStale_ && look != kNet) {
    mesh->calculateMeshNormals();
    normalsStale_ = false;
  }

  // In the net look only the mesh's window positions are made (picking),
  // as its draw makes them; nothing of it is rasterised.
  zePushMatrix();
  camera.applySoftware(cx, cy);
  if (look == kNet) {
    meshArrays_.locate(*mesh);
  } else if (look == kSurfaceAndNet) {
    glEnable(GL_POLYGON_OFFSET_FILL);  // the net's lines win over the surface they lie on
    glPolygonOffset(1.0f, 1.0f);
    meshArrays_.draw(*mesh);
    glDisable(GL_POLYGON_OFFSET_FILL);
  } else {
    meshArrays_.draw(*mesh);
  }
  zePopMatrix();

  if (look != kSurface) drawNet(cx, cy);

  hovered = pointer.pointerKnown() ? pick(pointer.x(), pointer.y()) : -1;
  syncPins();
  if (!pins_.empty()) drawPoints(pins_.data(), pins_.size(), 7.0f, kPin);
  if (hovered >= 0) drawPoints(&hovered, 1, 9.0f, kMarker);
  countFrame();
  drawOverlay();
  if (panel_ && panel_->visible()) {
    const Clock::time_point before = Clock::now();
    explorer::PanelState state = panelState();
    panel_->frame(state, zeuWindowWidth, zeuWindowHeight);
    applyPanel(state);
    smooth(panelMs_, millisecondsBetween(before, Clock::now()));
  }
  if (shotRequested) {
    shotRequested = false;
    savePicture();
  }
  if (recorder_.recording()) recordFrame();
  // Turned after drawing, as drape turns by its frame count before the
  // increment: the first frame shows the cloth unturned.
  if (advancing) camera.advance();
  smooth(drawMs_, millisecondsBetween(start, Clock::now()) - stepped);
}

// Points over everything, unlit: the pins and the node under the pointer.
void drapeExplorerApp::drawPoints(const int* nodes, size_t count, float size,
                                  const float colour[3]) {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glPointSize(size);
  glBegin(GL_POINTS);
  glColor3f(colour[0], colour[1], colour[2]);
  for (size_t k = 0; k < count; ++k) {
    const zeVec3f& p = mesh->absVertexList[nodes[k]];
    glVertex3f(p.x, p.y, p.z);
  }
  glEnd();
  glPopAttrib();
}

// The net's lines are lit with the normal (0, 0, 1), OpenGL's initial one,
// as drape's are.
void drapeExplorerApp::drawNet(float cx, float cy) {
  if (netCuts_ != cloth_->cutLinks()) buildNet();
  std::memcpy(static_cast<void*>(net_->vertexList), cloth_->positions(),
              sizeof(zeVec3f) * static_cast<size_t>(cloth_->nodeCount()));
  zePushMatrix();
  camera.applySoftware(cx, cy);
  netArrays_.draw(*net_);
  zePopMatrix();
}

void drapeExplorerApp::countFrame() {
  ++fpsFrames_;
  const auto now = std::chrono::steady_clock::now();
  const double seconds = std::chrono::duration<double>(now - fpsStart_).count();
  if (seconds >= 1.0) {
    fps = static_cast<float>(fpsFrames_ / seconds);
    fpsFrames_ = 0;
    fpsStart_ = now;
  }
}

void drapeExplorerApp::drawOverlay() {
  char recordingText[40] = "";
  if (recorder_.recording()) {
    const long seconds = static_cast<long>(recorder_.seconds());
    std::snprintf(recordingText, sizeof recordingText, "   recording %ld:%02ld", seconds / 60,
                  seconds % 60);
  }
  // snprintf never writes past the buffer; a cut line is all that can happen.
  int used = std::snprintf(overlay_, sizeof overlay_, "frame %d   %.1f fps%s%s\n", frame(), fps,
                           paused ? "   paused" : "", recordingText);
  if (used < 0 || used >= static_cast<int>(sizeof overlay_)) used = 0;
  const size_t left = sizeof overlay_ - static_cast<size_t>(used);
  if (hovered >= 0) {
    const zeVec3f& p = cloth_->positions()[hovered];
    std::snprintf(overlay_ + used, left, "node %d (%.2f, %.2f, %.2f)%s\n%s", hovered, p.x, p.y, p.z,
                  cloth_->inContact(hovered) ? " on terrain" : "", kHelp);
  } else {
    std::snprintf(overlay_ + used, left, "\n%s", kHelp);
  }
  zeuOverlayText(10.0f, H - 8.0f, overlay_, kText[0], kText[1], kText[2]);
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

bool drapeExplorerApp::savePicture() {
  const std::string name = viewkit::freeFileName(fileStem(frame()), ".png");
  std::string error;
  const bool ok = viewkit::saveWindowPng(name, zeuWindowWidth, zeuWindowHeight, error);
  return report(name, ok, error);
}

bool drapeExplorerApp::saveObj() {
  explorer::prepareForFile(*cloth_, *mesh);
  const std::string name = viewkit::freeFileName(fileStem(frame()), ".obj");
  std::string error;
  return report(name, explorer::writeClothObj(*mesh, name, false, error), error);
}

bool drapeExplorerApp::saveShape() {
  explorer::prepareForFile(*cloth_, *mesh);
  const std::string name = viewkit::freeFileName(fileStem(frame()), ".shape");
  std::string error;
  return report(name, explorer::writeClothShape(*mesh, name, false, error), error);
}

bool drapeExplorerApp::saveScene() {
  const std::string name = viewkit::freeFileName(fileStem(frame()), ".json");
  std::string error;
  return report(name, explorer::writeScene(*cloth_, name, error), error);
}

bool drapeExplorerApp::toggleRecording() {
  if (recorder_.recording()) return stopRecording();
  // The even-sized lower-left part of the window, at the rate the cloth runs
  // at now; 60 frames a second before the first second has been measured.
  const int width = zeuWindowWidth & ~1, height = zeuWindowHeight & ~1;
  const double rate = fps > 0.0f ? std::round(fps) : 60.0;
  const std::string name = viewkit::freeFileName(fileStem(frame()), ".mp4");
  std::string error;
  if (!recorder_.start(name, width, height, rate, error)) {
    std::fprintf(stderr, "could not record: %s\n", error.c_str());
    return false;
  }
  return true;
}

bool drapeExplorerApp::stopRecording() {
  std::string line;
  const bool ok = recorder_.stop(line);
  std::fprintf(ok ? stdout : stderr, "%s\n", line.c_str());
  if (ok) std::fflush(stdout);
  return ok;
}

void drapeExplorerApp::recordFrame() {
  if (recorder_.failed()) {
    stopRecording();  // ffmpeg has ended: say why, leave no file
    return;
  }
  viewkit::recordWindowFrame(recorder_, zeuWindowWidth, zeuWindowHeight);
}

void drapeExplorerApp::keyDown(char key) {
  // Tab is the panel's own key, never ImGui's (whose Tab would move its
  // keyboard focus into a field, which then keeps the keys).
  if (key == '\t') {
    if (panel_) panel_->setVisible(!panel_->visible());
    return;
  }
  if (panel_ && panel_->visible()) {
    panel_->key(static_cast<unsigned char>(key));
    if (panel_->wantsKeyboard()) return;
  }
  switch (key) {
    case ' ':
      paused = !paused;
      pendingSteps = 0;
      break;
    case '.':
      if (paused) ++pendingSteps;
      break;
    case 'r':
      restartCloth();
      break;
    case 'n':
      look = static_cast<Look>((look + 1) % 3);
      break;
    case 't':
      camera.autoTurn = !camera.autoTurn;
      break;
    case 'v':
      camera.reset();
      break;
    case 'p':
      shotRequested = true;  // read back once the next frame is drawn
      break;
    case 'o':
      saveObj();
      break;
    case 'w':
      saveShape();
      break;
    case 's':
      saveScene();
      break;
    case 'm':
      toggleRecording();
      break;
    case 'u':
      cloth_->unpinAll();
      if (held >= 0) {
        heldWasPinned_ = false;
        cloth_->setPinned(held, true);
      }
      pinsStale_ = true;
      break;
    default:
      // A recording is finished before the program winds down, not left as a temporary file.
      if (key == 27 && recorder_.recording()) stopRecording();
      zeApp::keyDown(key);  // Escape
  }
}

void drapeExplorerApp::specialKeyDown(int key) {
  if (panel_ && panel_->visible()) {
    panel_->specialKey(key);
    if (panel_->wantsKeyboard()) return;
  }
  zeApp::specialKeyDown(key);  // F1
}

// Over the panel the cloth and the camera get nothing, unless a press of
// theirs is under way (its drag and release stay theirs).
bool drapeExplorerApp::panelTakesMouse() {
  return panel_ && panel_->visible() && !ownPress_ && panel_->wantsMouse();
}

// Left on the cloth holds the node under the pointer once the pointer has
// moved past the click slop (a click still prints the node); left beside it
// orbits; Ctrl + left cuts; right on the cloth pins or frees a node.
void drapeExplorerApp::mouseDown(float x, float y, int button) {
  if (panel_ && panel_->visible()) panel_->mouseButton(x, y, button, true);
  if (panelTakesMouse()) return;
  if (button == GLUT_LEFT_BUTTON) {
    ownPress_ = true;
    if (zeuModifiers() & ZEU_CTRL) {
      cutting_ = true;
      strokeX_ = x;
      strokeY_ = y;
      strokeCuts_ = 0;
      pointer.mouseMove(x, y);
      return;
    }
    pressed_ = pick(x, y);
    if (pressed_ >= 0) {
      pressX_ = holdX_ = x;
      pressY_ = holdY_ = y;
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
    if (cutting_) {
      strokeCuts_ += cutAlong(strokeX_, strokeY_, x, y);
      cutting_ = false;
      pointer.mouseMove(x, y);
      std::printf("cut %d links\n", strokeCuts_);
      std::fflush(stdout);
      return;
    }
    if (pressed_ >= 0 || held >= 0) {
      pointer.mouseMove(x, y);
      if (held >= 0) {
        releaseHold();
      } else {
        pressed_ = -1;
        click(x, y);
      }
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
  if (cutting_) {
    strokeCuts_ += cutAlong(strokeX_, strokeY_, x, y);
    strokeX_ = x;
    strokeY_ = y;
    pointer.mouseMove(x, y);
    return;
  }
  if (pressed_ >= 0) {
    const float dx = x - pressX_, dy = y - pressY_;
    const float slop = viewkit::PointerControl::kClickSlop;
    if (dx * dx + dy * dy > slop * slop) startHold();
  }
  if (held >= 0 || pressed_ >= 0) {
    holdX_ = x;
    holdY_ = y;
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

void drapeExplorerApp::drawInShortCalls(int32_t vertices) {
  for (zeShapeArrays* arrays : {&meshArrays_, &netArrays_}) {
    arrays->setVertexWindow(vertices);
    arrays->setInterleaved(true);
  }
  meshArrays_.prepare(*mesh);
  netCuts_ = -1;  // the net's list is made again, in short calls
}

void drapeExplorerApp::setPanel(std::unique_ptr<explorer::Panel> panel) {
  panel_ = std::move(panel);
}

explorer::PanelState drapeExplorerApp::panelState() const {
  explorer::PanelState s;
  s.params = params_;
  s.preset = preset_;
  s.threads = threads_;
  s.look = look;
  s.autoTurn = camera.autoTurn;
  s.paused = paused;
  s.stepMs = stepMs_;
  s.drawMs = drawMs_;
  s.panelMs = panelMs_;
  s.fps = fps;
  return s;
}

// Parameters go to the running cloth from its next step, which carries on
// from where it is; the size waits for a restart. A choice of preset brings
// its parameters at the size asked for and restarts.
void drapeExplorerApp::applyPanel(const explorer::PanelState& s) {
  std::string what;
  if (s.presetChosen) {
    preset_ = s.preset;
    params_ =
        cloth::presetParams(preset_, std::clamp(s.params.size, cloth::kMinSize, cloth::kMaxSize));
  } else if (cloth::paramsValid(s.params, what)) {
    params_ = s.params;
    cloth::Params live = params_;
    live.size = cloth_->size();
    if (!sameParams(live, cloth_->params())) cloth_->setParams(live);
  }
  if (s.threads != threads_ && s.threads >= 1 && s.threads <= 64) {
    threads_ = s.threads;
    cloth_->setThreads(threads_);
  }
  look = static_cast<Look>(std::clamp(s.look, 0, 2));
  camera.autoTurn = s.autoTurn;
  if (s.paused != paused) {
    paused = s.paused;
    pendingSteps = 0;
  }
  if (s.step && paused) ++pendingSteps;
  if (s.restart || s.presetChosen) restartCloth();
}
