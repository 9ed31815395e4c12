// What the cloth collides with: the OBJ reader's good and bad meshes, the
// signed distances of the shapes and of a mesh's grid, and the self-collision
// hash against a search of every pair.
#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "cloth/colliderShapes.h"
#include "cloth/distanceGrid.h"
#include "cloth/friction.h"
#include "cloth/obstacles.h"
#include "cloth/selfCollision.h"
#include "cloth/triangleMesh.h"

namespace {

// A cube from -1 to 1 with its faces turned outwards, as quads.
const char* const kCube =
    "# cube\n"
    "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
    "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

std::string cubeWithout(const std::string& line) {
  std::string text = kCube;
  text.erase(text.find(line), line.size());
  return text;
}

TEST(TriangleMeshTest, GoodMeshesAndWhatTheyBecome) {
  struct Case {
    const char* what;
    std::string text;
    size_t vertices, triangles;
  } cases[] = {
      {"quads", kCube, 8, 12},
      {"slashes, normals, groups and negative numbers",
       "o box\ng side\nvn 0 0 1\nvt 0 0\nv -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
       "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\ns off\nusemtl m\n"
       "f 1/1 4/1 3/1 2/1\nf 5//1 6//1 7//1 8//1\nf 1/1/1 2/1/1 6/1/1 5/1/1\n"
       "f -7 -6 -2 -3\nf 3 4 8 7\nf 4 1 5 8\n",
       8, 12},
      // A tetrahedron written with each face's own copies of its corners.
      {"corners repeated per face",
       "v 0 0 0\nv 0 1 0\nv 1 0 0\nf 1 2 3\n"
       "v 0 0 0\nv 1 0 0\nv 0 0 1\nf 4 5 6\n"
       "v 0 0 0\nv 0 0 1\nv 0 1 0\nf 7 8 9\n"
       "v 1 0 0\nv 0 1 0\nv 0 0 1\nf 10 11 12\n",
       4, 4},
  };
  for (const Case& c : cases) {
    cloth::TriangleMesh mesh;
    std::string error;
    ASSERT_TRUE(cloth::parseObjMesh(c.text, mesh, error)) << c.what << ": " << error;
    EXPECT_EQ(mesh.vertices.size(), c.vertices) << c.what;
    EXPECT_EQ(mesh.triangles.size(), c.triangles) << c.what;
  }
}

TEST(TriangleMeshTest, BadMeshesAreRefusedWithWhatIsWrong) {
  struct Case {
    std::string text;
    const char* says;
  } cases[] = {
      {"", "empty"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\n", "empty"},
      {"hello world\n", "line 1: not OBJ"},
      {std::string("v 0 0 0\n\0\x01\x02", 11), "zero byte"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4\n", "line 4: a face names vertex 4"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "names vertex 0"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 -4\n", "names vertex -4"},
      {"v 0 0 0\nf 1 x 1\n", "'x' is not a vertex number"},
      {"v 0 nan 0\n", "line 1: a coordinate is not a finite number"},
      {"v 0 0 1e39\n", "not a finite number"},
      {"v 0 0\n", "a vertex needs three numbers"},
      {"v 0 0 zero\n", "a vertex needs three numbers"},
      {"v 0 0 0\nv 1 0 0\nf 1 2\n", "a face needs three vertices"},
      {"v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 1\n", "uses one vertex twice"},
      {cubeWithout("f 4 1 5 8\n"), "not closed"},
      {std::string(kCube) + "f 1 2 3\n", "not closed"},
      {cubeWithout("f 4 1 5 8\n") + "f 4 8 5 1\n", "not closed"},  // one face turned in
  };
  for (const Case& c : cases) {
    cloth::TriangleMesh mesh;
    std::string error;
    EXPECT_FALSE(cloth::parseObjMesh(c.text, mesh, error)) << c.says;
    EXPECT_NE(error.find(c.says), std::string::npos) << "'" << error << "' for " << c.says;
  }
}

TEST(TriangleMeshTest, FilesThatAreNotMeshes) {
  const std::string dir = ::testing::TempDir();
  const std::string good = dir + "/collider-cube.obj";
  FILE* f = std::fopen(good.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs(kCube, f);
  std::fclose(f);
  struct Case {
    std::string path;
    const char* says;  // nullptr: read
  } cases[] = {
      {good, nullptr},
      {dir + "/no-such-collider.obj", "No such file"},
      {dir, "is a directory"},
      {"/dev/zero", "not a regular file"},
  };
  for (const Case& c : cases) {
    cloth::TriangleMesh mesh;
    std::string error;
    errno = EINTR;  // left by some earlier call: no reason to read again
    EXPECT_EQ(cloth::readObjMesh(c.path, mesh, error), c.says == nullptr) << c.path;
    if (c.says) {
      EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
  }
  std::remove(good.c_str());
}

TEST(ColliderShapesTest, DistancesAndNormals) {
  cloth::SphereShape ball{zeVec3f(0.5f, 0.5f, 12.0f), 12.0f};
  cloth::BoxShape box;
  box.centre = zeVec3f(0, 0, 5);
  box.half = zeVec3f(10, 10, 5);
  cloth::BoxShape tilted = box;
  tilted.tiltAboutX(90.0f);  // its z extent now lies along -y
  cloth::GroundShape ground{0.0f};
  struct Case {
    const char* what;
    float distance;
    zeVec3f normal, expectNormal;
    float expect;
  };
  std::vector<Case> cases;
  auto add = [&](const char* what, float d, zeVec3f n, zeVec3f en, float e) {
    cases.push_back({what, d, n, en, e});
  };
  zeVec3f n;
  float d = ball.distance(zeVec3f(0.5f, 0.5f, 30.0f), n);
  add("above the ball", d, n, zeVec3f(0, 0, 1), 6.0f);
  d = ball.distance(zeVec3f(0.5f, 4.5f, 12.0f), n);
  add("inside the ball", d, n, zeVec3f(0, 1, 0), -8.0f);
  d = ball.distance(zeVec3f(0.5f, 0.5f, 12.0f), n);
  add("the ball's centre", d, n, zeVec3f(0, 0, 1), -12.0f);
  d = box.distance(zeVec3f(3, 4, 12), n);
  add("above the box", d, n, zeVec3f(0, 0, 1), 2.0f);
  d = box.distance(zeVec3f(13, 14, 5), n);
  add("beside an edge of the box", d, n, zeVec3f(0.6f, 0.8f, 0), 5.0f);
  d = box.distance(zeVec3f(9, 0, 5), n);
  add("inside the box by a side", d, n, zeVec3f(1, 0, 0), -1.0f);
  d = tilted.distance(zeVec3f(0, 0, 14), n);
  add("above the turned box", d, n, zeVec3f(0, 0, 1), -1.0f);
  d = ground.distance(zeVec3f(3, 3, -0.25f), n);
  add("under the ground", d, n, zeVec3f(0, 0, 1), -0.25f);
  for (const Case& c : cases) {
    EXPECT_NEAR(c.distance, c.expect, 1e-5f) << c.what;
    EXPECT_NEAR(c.normal.x, c.expectNormal.x, 1e-5f) << c.what;
    EXPECT_NEAR(c.normal.y, c.expectNormal.y, 1e-5f) << c.what;
    EXPECT_NEAR(c.normal.z, c.expectNormal.z, 1e-5f) << c.what;
  }
}

TEST(DistanceGridTest, ACubesGridKnowsInsideFromOutside) {
  cloth::TriangleMesh mesh;
  std::string error;
  ASSERT_TRUE(cloth::parseObjMesh(kCube, mesh, error)) << error;
  cloth::DistanceGrid grid;
  grid.build(mesh, 0.5f, 41);
  struct Case {
    zeVec3f p;
    float distance;
    zeVec3f normal;
  } cases[] = {
      {zeVec3f(0, 0, 1.25f), 0.25f, zeVec3f(0, 0, 1)},
      {zeVec3f(0.3f, 0.2f, 0.9f), -0.1f, zeVec3f(0, 0, 1)},
      {zeVec3f(-1.2f, 0.1f, 0.3f), 0.2f, zeVec3f(-1, 0, 0)},
      {zeVec3f(0.1f, -0.8f, 0.0f), -0.2f, zeVec3f(0, -1, 0)},
      {zeVec3f(0, 0, 0), -0.5f, zeVec3f()},  // deep inside: held at the margin
  };
  for (const Case& c : cases) {
    float d;
    zeVec3f n;
    ASSERT_TRUE(grid.sample(c.p, d, n));
    EXPECT_NEAR(d, c.distance, 0.03f) << c.p.x << " " << c.p.y << " " << c.p.z;
    EXPECT_NEAR(n.x, c.normal.x, 0.05f);
    EXPECT_NEAR(n.y, c.normal.y, 0.05f);
    EXPECT_NEAR(n.z, c.normal.z, 0.05f);
  }
  float d;
  zeVec3f n;
  EXPECT_FALSE(grid.sample(zeVec3f(0, 0, 1.6f), d, n));  // beyond the margin
  EXPECT_FALSE(grid.sample(zeVec3f(NAN, 0, 0), d, n));
}

TEST(SelfCollisionTest, NeighboursAreEveryNearNodeAndSeparationIsPerNode) {
  const int size = 12, count = size * size;
  std::mt19937 random(7);
  std::uniform_real_distribution<float> within(-3.0f, 3.0f);
  std::vector<zeVec3f> pos(count);
  for (zeVec3f& p : pos) p = zeVec3f(within(random), within(random), within(random) * 0.2f);
  const float reach = 0.9f, rest = 0.5f, skip = 0.6f;
  cloth::SelfCollision self;
  self.resize(size);
  self.hash(pos.data(), reach);
  self.findNeighbours(pos.data(), reach, rest, skip, 0, count);
  long pairs = 0;
  for (int n = 0; n < count; ++n) {
    std::vector<int> expect;
    for (int m = 0; m < count && expect.size() < cloth::SelfCollision::kMaxNeighbours; ++m) {
      const zeVec3f e(pos[m].x - pos[n].x, pos[m].y - pos[n].y, pos[m].z - pos[n].z);
      const int dc = m % size - n % size, dr = m / size - n / size;
      if (m != n && (e.x * e.x + e.y * e.y) + e.z * e.z <= reach * reach &&
          rest * std::sqrt(static_cast<float>(dc * dc + dr * dr)) >= skip)
        expect.push_back(m);
    }
    std::vector<int> got(self.neighbours(n), self.neighbours(n) + self.neighbourCount(n));
    EXPECT_EQ(got, expect) << "node " << n;
    pairs += static_cast<long>(got.size());
  }
  EXPECT_GT(pairs, 100);  // the case is not empty

  // Separation: every node's result is its own, whatever range it is in.
  std::vector<float> inverse(count, 1.0f);
  inverse[5] = 0.0f;  // a pinned node does not move
  std::vector<zeVec3f> whole(count), parts(count);
  self.separate(pos.data(), inverse.data(), 0.8f, 0, count, whole.data());
  for (int first = 0; first < count; first += 37)
    self.separate(pos.data(), inverse.data(), 0.8f, first, std::min(count, first + 37),
                  parts.data());
  for (int n = 0; n < count; ++n) {
    EXPECT_EQ(whole[n].x, parts[n].x);
    EXPECT_EQ(whole[n].y, parts[n].y);
    EXPECT_EQ(whole[n].z, parts[n].z);
  }
  EXPECT_EQ(whole[5].x, pos[5].x);

  // Two nodes 0.2 apart with a thickness of 0.8 end 0.8 apart.
  std::vector<zeVec3f> two(count, zeVec3f(100, 100, 100));
  for (int n = 0; n < count; ++n) two[n] = zeVec3f(10.0f * n, 0, 0);
  two[0] = zeVec3f(0, 0, 0);
  two[count - 1] = zeVec3f(0, 0, 0.2f);
  self.hash(two.data(), 0.9f);
  self.findNeighbours(two.data(), 0.9f, rest, skip, 0, count);
  std::vector<float> ones(count, 1.0f);
  std::vector<zeVec3f> out(count);
  self.separate(two.data(), ones.data(), 0.8f, 0, count, out.data());
  EXPECT_NEAR(out[count - 1].z - out[0].z, 0.8f, 1e-6f);
}

}  // namespace

namespace {

TEST(FrictionTest, StaticHoldsKineticSlowsAndTheSurfaceCarries) {
  const zeVec3f up(0, 0, 1), still(0, 0, 0);
  struct Case {
    const char* what;
    zeVec3f p, before, surfaceMove;
    float depth, staticFriction, kineticFriction;
    zeVec3f expect;
  } cases[] = {
      {"a short slide sticks", zeVec3f(0.05f, 0, 1), zeVec3f(0, 0, 1.2f), still, 0.2f, 0.5f, 0.3f,
       zeVec3f(0, 0, 1)},
      {"a long slide loses kinetic * depth", zeVec3f(1.0f, 0, 1), zeVec3f(0, 0, 1.1f), still, 0.5f,
       0.5f, 0.4f, zeVec3f(0.8f, 0, 1)},
      {"no friction, no change", zeVec3f(1.0f, 2.0f, 1), zeVec3f(0, 0, 1.1f), still, 0.5f, 0.0f,
       0.0f, zeVec3f(1.0f, 2.0f, 1)},
      {"kinetic never turns a slide back", zeVec3f(0.3f, 0.4f, 1), zeVec3f(0, 0, 1), still, 1.0f,
       0.1f, 5.0f, zeVec3f(0, 0, 1)},
      {"a moving surface carries a sticking node", zeVec3f(0, 0, 1), zeVec3f(0, 0, 1),
       zeVec3f(0.1f, 0, 0), 0.5f, 0.6f, 0.5f, zeVec3f(0.1f, 0, 1)},
      {"the push along the normal stays", zeVec3f(0, 0, 1.5f), zeVec3f(0, 0, 1), still, 0.5f, 0.6f,
       0.5f, zeVec3f(0, 0, 1.5f)},
  };
  for (const Case& c : cases) {
    const zeVec3f got = cloth::withFriction(c.p, c.before, c.surfaceMove, up, c.depth,
                                            c.staticFriction, c.kineticFriction);
    EXPECT_NEAR(got.x, c.expect.x, 1e-6f) << c.what;
    EXPECT_NEAR(got.y, c.expect.y, 1e-6f) << c.what;
    EXPECT_NEAR(got.z, c.expect.z, 1e-6f) << c.what;
  }
}

}  // namespace

namespace {

// One node under gravity in small steps against the obstacles, as the
// constraint solver moves it: predict, keep out, velocity from positions.
struct Particle {
  zeVec3f x, v;
  float inverseMass = 1.0f;
  unsigned char contact = 0;
  float deepest = 1e30f;  // least clearance seen from `watch`
  void run(const cloth::Obstacles& o, int steps, float dt, float thickness, float mu,
           const cloth::SphereShape* watch = nullptr) {
    for (int s = 0; s < steps; ++s) {
      const zeVec3f before = x;
      v = zeVec3f(v.x, v.y, v.z - 20.0f * dt);
      x = zeVec3f(x.x + v.x * dt, x.y + v.y * dt, x.z + v.z * dt);
      o.keepOut(&x, &before, &inverseMass, &contact, 0, 1, thickness, mu, mu, 0, 1);
      v = zeVec3f((x.x - before.x) / dt, (x.y - before.y) / dt, (x.z - before.z) / dt);
      if (watch) {
        zeVec3f n;
        deepest = std::min(deepest, watch->distance(x, n));
      }
    }
  }
};

TEST(ObstaclesTest, ANodeRestsOnTheBallAndSticksOrSlidesOnATiltedBox) {
  cloth::Obstacles ball;
  ball.balls.push_back(
      {cloth::SphereShape{zeVec3f(0.5f, 0.5f, 12.0f), 12.0f}, zeVec3f(0.5f, 0.5f, 12.0f)});
  Particle p{zeVec3f(0.6f, 0.5f, 30.0f), zeVec3f()};
  p.run(ball, 600, 1.0f / 240.0f, 0.2f, 0.6f, &ball.balls[0].shape);
  EXPECT_GE(p.deepest, 0.2f - 0.02f);  // never closer than 90 % of the thickness
  EXPECT_EQ(p.contact, 1);
  EXPECT_NEAR(p.x.z, 24.2f, 0.05f);  // resting on top

  // A 20 degree slope along y, as a tilted box and as a height field (whose
  // normal takes both of its slopes): tan 20 = 0.36, between the two
  // frictions.
  cloth::Obstacles slope;
  cloth::BoxShape box;
  box.half = zeVec3f(50, 50, 1);
  box.tiltAboutX(20.0f);
  slope.boxes.push_back(box);
  struct Ramp : cloth::HeightField {
    float height(float, float y) const override { return -0.36397f * y; }
  } ramp;
  cloth::Obstacles field;
  field.terrain = &ramp;
  const float cos20 = 0.93969f;
  struct Case {
    const cloth::Obstacles* o;
    float mu;
    float least, most;  // distance moved in two seconds
  } cases[] = {{&slope, 0.6f, 0.0f, 0.01f},
               {&slope, 0.1f, 5.0f, 1e9f},
               {&field, 0.6f, 0.0f, 0.01f},
               {&field, 0.1f, 5.0f, 1e9f}};
  for (const Case& c : cases) {
    const bool isBox = c.o == &slope;
    auto clearance = [&](const zeVec3f& x) {
      zeVec3f n;
      return isBox ? box.distance(x, n) : (x.z - ramp.height(x.x, x.y)) * cos20;
    };
    const zeVec3f top =
        isBox ? zeVec3f(box.axis[2].x * 1.2f, box.axis[2].y * 1.2f, box.axis[2].z * 1.2f)
              : zeVec3f(0.0f, 0.0f, 0.2f / cos20);
    Particle q{top, zeVec3f()};
    q.run(*c.o, 480, 1.0f / 240.0f, 0.2f, c.mu);
    const float moved =
        std::sqrt((q.x.x - top.x) * (q.x.x - top.x) + (q.x.y - top.y) * (q.x.y - top.y) +
                  (q.x.z - top.z) * (q.x.z - top.z));
    EXPECT_GE(moved, c.least) << isBox << " friction " << c.mu;
    EXPECT_LE(moved, c.most) << isBox << " friction " << c.mu;
    EXPECT_NEAR(clearance(q.x), 0.2f, 0.02f) << isBox << " friction " << c.mu;
  }

  // A pinned node is left where it is, inside or not.
  Particle pinned{zeVec3f(0.5f, 0.5f, 12.0f), zeVec3f()};
  pinned.inverseMass = 0.0f;
  pinned.run(ball, 1, 0.01f, 0.2f, 0.5f);
  EXPECT_NEAR(pinned.x.z, 12.0f - 0.002f, 1e-4f);  // only the predicted fall
}

}  // namespace
