// The obstacles the cloth meets, drawn lit beside it: the ground, the ball,
// the box and the meshes, each shape made once and remade only when its
// size or turn changes (a ball that moves is only moved).
#pragma once

#include <memory>
#include <vector>

#include "cloth/obstacles.h"
#include "zeShape/zeShape.h"

namespace viewkit {
class OrbitCamera;
}

namespace explorer {

class ObstacleView {
 public:
  ObstacleView() = default;
  ~ObstacleView();
  ObstacleView(const ObstacleView&) = delete;
  ObstacleView& operator=(const ObstacleView&) = delete;

  /// Draws the obstacles through the camera, centred at (cx, cy).
  void draw(const cloth::Obstacles& obstacles, const viewkit::OrbitCamera& camera, float cx,
            float cy);

 private:
  struct Made {
    zeShape* shape = nullptr;
    float key[7] = {};  // what it was made for
  };
  static void remake(Made& made, const float* key, int keys, zeShape* (*make)(const void*),
                     const void* what);
  Made ground_, ball_, box_;
  std::vector<std::pair<const cloth::MeshObstacle*, zeShape*>> meshes_;
};

}  // namespace explorer
