// shapeView's window: every record of a file drawn as a lit shape, framed
// to fill the window.
#pragma once

#include "viewer/framing.h"
#include "viewer/shapeFile.h"
#include "zeu/zeApp.h"

namespace shapeview {

class ShapeViewApp : public zeApp {
 public:
  explicit ShapeViewApp(ShapeFile file);
  void draw() override;

 private:
  ShapeFile file_;
  Bounds bounds_;
  Framing framing_;
  int framedWidth_ = 0;
  int framedHeight_ = 0;
};

}  // namespace shapeview
