#include <cmath>
#include <map>
#include <utility>

#include "cloth/distanceGrid.h"
#include "cloth/triangleMesh.h"
#include "tests/fuzz/clothFuzzChecks.h"

namespace clothfuzz {

std::string checkObjMesh(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  cloth::TriangleMesh mesh;
  std::string error;
  if (!cloth::parseObjMesh(text, mesh, error)) {
    if (error.empty() || error.find('\n') != std::string::npos)
      return "refused without one line of reason: '" + error + "'";
    return "";
  }
  if (!error.empty()) return "accepted with an error: " + error;
  const int count = static_cast<int>(mesh.vertices.size());
  for (const zeVec3f& p : mesh.vertices)
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
      return "a vertex is not finite";
  std::map<std::pair<int, int>, int> edges;
  for (const auto& t : mesh.triangles) {
    for (int k = 0; k < 3; ++k) {
      if (t[k] < 0 || t[k] >= count) return "a triangle names no vertex";
      if (t[k] == t[(k + 1) % 3]) return "a triangle repeats a vertex";
      ++edges[{t[k], t[(k + 1) % 3]}];
    }
  }
  for (const auto& e : edges)
    if (e.second != 1 || edges.count({e.first.second, e.first.first}) != 1)
      return "an accepted mesh is not closed";
  cloth::DistanceGrid grid;
  grid.build(mesh, 0.5f, 12);
  for (int i = 0; i < grid.points(0); i += 3)
    for (int j = 0; j < grid.points(1); j += 3)
      for (int k = 0; k < grid.points(2); k += 3)
        if (!std::isfinite(grid.at(i, j, k))) return "a grid distance is not finite";
  const zeVec3f& o = grid.origin();
  const float s = grid.spacing();
  float d;
  zeVec3f n;
  const zeVec3f probe(o.x + 1.37f * s, o.y + 2.71f * s, o.z + 0.5f * s);
  if (grid.sample(probe, d, n)) {
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!std::isfinite(d) || (length != 0.0f && std::fabs(length - 1.0f) > 1e-4f))
      return "a sampled distance or normal is off";
  }
  return "";
}

}  // namespace clothfuzz
