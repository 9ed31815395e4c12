// Writes the seed corpora of the shape fuzzers:
//   makeShapeSeeds RECORD_DIR GEOMETRY_DIR
// Record seeds are real records written by the library (the empty shape,
// small shapes with every flag combination, the 60 x 60 mesh, two records
// in a row, a cut record). Geometry seeds are small shapes of every
// primitive mode in the geometry check's input layout.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/fuzz/shapeFuzzChecks.h"
#include "zeShape/zeNiceShapes.h"

namespace {

std::vector<uint8_t> recordOf(zeShape& s) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  s.writeToFile(f);
  std::fclose(f);
  std::vector<uint8_t> out(buf, buf + len);
  std::free(buf);
  return out;
}

void save(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
    std::fprintf(stderr, "makeShapeSeeds: cannot write %s\n", path.c_str());
    std::exit(1);
  }
  std::fclose(f);
}

// A three-vertex shape with the given lists switched on.
void smallShape(zeShape& s, bool texCoords, int variant) {
  if (texCoords) s.enablePerVertexTextureCoords();
  s.addPoint(0.0f, 0.0f, 0.0f);
  s.addPoint(10.0f, 0.0f, 0.5f);
  s.addPoint(0.0f, 10.0f, -0.5f);
  if (s.enableVertexColors) s.setVertexColor(1, 0.5f, 0.25f, 1.0f, 0.75f);
  if (texCoords) s.textureCoordList[2].set(1.0f, 1.0f, 0.0f);
  for (int v : {0, 1, 2, -1, 2, 1, 0}) s.addIndex(v);  // prints nothing unless indexing is off
  s.drawStyle = static_cast<uint32_t>(variant % 10);
  s.transformOrder = static_cast<xformOrder>(variant % 6);
  s.enablePicking = variant % 3 != 0;
  s.Translation.set(1.0f, -2.0f, 3.0f);
}

// Geometry input builder (layout in shapeGeometryCheck.cpp).
struct Geometry {
  std::vector<uint8_t> bytes;

  void byte(int b) { bytes.push_back(static_cast<uint8_t>(b)); }
  // Half steps from -60 to 59.5.
  void number(float v) { byte(static_cast<int>(v * 2.0f) + 120); }
};

std::vector<uint8_t> geometrySeed(int flags, int style, int order, int stackHeight,
                                  const std::vector<float>& xyz, const std::vector<int>& indexCodes,
                                  const std::vector<std::vector<float>>& ops) {
  Geometry g;
  g.byte(flags);
  g.byte(style);
  g.byte(order);
  for (float v : {0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f,
                  0.0f, 0.0f, 0.0f, 1.0f})
    g.number(v);
  g.byte(stackHeight);
  const int vertices = static_cast<int>(xyz.size() / 3);
  g.byte(vertices);
  for (float v : xyz) g.number(v);
  if (flags & 1)
    for (int i = 0; i < vertices; ++i) g.number(0.5f);
  if (flags & 8)
    for (int i = 0; i < vertices; ++i) g.number(1.0f);
  if (flags & 4) {
    g.byte(static_cast<int>(indexCodes.size()) & 0xFF);
    g.byte(static_cast<int>(indexCodes.size()) >> 8);
    for (int code : indexCodes) g.byte(code);
  }
  for (const auto& op : ops) {
    // The triangle test (3) takes three vertex bytes before its numbers.
    const size_t rawBytes = op[0] == 3 ? 3 : 0;
    g.byte(static_cast<int>(op[0]));
    for (size_t i = 1; i < op.size(); ++i) {
      if (i <= rawBytes)
        g.byte(static_cast<int>(op[i]));
      else
        g.number(op[i]);
    }
  }
  return g.bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: makeShapeSeeds RECORD_DIR GEOMETRY_DIR\n");
    return 2;
  }
  shapefuzz::silenceStdout();
  const std::string records = argv[1], geometry = argv[2];

  zeShape empty(false, false, false);
  save(records + "/empty", recordOf(empty));

  std::vector<uint8_t> all;
  for (int flags = 0; flags < 16; ++flags) {
    zeShape s(flags & 1, flags & 2, flags & 4);
    smallShape(s, flags & 8, flags);
    const std::vector<uint8_t> r = recordOf(s);
    save(records + "/flags" + std::to_string(flags), r);
    if (flags == 15) all = r;
  }
  zeMeshShape mesh(60, 60);
  const std::vector<uint8_t> meshRecord = recordOf(mesh);
  save(records + "/mesh60x60", meshRecord);

  zeMeshShape small(3, 2);
  std::vector<uint8_t> two = recordOf(small);
  two.insert(two.end(), all.begin(), all.end());
  save(records + "/twoRecords", two);
  all.resize(all.size() - 3);
  save(records + "/cutShort", all);

  // Geometry: a 3 x 3 grid of points 10 apart, and operations that land on
  // and near it.
  std::vector<float> grid;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      grid.push_back(10.0f * i);
      grid.push_back(10.0f * j);
      grid.push_back(0.0f);
    }
  // Index codes: code % 11 - 1 names vertex code - 1 of nine; code 0 is a
  // break, 10 is one past the last vertex, 200 and up are extreme values.
  const std::vector<int> strips = {1, 4, 2, 5, 3, 6, 0, 4, 7, 5, 8, 6, 9, 0};
  const std::vector<int> broken = {1, 2, 3, 0, 4, 10, 5, 6, 201, 7, 8, 9, 203};
  const std::vector<std::vector<float>> ops = {{0, 5.0f, 5.0f},
                                               {0, 10.0f, 12.0f},
                                               {1, -1.0f, -1.0f, 25.0f, 25.0f},
                                               {2, 10.0f, 10.0f, 12.0f},
                                               {3, 0, 3, 1, 2.0f, 2.0f},
                                               {4},
                                               {6},
                                               {5},
                                               {0, 0.0f, 0.0f},
                                               {7, 90.0f, 0.0f, 0.0f, 1.0f},
                                               {5},
                                               {0, -5.0f, 5.0f}};
  int n = 0;
  for (int style = 0; style <= 10; ++style)
    for (int flags : {0x17, 0x1F, 0x3E, 0x10, 0x03}) {
      const auto& codes = (n % 2) ? broken : strips;
      save(geometry + "/style" + std::to_string(style) + "_" + std::to_string(flags),
           geometrySeed(flags, style, style % 7, n % 5 == 4 ? 127 : 0, grid, codes, ops));
      ++n;
    }
  return 0;
}
