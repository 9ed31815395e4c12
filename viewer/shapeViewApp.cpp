#include "viewer/shapeViewApp.h"

#include <GL/gl.h>

#include <cstdio>
#include <utility>

#include "viewer/recordPick.h"
#include "viewkit/files/safeFile.h"
#include "viewkit/view/screenshot.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"

namespace shapeview {

namespace {

// An indexed record without indices draws nothing, and its draw says so on
// standard output every time: at the frame rate, a flood. It is left out.
bool drawsSomething(const zeShape& s) {
  return !(s.enableIndex && s.indexListLength == 0);
}

// The explorer's starting tilt; the framing sets the size, so the camera's
// own scale is a zoom factor starting at 1.
constexpr float kStartTilt = -35.0f;
}  // namespace

ShapeViewApp::ShapeViewApp(ShapeFile file, std::string pictureStem)
    : file_(std::move(file)),
      pictureStem_(std::move(pictureStem)),
      camera_(kStartTilt, 0.0f, 1.0f),
      pointer_(camera_) {
  zeTransformsInit();
  arrays_.resize(file_.records.size());
  for (size_t k = 0; k < file_.records.size(); ++k) {
    zeShape& s = *file_.records[k].shape;
    s.enablePicking = true;  // window positions for the pointer, whatever the record says
    arrays_[k].prepare(s);
  }
}

// A record's own translation, rotation and scale place it; its draw knows
// how. One draw of every record with the view left out and nothing reaching
// the window gives the positions to frame.
void ShapeViewApp::measure() {
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDepthMask(GL_FALSE);
  for (size_t k = 0; k < file_.records.size(); ++k) {
    zeShape& s = *file_.records[k].shape;
    if (!drawsSomething(s)) continue;
    arrays_[k].draw(s);
    for (int32_t i = 0; i < s.listLength; ++i) bounds_.add(s.absVertexList[i]);
  }
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  measured_ = true;
}

void ShapeViewApp::draw() {
  if (!measured_) {
    measure();
    framedWidth_ = 0;  // frame again with the bounds
  }
  if (zeuWindowWidth != framedWidth_ || zeuWindowHeight != framedHeight_) {
    framedWidth_ = zeuWindowWidth;
    framedHeight_ = zeuWindowHeight;
    framing_ = frameBounds(bounds_, framedWidth_, framedHeight_, zeuScreenFov);
  }
  // The view goes on the shapes' own transform stack, not on OpenGL's
  // modelview: the positions draw computes are then the ones OpenGL sees,
  // and the camera captured here maps them to the window for picking.
  zeTransformsCaptureCamera();
  zePushMatrix();
  camera_.applySoftware(0.5f * framedWidth_, 0.5f * framedHeight_);
  const float s = framing_.scale;
  zeScalef(s, s, s);
  zeTranslatef(-framing_.centre.x, -framing_.centre.y, -framing_.centre.z);

  // Lit from whichever side is seen, by the normals the file holds: a
  // record with per-vertex normals is drawn with them as stored, whatever
  // its mode, and never gets them regenerated. The shape library's strip
  // normals point to the side from which a strip's first triangle turns
  // clockwise, its other faces' normals to the counter-clockwise side;
  // naming that side the front keeps each normal on the face it belongs to.
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  for (size_t k = 0; k < file_.records.size(); ++k) {
    zeShape& s = *file_.records[k].shape;
    if (!drawsSomething(s)) continue;
    glFrontFace(s.drawStyle == GL_TRIANGLE_STRIP ? GL_CW : GL_CCW);
    arrays_[k].draw(s);
  }
  glFrontFace(GL_CCW);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  zePopMatrix();

  if (pictureRequested_) {
    pictureRequested_ = false;
    savePicture();  // the back buffer holds this frame until the swap
  }
}

void ShapeViewApp::savePicture() {
  const std::string name = viewkit::freeFileName(pictureStem_, ".png");
  std::string error;
  if (viewkit::saveWindowPng(name, zeuWindowWidth, zeuWindowHeight, error)) {
    std::printf("wrote %s\n", name.c_str());
    std::fflush(stdout);
  } else {
    std::fprintf(stderr, "could not write %s: %s\n", name.c_str(), error.c_str());
  }
}

void ShapeViewApp::keyDown(char key) {
  switch (key) {
    case 'v':
      camera_.reset();
      break;
    case 'p':
      pictureRequested_ = true;  // read back once the next frame is drawn
      break;
    default:
      zeApp::keyDown(key);  // Escape
  }
}

void ShapeViewApp::mouseDown(float x, float y, int button) {
  pointer_.mouseDown(x, y, button);
}

void ShapeViewApp::mouseUp(float x, float y, int button) {
  if (!pointer_.mouseUp(x, y, button)) return;
  const RecordPick pick = pickRecord(file_, x, y);
  if (pick.record < 0) return;
  std::printf("%s\n", pickLine(file_, pick).c_str());
  std::fflush(stdout);
}

void ShapeViewApp::mouseDrag(float x, float y) {
  pointer_.mouseDrag(x, y);
}

void ShapeViewApp::mouseMove(float x, float y) {
  pointer_.mouseMove(x, y);
}

}  // namespace shapeview
