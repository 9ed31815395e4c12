// The obstacles' shapes: closed, turned outwards, where their colliders are.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "explorer/obstacleShapes.h"

namespace {

struct Check {
  long triangles = 0, inward = 0, open = 0;
  float farthest = 0, nearest = 1e30f;
};

// Every triangle's face normal should point away from the centre, and every
// edge should join two triangles running it in opposite directions.
Check check(zeShape* s, const zeVec3f& centre) {
  Check c;
  // Edges by where their ends are: drawn shapes repeat corners (seams, flat faces).
  using Key = std::tuple<long, long, long>;
  std::map<std::pair<Key, Key>, int> edges;
  for (int k = 0; k + 2 < s->indexListLength; k += 3) {
    const int i[3] = {s->indexList[k], s->indexList[k + 1], s->indexList[k + 2]};
    zeVec3f p[3];
    for (int j = 0; j < 3; ++j) {
      const zeVec3f& v = s->vertexList[i[j]];
      p[j] = zeVec3f(v.x + s->Translation.x, v.y + s->Translation.y, v.z + s->Translation.z);
      const zeVec3f d(p[j].x - centre.x, p[j].y - centre.y, p[j].z - centre.z);
      const float r = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
      c.farthest = std::max(c.farthest, r);
      c.nearest = std::min(c.nearest, r);
    }
    auto key = [](const zeVec3f& q) {
      return Key(std::lround(q.x * 1000), std::lround(q.y * 1000), std::lround(q.z * 1000));
    };
    for (int j = 0; j < 3; ++j) ++edges[{key(p[j]), key(p[(j + 1) % 3])}];
    const zeVec3f u(p[1].x - p[0].x, p[1].y - p[0].y, p[1].z - p[0].z);
    const zeVec3f v(p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z);
    const zeVec3f n(u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x);
    const zeVec3f m((p[0].x + p[1].x + p[2].x) / 3 - centre.x,
                    (p[0].y + p[1].y + p[2].y) / 3 - centre.y,
                    (p[0].z + p[1].z + p[2].z) / 3 - centre.z);
    if (n.x * m.x + n.y * m.y + n.z * m.z <= 0) ++c.inward;
    ++c.triangles;
  }
  for (const auto& e : edges)
    if (e.second != 1 || edges.count({e.first.second, e.first.first}) == 0) ++c.open;
  return c;
}

TEST(ObstacleShapesTest, BallBoxAndMeshAreClosedAndFaceOutwards) {
  zeShape* ball = explorer::newBallShape(12.0f, 16);
  ball->Translation = zeVec3f(0.5f, 0.5f, 12.0f);
  cloth::BoxShape box;
  box.centre = zeVec3f(1, 2, 3);
  box.half = zeVec3f(4, 2, 1);
  box.tiltAboutX(20.0f);
  zeShape* boxShape = explorer::newBoxShape(box);
  cloth::TriangleMesh tetra;
  tetra.vertices = {zeVec3f(0, 0, 0), zeVec3f(1, 0, 0), zeVec3f(0, 1, 0), zeVec3f(0, 0, 1)};
  tetra.triangles = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
  zeShape* mesh = explorer::newTriangleMeshShape(tetra);
  struct Case {
    const char* what;
    zeShape* shape;
    zeVec3f centre;
    long triangles;
    float nearest, farthest;
  } cases[] = {
      {"ball", ball, zeVec3f(0.5f, 0.5f, 12.0f), 2 * 32 * 15, 12.0f - 1e-3f, 12.0f + 1e-3f},
      {"box", boxShape, box.centre, 12, std::sqrt(21.0f) - 1e-3f, std::sqrt(21.0f) + 1e-3f},
      {"mesh", mesh, zeVec3f(0.25f, 0.25f, 0.25f), 4, 0.0f, 1.0f},
  };
  for (const Case& c : cases) {
    const Check got = check(c.shape, c.centre);
    EXPECT_EQ(got.triangles, c.triangles) << c.what;
    EXPECT_EQ(got.inward, 0) << c.what;
    EXPECT_EQ(got.open, 0) << c.what;
    EXPECT_GE(got.nearest, c.nearest) << c.what;
    EXPECT_LE(got.farthest, c.farthest) << c.what;
  }
  for (const Case& c : cases) explorer::deleteObstacleShape(c.shape);
}

}  // namespace
