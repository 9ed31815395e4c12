// Bullet's soft-body cloth in the scene our cloth is timed in: an N x N sheet
// over x, y from -29 to 30 at height 30, its nodes joined to their four grid
// neighbours, falling under gravity onto a static box whose top is at height
// 4. One step() is one frame of 1/60 s, one internal Bullet step.
#ifndef BENCH_BULLETCLOTHSCENE_H
#define BENCH_BULLETCLOTHSCENE_H

#include <memory>

class btSoftBody;

namespace bulletcloth {

constexpr float kLow = -29.0f;  // the sheet's first row and column, x and y
constexpr float kHigh = 30.0f;  // its last
constexpr float kStartHeight = 30.0f;
constexpr float kBoxTop = 4.0f;
constexpr float kBoxDepth = 50.0f;
constexpr float kFrameSeconds = 1.0f / 60.0f;
// Along z, per second squared: the fall per frame of our cloth, whose
// velocity gains -2 per frame and moves its position by 0.01 of it (0.02 per
// frame squared), at 60 frames a second.
constexpr float kGravity = -0.02f * 60 * 60;

class Scene {
 public:
  // Throws std::invalid_argument unless 2 <= n <= kMaxSide.
  explicit Scene(int n);
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  static constexpr int kMaxSide = 4096;

  // One frame: world.stepSimulation(kFrameSeconds, 0).
  void step();

  int side() const { return n_; }
  int nodes() const;
  int links() const;
  int contacts() const;         // node contacts with the box in the last step
  float lowestHeight() const;   // the smallest node z
  float highestHeight() const;  // the largest node z
  const btSoftBody& sheet() const;

 private:
  struct World;
  int n_;
  std::unique_ptr<World> world_;
};

// The hanging sheet of our cloth's hanging preset: N x N over x, y from -29
// to 30 at height 30, the two corners of the far edge (y = 30) fixed, no
// floor; structural, shear (both diagonals) and bending (across two nodes)
// links, all of full stiffness, and `iterations` position iterations. One
// step() is one frame of 1/60 s, one internal Bullet step, under gravity
// kHangingGravity: the fall per frame of our hanging preset (a quarter of
// drape's gravity over frames of 0.02), at 60 frames a second.
constexpr float kHangingGravity = -50.0f * 0.02f * 0.02f * 60 * 60;

class HangingScene {
 public:
  // Throws std::invalid_argument unless 2 <= n <= Scene::kMaxSide and
  // iterations >= 1.
  HangingScene(int n, int iterations);
  ~HangingScene();
  HangingScene(const HangingScene&) = delete;
  HangingScene& operator=(const HangingScene&) = delete;

  void step();
  int side() const { return n_; }
  // Node (column c, row r) at index r * n + c, as in our cloth.
  void position(int node, float& x, float& y, float& z) const;

 private:
  struct World;
  int n_;
  std::unique_ptr<World> world_;
};

}  // namespace bulletcloth

#endif
