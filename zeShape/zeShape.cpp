#include "zeShape/zeShape.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "zeShape/zeShapeLists.h"

// ---- zeObject defaults --------------------------------------------------------

void zeObject::draw() {}
void zeObject::idle() {}
bool zeObject::pointInside(float, float) {
  return false;
}
bool zeObject::shapeInRect(float, float, float, float, bool) {
  return false;
}
bool zeObject::shapeInCircle(float, float, float, bool) {
  return false;
}
void zeObject::writeToFile(FILE*) {}
void zeObject::readFromFile(FILE*) {}
uint32_t zeObject::getTypeID() {
  return 0x6E6F6E65;
}  // "none"

// ---- zeShape --------------------------------------------------------------------

float zeShape::pickTolerance = 5.0f;

zeShape::zeShape(bool vertexColors, bool vertexNormals, bool indexed)
    : drawStyle(3),
      transformOrder(ze_T_R_S),
      Normal(0.0f, 0.0f, 1.0f),
      Translation(0.0f, 0.0f, 0.0f),
      Scale(1.0f, 1.0f, 1.0f),
      enablePicking(true),
      listLength(0),
      vertexList(nullptr),
      absVertexList(nullptr),
      screenVertexList(nullptr),
      normalList(nullptr),
      textureCoordList(nullptr),
      colorList(nullptr),
      enableIndex(indexed),
      indexListLength(0),
      indexList(nullptr),
      normalCountList(nullptr),
      enableVertexNormals(vertexNormals),
      enableVertexColors(vertexColors),
      enableVertexTextureCoords(false) {
  Color.set(1.0f, 1.0f, 1.0f, 1.0f);
  Rotation.set(0.0f, 0.0f, 1.0f, 0.0f);
  // draw overwrites this before anything reads it; start from the identity
  // rather than leave indeterminate values in a public field.
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) space.m[r][c] = (r == c) ? 1.0f : 0.0f;
}

zeShape::~zeShape() {
  std::free(static_cast<void*>(vertexList));
  std::free(static_cast<void*>(absVertexList));
  std::free(static_cast<void*>(screenVertexList));
  std::free(static_cast<void*>(normalList));
  std::free(static_cast<void*>(textureCoordList));
  std::free(static_cast<void*>(colorList));
  std::free(static_cast<void*>(indexList));
  std::free(static_cast<void*>(normalCountList));
}

int zeShape::addPoint() {
  // One more entry would overflow the 32-bit count; refuse it.
  if (listLength == INT32_MAX) {
    std::printf("addPoint: list is full\n");
    return -1;
  }
  ++listLength;
  const int last = listLength - 1;
  zeResizeList(vertexList, listLength);
  vertexList[last].set(0.0f, 0.0f, 0.0f);
  zeResizeList(absVertexList, listLength);
  absVertexList[last].set(0.0f, 0.0f, 0.0f);
  zeResizeList(screenVertexList, listLength);
  screenVertexList[last].set(0.0f, 0.0f, 0.0f);
  if (enableVertexNormals) {
    zeResizeList(normalList, listLength);
    normalList[last].set(0.0f, 0.0f, 1.0f);
    zeResizeList(normalCountList, listLength);
    normalCountList[last] = 0;
  }
  if (enableVertexColors) {
    zeResizeList(colorList, listLength);
    colorList[last].set(1.0f, 1.0f, 1.0f, 1.0f);
  }
  if (enableVertexTextureCoords) {
    zeResizeList(textureCoordList, listLength);
    textureCoordList[last].set(0.0f, 0.0f, 0.0f);
  }
  return last;
}

int zeShape::addPoint(float x, float y, float z) {
  const int added = addPoint();
  if (added >= 0) vertexList[added].set(x, y, z);
  return added;
}

void zeShape::addIndex(int index) {
  if (!enableIndex) {
    std::printf("addIndex: index list is not enable in shape\n");
    return;
  }
  if (indexListLength == INT32_MAX) {
    std::printf("addIndex: list is full\n");
    return;
  }
  if (index < -1 || index >= listLength)
    std::printf("addIndex warning: added index is outside of bounds\n");
  ++indexListLength;
  zeResizeList(indexList, indexListLength);
  indexList[indexListLength - 1] = index;
}

int32_t* zeShape::resizeIndexList(int32_t count) {
  if (!enableIndex) {
    std::printf("resizeIndexList: index list is not enable in shape\n");
    return nullptr;
  }
  if (count < 0) {
    std::printf("resizeIndexList: count is negative\n");
    return nullptr;
  }
  zeResizeList(indexList, count);
  for (int32_t k = indexListLength; k < count; ++k) indexList[k] = -1;
  indexListLength = count;
  return indexList;
}

void zeShape::setVertex(int index, float x, float y, float z) {
  if (index < 0 || index >= listLength) {
    std::printf("setVertex: index is out of bounds\n");
    return;
  }
  vertexList[index].set(x, y, z);
}

void zeShape::setVertexColor(int index, float r, float g, float b, float a) {
  if (!enableVertexColors) {
    std::printf("setVertexColor: vertex color is not enabled in shape\n");
    return;
  }
  if (index < 0 || index >= listLength) {
    std::printf("setVertexColor: index is out of bounds\n");
    return;
  }
  colorList[index].set(r, g, b, a);
}

// The enabling operations keep the entries a list already holds. A list
// that had no block yet gets the defaults addPoint would have given; when
// the list was in use its length is already listLength and nothing is new.

// A list whose flag was clear is not kept up to date (addPoint skips it and a
// record read keeps its old block), so switching it on starts every entry at
// addPoint's default rather than exposing stale or unwritten entries. A list
// already on keeps its entries.
void zeShape::enablePerVertexColors() {
  const bool fresh = !enableVertexColors || colorList == nullptr;
  enableVertexColors = true;
  zeResizeList(colorList, listLength);
  if (fresh)
    for (int i = 0; i < listLength; ++i) colorList[i].set(1.0f, 1.0f, 1.0f, 1.0f);
}

void zeShape::enablePerVertexNormals() {
  const bool freshNormals = !enableVertexNormals || normalList == nullptr;
  const bool freshCounts = !enableVertexNormals || normalCountList == nullptr;
  enableVertexNormals = true;
  zeResizeList(normalList, listLength);
  if (freshNormals)
    for (int i = 0; i < listLength; ++i) normalList[i].set(0.0f, 0.0f, 1.0f);
  if (listLength > 0) normalList[listLength - 1].set(0.0f, 0.0f, 1.0f);
  zeResizeList(normalCountList, listLength);
  if (freshCounts)
    for (int i = 0; i < listLength; ++i) normalCountList[i] = 0;
}

void zeShape::enablePerVertexTextureCoords() {
  const bool fresh = !enableVertexTextureCoords || textureCoordList == nullptr;
  enableVertexTextureCoords = true;
  zeResizeList(textureCoordList, listLength);
  if (fresh)
    for (int i = 0; i < listLength; ++i) textureCoordList[i].set(0.0f, 0.0f, 0.0f);
}

void zeShape::idle() {}

uint32_t zeShape::getTypeID() {
  return 0x73686170;
}  // "shap"
