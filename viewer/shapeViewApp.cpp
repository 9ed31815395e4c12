#include "viewer/shapeViewApp.h"

#include <GL/gl.h>

#include <utility>

#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"

namespace shapeview {

ShapeViewApp::ShapeViewApp(ShapeFile file) : file_(std::move(file)) {
  zeTransformsInit();
  for (ShapeRecord& r : file_.records) {
    bounds_.add(boundsOf(*r.shape));
    r.shape->enablePicking = true;  // window positions for the pointer, whatever the record says
  }
}

void ShapeViewApp::draw() {
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
  zeTranslatef(0.5f * framedWidth_, 0.5f * framedHeight_, 0.0f);
  zeRotatef(-35.0f, 1.0f, 0.0f, 0.0f);
  const float s = framing_.scale;
  zeScalef(s, s, s);
  zeTranslatef(-framing_.centre.x, -framing_.centre.y, -framing_.centre.z);
  // Lit from whichever side is seen. The shape library's strip normals
  // point to the side from which a strip's first triangle turns clockwise,
  // its other faces' normals to the counter-clockwise side; naming that side
  // the front keeps each normal on the face it belongs to.
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  for (ShapeRecord& r : file_.records) {
    glFrontFace(r.shape->drawStyle == GL_TRIANGLE_STRIP ? GL_CW : GL_CCW);
    r.shape->draw();
  }
  glFrontFace(GL_CCW);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  zePopMatrix();
}

}  // namespace shapeview
