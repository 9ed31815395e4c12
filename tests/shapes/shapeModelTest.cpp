// The object defaults, the shape's lists and their messages, and the mesh.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "tests/shapes/shapeTestSupport.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShape.h"

namespace {

std::vector<int> indices(const zeShape& s) {
  return std::vector<int>(s.indexList, s.indexList + s.indexListLength);
}

TEST(ZeObject, DefaultsAnswerFalseAndTouchNoStream) {
  zeObject o;
  EXPECT_EQ(o.getTypeID(), 0x6E6F6E65u);
  EXPECT_FALSE(o.pointInside(0, 0));
  EXPECT_FALSE(o.shapeInRect(-1e9f, -1e9f, 1e9f, 1e9f, false));
  EXPECT_FALSE(o.shapeInCircle(0, 0, 1e9f, true));
  o.writeToFile(nullptr);
  o.readFromFile(nullptr);
}

TEST(ZeShape, ConstructionFlagsAndTypes) {
  // The other defaults are pinned by the record of a new shape.
  zeShape s(true, false, true);
  EXPECT_EQ(s.getTypeID(), 0x73686170u);
  EXPECT_TRUE(s.enableVertexColors && s.enableIndex);
  EXPECT_FALSE(s.enableVertexNormals || s.enableVertexTextureCoords);
  EXPECT_EQ(s.vertexList, nullptr);
  EXPECT_EQ(zeShape::pickTolerance, 5.0f);
}

TEST(ZeShape, AddPointGrowsEveryListInUse) {
  zeShape plain(false, false, false);
  EXPECT_EQ(plain.addPoint(), 0);
  EXPECT_EQ(plain.addPoint(), 1);
  EXPECT_EQ(plain.addPoint(7, 8, 9), 2);
  EXPECT_EQ(plain.listLength, 3);
  EXPECT_VEC3_EXACT(plain.vertexList[0], 0.0f, 0.0f, 0.0f);
  EXPECT_VEC3_EXACT(plain.vertexList[2], 7.0f, 8.0f, 9.0f);
  EXPECT_VEC3_EXACT(plain.absVertexList[2], 0.0f, 0.0f, 0.0f);
  EXPECT_VEC3_EXACT(plain.screenVertexList[2], 0.0f, 0.0f, 0.0f);
  // Lists that are off stay unallocated.
  EXPECT_EQ(plain.normalList, nullptr);
  EXPECT_EQ(plain.normalCountList, nullptr);
  EXPECT_EQ(plain.colorList, nullptr);
  EXPECT_EQ(plain.textureCoordList, nullptr);

  zeShape full(true, true, false);
  full.enablePerVertexTextureCoords();
  full.addPoint(1, 2, 3);
  full.addPoint();
  for (int i = 0; i < 2; ++i) {
    EXPECT_VEC3_EXACT(full.normalList[i], 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(full.normalCountList[i], 0);
    EXPECT_EQ(full.colorList[i].x, 1.0f);
    EXPECT_EQ(full.colorList[i].w, 1.0f);
    EXPECT_VEC3_EXACT(full.textureCoordList[i], 0.0f, 0.0f, 0.0f);
  }
}

// Every entry addPoint adds is written. The allocator is made to hand out
// filled blocks (glibc's M_PERTURB; sanitizer builds fill them anyway), so an
// entry left unwritten shows instead of passing as a lucky zero.
TEST(ZeShape, AddPointWritesEveryNewEntry) {
  mallopt(M_PERTURB, 0x55);
  zeShape s(true, true, false);
  s.enablePerVertexTextureCoords();
  for (int i = 0; i < 8; ++i) s.addPoint();
  mallopt(M_PERTURB, 0);
  for (int i = 0; i < 8; ++i) {
    EXPECT_VEC3_EXACT(s.vertexList[i], 0.0f, 0.0f, 0.0f);
    EXPECT_VEC3_EXACT(s.absVertexList[i], 0.0f, 0.0f, 0.0f);
    EXPECT_VEC3_EXACT(s.screenVertexList[i], 0.0f, 0.0f, 0.0f);
    EXPECT_VEC3_EXACT(s.normalList[i], 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(s.normalCountList[i], 0);
    EXPECT_EQ(s.colorList[i].y, 1.0f);
    EXPECT_VEC3_EXACT(s.textureCoordList[i], 0.0f, 0.0f, 0.0f);
  }
}

TEST(ZeShape, AddIndexRulesAndMessages) {
  zeShape s(false, false, true);
  s.addPoint();
  s.addPoint();
  EXPECT_EQ(stdoutOf([&] {
              s.addIndex(0);
              s.addIndex(-1);
              s.addIndex(1);
            }),
            "");
  EXPECT_EQ(stdoutOf([&] { s.addIndex(2); }),
            "addIndex warning: added index is outside of bounds\n");
  EXPECT_EQ(stdoutOf([&] { s.addIndex(-2); }),
            "addIndex warning: added index is outside of bounds\n");
  EXPECT_EQ(indices(s), (std::vector<int>{0, -1, 1, 2, -2}));

  zeShape off(false, false, false);
  off.addPoint();
  EXPECT_EQ(stdoutOf([&] { off.addIndex(0); }), "addIndex: index list is not enable in shape\n");
  EXPECT_EQ(off.indexListLength, 0);
  EXPECT_EQ(off.indexList, nullptr);
}

// A list set to a length in one step keeps what it held, reads as breaks
// where it grew (never as stale memory), and refuses what it cannot be.
TEST(ZeShape, ResizeIndexListKeepsLeadingEntriesAndBreaksTheRest) {
  zeShape s(false, false, true);
  for (int k = 0; k < 3; ++k) s.addPoint();
  s.addIndex(2);
  s.addIndex(0);
  EXPECT_EQ(stdoutOf([&] { EXPECT_EQ(s.resizeIndexList(5), s.indexList); }), "");
  EXPECT_EQ(indices(s), (std::vector<int>{2, 0, -1, -1, -1}));
  s.resizeIndexList(1);
  EXPECT_EQ(indices(s), (std::vector<int>{2}));
  EXPECT_EQ(stdoutOf([&] { EXPECT_EQ(s.resizeIndexList(-4), nullptr); }),
            "resizeIndexList: count is negative\n");
  EXPECT_EQ(indices(s), (std::vector<int>{2}));
  EXPECT_EQ(s.resizeIndexList(0), nullptr);
  EXPECT_EQ(s.indexListLength, 0);

  zeShape off(false, false, false);
  EXPECT_EQ(stdoutOf([&] { EXPECT_EQ(off.resizeIndexList(4), nullptr); }),
            "resizeIndexList: index list is not enable in shape\n");
  EXPECT_EQ(off.indexListLength, 0);
}

// The 32-bit counts stop at INT32_MAX. The counts are set by hand on shapes
// whose lists are still unallocated, and put back before they are destroyed.
TEST(ZeShape, FullListsRefuseAnotherEntry) {
  zeShape s(false, false, true);
  s.listLength = INT32_MAX;
  EXPECT_EQ(stdoutOf([&] { EXPECT_EQ(s.addPoint(1, 2, 3), -1); }), "addPoint: list is full\n");
  EXPECT_EQ(s.listLength, INT32_MAX);
  EXPECT_EQ(s.vertexList, nullptr);
  s.listLength = 0;

  s.indexListLength = INT32_MAX;
  EXPECT_EQ(stdoutOf([&] { s.addIndex(-1); }), "addIndex: list is full\n");
  EXPECT_EQ(s.indexListLength, INT32_MAX);
  EXPECT_EQ(s.indexList, nullptr);
  s.indexListLength = 0;
}

TEST(ZeShape, SetVertexBoundsAndMessages) {
  zeShape s(false, false, false);
  s.addPoint(1, 1, 1);
  s.addPoint(2, 2, 2);
  s.setVertex(1, 5, 6, 7);
  EXPECT_VEC3_EXACT(s.vertexList[1], 5.0f, 6.0f, 7.0f);
  EXPECT_EQ(stdoutOf([&] { s.setVertex(2, 9, 9, 9); }), "setVertex: index is out of bounds\n");
  EXPECT_EQ(stdoutOf([&] { s.setVertex(-1, 9, 9, 9); }), "setVertex: index is out of bounds\n");
  EXPECT_VEC3_EXACT(s.vertexList[0], 1.0f, 1.0f, 1.0f);
  EXPECT_VEC3_EXACT(s.vertexList[1], 5.0f, 6.0f, 7.0f);
}

TEST(ZeShape, SetVertexColorTestsFlagBeforeIndex) {
  zeShape off(false, false, false);
  off.addPoint();
  EXPECT_EQ(stdoutOf([&] { off.setVertexColor(5, 0, 0, 0, 0); }),
            "setVertexColor: vertex color is not enabled in shape\n");
  EXPECT_EQ(stdoutOf([&] { off.setVertexColor(0, 0, 0, 0, 0); }),
            "setVertexColor: vertex color is not enabled in shape\n");

  zeShape on(true, false, false);
  on.addPoint();
  EXPECT_EQ(stdoutOf([&] { on.setVertexColor(1, 0, 0, 0, 0); }),
            "setVertexColor: index is out of bounds\n");
  EXPECT_EQ(stdoutOf([&] { on.setVertexColor(-1, 0, 0, 0, 0); }),
            "setVertexColor: index is out of bounds\n");
  on.setVertexColor(0, 0.25f, 0.5f, 0.75f, 0.125f);
  EXPECT_EQ(on.colorList[0].x, 0.25f);
  EXPECT_EQ(on.colorList[0].y, 0.5f);
  EXPECT_EQ(on.colorList[0].z, 0.75f);
  EXPECT_EQ(on.colorList[0].w, 0.125f);
}

TEST(ZeShape, EnablingListsLaterSizesThemToTheVertexCount) {
  zeShape s(false, false, false);
  s.addPoint(1, 0, 0);
  s.addPoint(2, 0, 0);
  s.addPoint(3, 0, 0);
  s.enablePerVertexColors();
  s.enablePerVertexNormals();
  s.enablePerVertexTextureCoords();
  EXPECT_TRUE(s.enableVertexColors);
  EXPECT_TRUE(s.enableVertexNormals);
  EXPECT_TRUE(s.enableVertexTextureCoords);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.colorList[i].x, 1.0f);
    EXPECT_VEC3_EXACT(s.normalList[i], 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(s.normalCountList[i], 0);
    EXPECT_VEC3_EXACT(s.textureCoordList[i], 0.0f, 0.0f, 0.0f);
  }
  // Enabling again keeps what the lists hold.
  s.setVertexColor(1, 0, 0, 0, 0);
  s.enablePerVertexColors();
  EXPECT_EQ(s.colorList[1].x, 0.0f);
  EXPECT_EQ(s.colorList[0].x, 1.0f);
  // Normals too, except that the last vertex's normal goes back to (0, 0, 1).
  s.normalList[1].set(1, 0, 0);
  s.normalList[2].set(1, 0, 0);
  s.enablePerVertexNormals();
  EXPECT_VEC3_EXACT(s.normalList[1], 1.0f, 0.0f, 0.0f);
  EXPECT_VEC3_EXACT(s.normalList[2], 0.0f, 0.0f, 1.0f);
  // Later vertices grow the newly enabled lists too.
  s.addPoint();
  EXPECT_EQ(s.colorList[3].w, 1.0f);
  EXPECT_VEC3_EXACT(s.textureCoordList[3], 0.0f, 0.0f, 0.0f);
}

TEST(ZeMeshShape, SmallGridsAndTheirIndexLists) {
  zeMeshShape m(2, 2);
  EXPECT_EQ(m.getTypeID(), 0x73686170u);
  EXPECT_EQ(m.drawStyle, 5u);
  EXPECT_TRUE(m.enableIndex && m.enableVertexColors && m.enableVertexNormals);
  ASSERT_EQ(m.listLength, 4);
  EXPECT_VEC3_EXACT(m.vertexList[1], 0.0f, 1.0f, 0.0f);
  EXPECT_VEC3_EXACT(m.vertexList[2], 1.0f, 0.0f, 0.0f);
  EXPECT_EQ(m.colorList[3].w, 1.0f);
  EXPECT_EQ(indices(m), (std::vector<int>{0, 2, 1, 3, -1}));

  zeMeshShape m32(3, 2);
  EXPECT_EQ(indices(m32), (std::vector<int>{0, 2, 1, 3, -1, 2, 4, 3, 5, -1}));
  EXPECT_VEC3_EXACT(m32.vertexList[5], 2.0f, 1.0f, 0.0f);
}

TEST(ZeMeshShape, ClothSizedMeshAndGridAddressing) {
  std::optional<zeMeshShape> m;
  const std::string out = stdoutOf([&] { m.emplace(60, 60); });
  EXPECT_EQ(out, "");  // building prints nothing
  EXPECT_EQ(m->listLength, 3600);
  EXPECT_EQ(m->indexListLength, 7139);
  EXPECT_EQ(m->getVertexIndex(1, 0), 60);
  EXPECT_EQ(m->indexList[7138], -1);
  EXPECT_EQ(m->indexList[120], -1);  // end of the first strip
  EXPECT_EQ(m->indexList[121], 60);
  m->setMeshVertex(1, 2, 4, 5, 6);
  EXPECT_VEC3_EXACT(m->vertexList[62], 4.0f, 5.0f, 6.0f);
  EXPECT_EQ(stdoutOf([&] { m->setMeshVertex(60, 0, 1, 1, 1); }),
            "setVertex: index is out of bounds\n");
  EXPECT_VEC3_EXACT(m->vertexList[3599], 59.0f, 59.0f, 0.0f);
  m->setMeshVertexColor(0, 1, 0.5f, 0, 0, 1);
  EXPECT_EQ(m->colorList[1].x, 0.5f);
  EXPECT_EQ(stdoutOf([&] { m->setMeshVertexColor(-1, 0, 1, 1, 1, 1); }),
            "setVertexColor: index is out of bounds\n");
}

TEST(ZeMeshShape, DegenerateSizes) {
  zeMeshShape one(1, 4);
  EXPECT_EQ(one.listLength, 4);
  EXPECT_EQ(one.indexListLength, 0);
  zeMeshShape empty(3, 0);
  EXPECT_EQ(empty.listLength, 0);
  EXPECT_EQ(indices(empty), (std::vector<int>{-1, -1}));
}

}  // namespace
