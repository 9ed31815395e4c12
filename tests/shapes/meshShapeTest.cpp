// The mesh built in one pass equals the mesh appended entry by entry, and
// its linear-time normals equal calculateNormals to the bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeNiceShapes.h"

namespace {

// The mesh as addPoint, setVertex and addIndex build it.
void buildByAppending(zeShape& s, int N, int M) {
  for (int k = 0; k < N * M; ++k) s.addPoint(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < M; ++j) {
      s.setVertex(i * M + j, static_cast<float>(i), static_cast<float>(j), 0.0f);
      s.setVertexColor(i * M + j, 1.0f, 1.0f, 1.0f, 1.0f);
    }
  for (int i = 0; i < N - 1; ++i) {
    for (int j = 0; j < M; ++j) {
      s.addIndex(i * M + j);
      s.addIndex((i + 1) * M + j);
    }
    s.addIndex(-1);
  }
  s.drawStyle = 5;
}

TEST(MeshShape, BuiltInOnePassAsByAppending) {
  const int sizes[][2] = {{0, 0}, {0, 4}, {4, 0},  {1, 1},   {1, 6},  {2, 1},
                          {2, 2}, {3, 2}, {7, 13}, {60, 60}, {-2, -3}};
  for (const auto& size : sizes) {
    const int N = size[0], M = size[1];
    SCOPED_TRACE(std::to_string(N) + " x " + std::to_string(M));
    zeMeshShape mesh(N, M);
    zeShape old(true, true, true);
    buildByAppending(old, N, M);
    EXPECT_TRUE(mesh.N == N && mesh.M == M && mesh.drawStyle == old.drawStyle);
    ASSERT_EQ(mesh.listLength, old.listLength);
    ASSERT_EQ(mesh.indexListLength, old.indexListLength);
    // Every list holds exactly its count of entries, with the same bytes.
    auto same = [](const void* a, const void* b, size_t bytes) {
      return bytes == 0 ? a == nullptr && b == nullptr : a && b && std::memcmp(a, b, bytes) == 0;
    };
    const size_t n = old.listLength, v3 = sizeof(zeVec3f) * n;
    EXPECT_TRUE(same(mesh.vertexList, old.vertexList, v3));
    EXPECT_TRUE(same(mesh.absVertexList, old.absVertexList, v3));
    EXPECT_TRUE(same(mesh.screenVertexList, old.screenVertexList, v3));
    EXPECT_TRUE(same(mesh.normalList, old.normalList, v3));
    EXPECT_TRUE(same(mesh.normalCountList, old.normalCountList, sizeof(int32_t) * n));
    EXPECT_TRUE(same(mesh.colorList, old.colorList, sizeof(zeVec4f) * n));
    EXPECT_TRUE(same(mesh.indexList, old.indexList, sizeof(int32_t) * old.indexListLength));
    EXPECT_EQ(mesh.textureCoordList, nullptr);
    EXPECT_TRUE(mesh.enableIndex && mesh.enableVertexNormals && mesh.enableVertexColors &&
                !mesh.enableVertexTextureCoords);
  }
}

// calculateNormals on absVertexList = vertexList, against the mesh rule.
void expectSameNormals(zeMeshShape& mesh, const std::string& what) {
  SCOPED_TRACE(what);
  for (int v = 0; v < mesh.listLength; ++v) mesh.absVertexList[v] = mesh.vertexList[v];
  mesh.calculateNormals();
  const std::string normals(reinterpret_cast<char*>(mesh.normalList),
                            sizeof(zeVec3f) * mesh.listLength);
  const std::string counts(reinterpret_cast<char*>(mesh.normalCountList),
                           sizeof(int32_t) * mesh.listLength);
  for (int v = 0; v < mesh.listLength; ++v) {
    mesh.normalList[v].set(7, 7, 7);
    mesh.normalCountList[v] = 7;
  }
  mesh.calculateMeshNormals();
  EXPECT_EQ(normals, std::string(reinterpret_cast<char*>(mesh.normalList), normals.size()));
  EXPECT_EQ(counts, std::string(reinterpret_cast<char*>(mesh.normalCountList), counts.size()));
}

TEST(MeshShape, MeshNormalsAreCalculateNormalsBitForBit) {
  // A folded, bumpy sheet with a collapsed cell (a zero-area face), on
  // grids whose rows hold whole groups of four cells or not.
  for (const auto& size : {std::pair<int, int>{2, 2}, {3, 7}, {33, 20}}) {
    zeMeshShape mesh(size.first, size.second);
    for (int v = 0; v < mesh.listLength; ++v) {
      zeVec3f& p = mesh.vertexList[v];
      p.z = 0.3f * std::sin(1.7f * p.x) * std::cos(0.9f * p.y) + (v % 5 == 0 ? 1e-3f * v : 0.0f);
      if (p.x > 10) p.y = -p.y;
    }
    if (mesh.listLength > 4) mesh.vertexList[1] = mesh.vertexList[0];
    expectSameNormals(mesh,
                      "grid " + std::to_string(size.first) + " x " + std::to_string(size.second));
    EXPECT_TRUE(mesh.hasGridStrips());
  }
  // Edge meshes, and meshes whose strips or mode were changed, take the
  // general rule on their own positions.
  zeMeshShape one(1, 5), thin(4, 1), changed(4, 4), lines(4, 4);
  changed.indexList[3] = 9;
  lines.drawStyle = 1;
  for (zeMeshShape* m : {&one, &thin, &changed, &lines}) {
    for (int v = 0; v < m->listLength; ++v) m->vertexList[v].z = 0.1f * v * v;
    EXPECT_FALSE(m->hasGridStrips());
    expectSameNormals(*m, "edge mesh " + std::to_string(m->N) + " x " + std::to_string(m->M));
  }

  zeMeshShape off(3, 3);
  off.enableVertexNormals = false;
  off.normalList[0].set(5, 5, 5);
  EXPECT_EQ(stdoutOf([&] { off.calculateMeshNormals(); }),
            "calculateMeshNormals: vertex normals are not enabled\n");
  EXPECT_VEC3_EXACT(off.normalList[0], 5.0f, 5.0f, 5.0f);
}

}  // namespace
