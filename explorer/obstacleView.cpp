#include "explorer/obstacleView.h"

#include <cstring>

#include "explorer/obstacleShapes.h"
#include "viewkit/view/orbitCamera.h"
#include "zeShape/zeTransforms.h"

namespace explorer {

namespace {

constexpr float kGroundHalf = 60.0f;  // wider than any sheet spreads

zeShape* makeGround(const void* what) {
  return newGroundShape(static_cast<const cloth::GroundShape*>(what)->height, kGroundHalf);
}
zeShape* makeBall(const void* what) {
  return newBallShape(static_cast<const cloth::SphereShape*>(what)->radius);
}
zeShape* makeBox(const void* what) {
  cloth::BoxShape box = *static_cast<const cloth::BoxShape*>(what);
  box.centre = zeVec3f();  // made about its centre, placed by its Translation
  return newBoxShape(box);
}

}  // namespace

ObstacleView::~ObstacleView() {
  for (Made* m : {&ground_, &ball_, &box_})
    if (m->shape) deleteObstacleShape(m->shape);
  for (auto& m : meshes_) deleteObstacleShape(m.second);
}

void ObstacleView::remake(Made& made, const float* key, int keys, zeShape* (*make)(const void*),
                          const void* what) {
  if (made.shape && std::memcmp(made.key, key, sizeof(float) * keys) == 0) return;
  if (made.shape) deleteObstacleShape(made.shape);
  made.shape = make(what);
  std::memcpy(made.key, key, sizeof(float) * keys);
}

void ObstacleView::draw(const cloth::Obstacles& obstacles, const viewkit::OrbitCamera& camera,
                        float cx, float cy) {
  zePushMatrix();
  camera.applySoftware(cx, cy);
  if (obstacles.ground) {
    const float key[1] = {obstacles.groundShape.height};
    remake(ground_, key, 1, makeGround, &obstacles.groundShape);
    ground_.shape->draw();
  }
  if (!obstacles.balls.empty()) {
    const cloth::SphereShape& ball = obstacles.balls[0].shape;
    const float key[1] = {ball.radius};
    remake(ball_, key, 1, makeBall, &ball);
    ball_.shape->Translation = ball.centre;
    ball_.shape->draw();
  }
  if (!obstacles.boxes.empty()) {
    const cloth::BoxShape& box = obstacles.boxes[0];
    const float key[7] = {box.half.x,    box.half.y,    box.half.z,   box.axis[1].x,
                          box.axis[1].y, box.axis[1].z, box.axis[2].z};
    remake(box_, key, 7, makeBox, &box);
    box_.shape->Translation = box.centre;
    box_.shape->draw();
  }
  // Meshes by the obstacle they show: a new set of meshes remakes them.
  bool same = meshes_.size() == obstacles.meshes.size();
  for (size_t k = 0; same && k < meshes_.size(); ++k)
    same = meshes_[k].first == obstacles.meshes[k].get();
  if (!same) {
    for (auto& m : meshes_) deleteObstacleShape(m.second);
    meshes_.clear();
    for (const auto& m : obstacles.meshes)
      meshes_.emplace_back(m.get(), newTriangleMeshShape(m->mesh));
  }
  for (auto& m : meshes_) m.second->draw();
  zePopMatrix();
}

}  // namespace explorer
