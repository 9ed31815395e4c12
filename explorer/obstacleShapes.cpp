#include "explorer/obstacleShapes.h"

#include <GL/gl.h>

#include <cmath>

namespace explorer {

namespace {

constexpr float kObstacle[4] = {0.55f, 0.62f, 0.70f, 1.0f};

// A lit triangle shape with per-vertex normals, which its draw makes from
// its faces (turned counter-clockwise seen from outside).
zeShape* newTriangles() {
  zeShape* s = new zeShape(false, true, true);
  s->drawStyle = GL_TRIANGLES;
  s->enablePicking = false;
  s->Color.set(kObstacle[0], kObstacle[1], kObstacle[2], kObstacle[3]);
  return s;
}

void triangle(zeShape* s, int a, int b, int c) {
  s->addIndex(a);
  s->addIndex(b);
  s->addIndex(c);
}

}  // namespace

zeShape* newBallShape(float radius, int rings) {
  zeShape* s = newTriangles();
  const int around = 2 * rings;
  const double pi = 3.14159265358979323846;
  // Rows of vertices from the south pole (ring 0) to the north (ring rings).
  for (int r = 0; r <= rings; ++r) {
    const double polar = pi * r / rings;
    for (int k = 0; k <= around; ++k) {
      const double azimuth = 2.0 * pi * k / around;
      s->addPoint(static_cast<float>(radius * std::sin(polar) * std::cos(azimuth)),
                  static_cast<float>(radius * std::sin(polar) * std::sin(azimuth)),
                  static_cast<float>(-radius * std::cos(polar)));
    }
  }
  const int row = around + 1;
  for (int r = 0; r < rings; ++r)
    for (int k = 0; k < around; ++k) {
      const int a = r * row + k, b = a + 1, c = a + row + 1, d = a + row;
      if (r > 0) triangle(s, a, b, c);
      if (r + 1 < rings) triangle(s, a, c, d);
    }
  return s;
}

zeShape* newBoxShape(const cloth::BoxShape& box) {
  zeShape* s = newTriangles();
  const float h[3] = {box.half.x, box.half.y, box.half.z};
  // Each face: its outward axis a (sign sign), spanned by the other two.
  for (int a = 0; a < 3; ++a)
    for (float sign : {-1.0f, 1.0f}) {
      const int u = (a + 1) % 3, v = (a + 2) % 3;
      const int first = s->listLength;
      const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
      for (const auto& c : corners) {
        float local[3];
        local[a] = sign * h[a];
        local[u] = c[0] * h[u];
        local[v] = c[1] * h[v];
        zeVec3f p;
        for (int k = 0; k < 3; ++k)
          p = zeVec3f(p.x + box.axis[k].x * local[k], p.y + box.axis[k].y * local[k],
                      p.z + box.axis[k].z * local[k]);
        s->addPoint(p.x, p.y, p.z);
      }
      // u x v is along a: the corners run counter-clockwise seen from +a.
      if (sign > 0) {
        triangle(s, first, first + 1, first + 2);
        triangle(s, first, first + 2, first + 3);
      } else {
        triangle(s, first, first + 2, first + 1);
        triangle(s, first, first + 3, first + 2);
      }
    }
  s->Translation = box.centre;
  return s;
}

zeShape* newTriangleMeshShape(const cloth::TriangleMesh& mesh) {
  zeShape* s = newTriangles();
  for (const zeVec3f& p : mesh.vertices) s->addPoint(p.x, p.y, p.z);
  for (const auto& t : mesh.triangles) triangle(s, t[0], t[1], t[2]);
  return s;
}

zeShape* newGroundShape(float height, float half) {
  zeShape* s = newTriangles();
  s->Color.set(0.30f, 0.33f, 0.30f, 1.0f);
  s->addPoint(-half, -half, height);
  s->addPoint(half, -half, height);
  s->addPoint(half, half, height);
  s->addPoint(-half, half, height);
  triangle(s, 0, 1, 2);
  triangle(s, 0, 2, 3);
  return s;
}

// zeShape has no virtual destructor; these are plain zeShapes.
void deleteObstacleShape(zeShape* shape) {
  shape->zeShape::~zeShape();
  ::operator delete(shape);
}

}  // namespace explorer
