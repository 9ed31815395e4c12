// shapeView's window: every record of a file drawn as a lit shape, framed
// to fill the window, turned and zoomed with the shared orbit camera.
#pragma once

#include <string>
#include <vector>

#include "viewer/framing.h"
#include "viewer/shapeFile.h"
#include "viewkit/view/orbitCamera.h"
#include "viewkit/view/pointerControl.h"
#include "zeShape/zeShapeArrays.h"
#include "zeu/zeApp.h"

namespace shapeview {

class ShapeViewApp : public zeApp {
 public:
  // pictureStem names the screenshots: "<stem>.png", "<stem>-1.png", ...
  ShapeViewApp(ShapeFile file, std::string pictureStem);
  void draw() override;
  void keyDown(char key) override;
  void mouseDown(float x, float y, int button) override;
  void mouseUp(float x, float y, int button) override;
  void mouseDrag(float x, float y) override;
  void mouseMove(float x, float y) override;

  const Framing& framing() const { return framing_; }

 private:
  void measure();
  void savePicture();

  ShapeFile file_;
  std::vector<zeShapeArrays> arrays_;  // one per record: drawn with the record's own normals
  std::string pictureStem_;
  Bounds bounds_;  // of every record as drawn, with its own transform
  bool measured_ = false;
  Framing framing_;
  int framedWidth_ = 0;
  int framedHeight_ = 0;
  viewkit::OrbitCamera camera_;
  viewkit::PointerControl pointer_;
  bool pictureRequested_ = false;
};

}  // namespace shapeview
