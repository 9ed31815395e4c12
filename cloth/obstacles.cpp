#include "cloth/obstacles.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "cloth/digest.h"
#include "cloth/friction.h"

namespace cloth {

namespace {

constexpr float kMeshMargin = 6.0f;  // beyond the largest thickness
// Of an overlap deeper than a step's move, the share of the thickness a
// small step takes back.
constexpr float kDepenetration = 0.01f;

// Pushes p out along the normal to `thickness` from a surface at signed
// distance d, with friction against the surface's move in the step. True
// when it touched. A node that was already nearer than the thickness at
// the step's start (`was`, its distance then from where the surface was
// then) is put back no deeper than it was, and only a hundredth of the
// thickness further out a step: an obstacle put over the cloth lets it out
// gently instead of throwing it (a push becomes speed in the next step).
template <class DistanceBefore>
inline bool pushOut(zeVec3f& p, const zeVec3f& before, float d, const zeVec3f& normal,
                    const zeVec3f& surfaceMove, float thickness, float staticFriction,
                    float kineticFriction, DistanceBefore was) {
  if (!(d < thickness)) return false;
  float target = thickness;
  const float then = was();
  if (then < thickness) {
    const float gently = then + kDepenetration * thickness;
    if (gently < target) target = gently;
  }
  if (!(d < target)) return true;
  const float depth = target - d;
  p = zeVec3f(p.x + normal.x * depth, p.y + normal.y * depth, p.z + normal.z * depth);
  p = withFriction(p, before, surfaceMove, normal, depth, staticFriction, kineticFriction);
  return true;
}

// The height field's distance along its normal, from its slope over a
// short span about (x, y). Where the slope is that of a cliff (a step of the
// field within the span), a normal would push sideways off the step's
// edge: there the distance is the height above the field, straight up.
inline float heightDistance(const HeightField& field, const zeVec3f& p, zeVec3f& normal) {
  constexpr float span = 0.05f;
  constexpr float cliff = 2.0f;  // slope, about 63 degrees
  const float h = field.height(p.x, p.y);
  const float sx = (field.height(p.x + span, p.y) - field.height(p.x - span, p.y)) / (2.0f * span);
  const float sy = (field.height(p.x, p.y + span) - field.height(p.x, p.y - span)) / (2.0f * span);
  const float slope2 = sx * sx + sy * sy;
  if (!(slope2 <= cliff * cliff)) {
    normal = zeVec3f(0.0f, 0.0f, 1.0f);
    return p.z - h;
  }
  const float length = std::sqrt(slope2 + 1.0f);
  normal = zeVec3f(-sx / length, -sy / length, 1.0f / length);
  return (p.z - h) / length;
}

}  // namespace

void Obstacles::keepOut(zeVec3f* x, const zeVec3f* before, const float* inverseMass,
                        unsigned char* contact, int first, int end, float thickness,
                        float staticFriction, float kineticFriction, int step, int steps) const {
  const zeVec3f still;
  // Each ball where it is at this step, on the straight line of its move
  // through the frame, and its move in the step.
  struct BallStep {
    SphereShape now, then;  // at this step's end and its start
    zeVec3f move;
    float clear2;  // squared distance of the centre beyond which nothing touches
  };
  constexpr int kMaxBalls = 8;
  BallStep ballSteps[kMaxBalls];
  int ballCount = 0;
  const float t = static_cast<float>(step + 1) / static_cast<float>(steps);
  for (const MovingBall& ball : balls) {
    if (ballCount == kMaxBalls) break;
    const zeVec3f& from = ball.previousCentre;
    const zeVec3f& to = ball.shape.centre;
    BallStep& s = ballSteps[ballCount++];
    s.move = zeVec3f((to.x - from.x) / static_cast<float>(steps),
                     (to.y - from.y) / static_cast<float>(steps),
                     (to.z - from.z) / static_cast<float>(steps));
    s.now = ball.shape;
    s.now.centre = zeVec3f(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t,
                           from.z + (to.z - from.z) * t);
    s.then = s.now;
    s.then.centre =
        zeVec3f(s.now.centre.x - s.move.x, s.now.centre.y - s.move.y, s.now.centre.z - s.move.z);
    const float clear = ball.shape.radius + thickness;
    s.clear2 = clear * clear;
  }
  const BallStep* const ballStepsEnd = ballSteps + ballCount;
  for (int n = first; n < end; ++n) {
    if (inverseMass[n] == 0.0f) continue;
    zeVec3f& p = x[n];
    const zeVec3f& b = before[n];
    bool touched = false;
    zeVec3f normal;
    zeVec3f unused;
    if (terrain) {
      const float d = heightDistance(*terrain, p, normal);
      // The field has steps: a node that slides off a step's edge is inside
      // by the step's height at once, and must come out at once.
      touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction,
                         [&] { return thickness; });
    }
    if (ground) {
      const float d = groundShape.distance(p, normal);
      touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction,
                         [&] { return b.z - groundShape.height; });
    }
    for (const BallStep* ball = ballSteps; ball != ballStepsEnd; ++ball) {
      // Far from the ball: no square root.
      const float ex = p.x - ball->now.centre.x, ey = p.y - ball->now.centre.y,
                  ez = p.z - ball->now.centre.z;
      if ((ex * ex + ey * ey) + ez * ez >= ball->clear2) continue;
      const float d = ball->now.distance(p, normal);
      touched |=
          pushOut(p, b, d, normal, ball->move, thickness, staticFriction, kineticFriction, [&] {
            const zeVec3f& c = ball->then.centre;
            const float fx = b.x - c.x, fy = b.y - c.y, fz = b.z - c.z;
            return std::sqrt((fx * fx + fy * fy) + fz * fz) - ball->then.radius;
          });
    }
    for (const BoxShape& box : boxes) {
      const float d = box.distance(p, normal);
      touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction,
                         [&] { return box.distance(b, unused); });
    }
    for (const auto& mesh : meshes) {
      float d;
      if (mesh->grid.sample(p, d, normal) &&
          (normal.x != 0.0f || normal.y != 0.0f || normal.z != 0.0f))
        touched |= pushOut(p, b, d, normal, still, thickness, staticFriction, kineticFriction, [&] {
          float then;
          return mesh->grid.sample(b, then, unused) ? then : thickness;
        });
    }
    contact[n] = touched ? 1 : 0;
  }
}

void Obstacles::settle() {
  for (MovingBall& ball : balls) ball.previousCentre = ball.shape.centre;
}

namespace {

std::shared_ptr<const MeshObstacle> finish(std::shared_ptr<MeshObstacle> mesh,
                                           const std::string& name, const std::string& bytes) {
  mesh->file = name;
  Fnv1a hash;
  for (char b : bytes) hash.byte(static_cast<uint8_t>(b));
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016" PRIx64, hash.value);
  mesh->digest = hex;
  // Exact as far out as the thickest cloth keeps away.
  mesh->grid.build(mesh->mesh, kMeshMargin);
  return mesh;
}

}  // namespace

std::shared_ptr<const MeshObstacle> loadMeshObstacle(const std::string& path, std::string& error) {
  auto mesh = std::make_shared<MeshObstacle>();
  std::string bytes;
  if (!readObjMesh(path, mesh->mesh, error, &bytes)) return nullptr;
  return finish(std::move(mesh), path, bytes);
}

std::shared_ptr<const MeshObstacle> meshObstacleFromText(const std::string& name,
                                                         const std::string& bytes,
                                                         std::string& error) {
  auto mesh = std::make_shared<MeshObstacle>();
  if (static_cast<long>(bytes.size()) > kMaxObjBytes) {
    error = "larger than " + std::to_string(kMaxObjBytes >> 20) + " MiB";
    return nullptr;
  }
  if (!parseObjMesh(bytes, mesh->mesh, error)) return nullptr;
  return finish(std::move(mesh), name, bytes);
}

void Obstacles::place(const Params& params, const HeightField* field) {
  terrain = params.terrain ? field : nullptr;
  ground = params.ground;
  if (!params.ball) {
    balls.clear();
  } else {
    const zeVec3f centre(params.ballX, params.ballY, params.ballZ);
    if (balls.empty()) balls.push_back(MovingBall{SphereShape{centre, 1.0f}, centre});
    balls[0].shape.centre = centre;
    balls[0].shape.radius = params.ballRadius;
  }
  if (!params.box) {
    boxes.clear();
  } else {
    if (boxes.empty()) boxes.emplace_back();
    BoxShape& box = boxes[0];
    box.centre = zeVec3f(params.boxX, params.boxY, params.boxZ);
    box.half = zeVec3f(params.boxWidth * 0.5f, params.boxDepth * 0.5f, params.boxHeight * 0.5f);
    box.tiltAboutX(params.boxTilt);
  }
}

}  // namespace cloth
