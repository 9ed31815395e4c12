#include "explorer/drapeExplorerApp.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "explorer/clothFiles.h"
#include "explorer/commandLine.h"
#include "explorer/scene.h"
#include "viewkit/picking.h"
#include "viewkit/safeFile.h"
#include "viewkit/screenshot.h"
#include "zeShape/zeShapeLists.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"
#include "zeu/zeuOverlayText.h"

namespace {

// drape's view: tilted by -35 degrees, not yet turned, ten pixels a unit.
constexpr float kStartTilt = -35.0f;
constexpr float kStartScale = 10.0f;

constexpr float kMarker[3] = {0.2f, 0.9f, 1.0f};
constexpr float kText[3] = {0.9f, 0.9f, 0.9f};

const char* const kHelp =
    "space pause   . step   r restart   n look   t turn on/off   v reset view\n"
    "p PNG   o OBJ   w shape record   s scene   m video   F1 window   Esc quit\n"
    "drag orbit   wheel zoom   click print node";

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
template <class T>
void destroy(T* object) {
  object->~T();
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
      preset_(preset),
      params_(params),
      threads_(threads),
      cloth_(new cloth::Cloth(preset, params, threads)),
      net_(nullptr),
      netCuts_(-1),
      normalsStale_(true),
      overlay_(),
      fpsStart_(std::chrono::steady_clock::now()),
      fpsFrames_(0) {
  mesh = explorer::newClothMesh(cloth_->size());
  // A mesh for its lists made at their size in one go; drawn as plain lines.
  net_ = new zeMeshShape(cloth_->size(), cloth_->size());
  net_->drawStyle = GL_LINES;
  net_->enablePicking = false;
  net_->enableVertexColors = false;
  net_->enableVertexNormals = false;
  net_->Color.set(1.0f, 1.0f, 1.0f, 1.0f);
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
}

void drapeExplorerApp::restartCloth() {
  cloth_.reset(new cloth::Cloth(preset_, params_, threads_));
  normalsStale_ = true;
  syncMesh();
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
  const bool advancing = !paused || pendingSteps > 0;
  if (advancing) {
    if (paused) --pendingSteps;
    advanceCloth();
    normalsStale_ = true;
  }
  syncMesh();
  // The lighting normals are the cloth's own; the view goes to OpenGL with
  // the vertices, so they change only when the cloth moves.
  if (normalsStale_) {
    mesh->calculateMeshNormals();
    normalsStale_ = false;
  }
  const float cx = W * 0.5f, cy = H * 0.5f;
  zeTransformsCaptureCamera();

  // In the net look the mesh is still drawn, invisibly, so that its window
  // positions (picking) stay those of this frame.
  if (look == kNet) {
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
  } else if (look == kSurfaceAndNet) {
    glEnable(GL_POLYGON_OFFSET_FILL);  // the net's lines win over the surface they lie on
    glPolygonOffset(1.0f, 1.0f);
  }
  zePushMatrix();
  camera.applySoftware(cx, cy);
  meshArrays_.draw(*mesh);
  zePopMatrix();
  if (look == kNet) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
  } else if (look == kSurfaceAndNet) {
    glDisable(GL_POLYGON_OFFSET_FILL);
  }

  if (look != kSurface) drawNet(cx, cy);

  hovered = pointer.pointerKnown() ? pick(pointer.x(), pointer.y()) : -1;
  if (hovered >= 0) drawMarker(hovered);
  countFrame();
  drawOverlay();
  if (shotRequested) {
    shotRequested = false;
    savePicture();
  }
  if (recorder_.recording()) recordFrame();
  // Turned after drawing, as drape turns by its frame count before the
  // increment: the first frame shows the cloth unturned.
  if (advancing) camera.advance();
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

void drapeExplorerApp::drawMarker(int node) {
  const zeVec3f& p = mesh->absVertexList[node];
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_POINT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glPointSize(9.0f);
  glBegin(GL_POINTS);
  glColor3f(kMarker[0], kMarker[1], kMarker[2]);
  glVertex3f(p.x, p.y, p.z);
  glEnd();
  glPopAttrib();
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
    default:
      // A recording is finished before the program winds down, not left as a temporary file.
      if (key == 27 && recorder_.recording()) stopRecording();
      zeApp::keyDown(key);  // Escape
  }
}

void drapeExplorerApp::mouseDown(float x, float y, int button) {
  pointer.mouseDown(x, y, button);
}

void drapeExplorerApp::mouseUp(float x, float y, int button) {
  if (pointer.mouseUp(x, y, button)) click(x, y);
}

void drapeExplorerApp::mouseDrag(float x, float y) {
  pointer.mouseDrag(x, y);
}

void drapeExplorerApp::mouseMove(float x, float y) {
  pointer.mouseMove(x, y);
}
