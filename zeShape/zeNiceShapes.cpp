#include "zeShape/zeNiceShapes.h"

// ---- zeObject input-handler defaults: objects ignore input unless a
// subclass cares --------------------------------------------------------------

void zeObject::mouseDown(float, float, int) {}
void zeObject::mouseUp(float, float, int) {}
void zeObject::mouseMove(float, float) {}
void zeObject::mouseDrag(float, float) {}
void zeObject::keyDown(char) {}
void zeObject::specialKeyDown(int) {}

// ---- zeMeshShape ----------------------------------------------------------------

zeMeshShape::zeMeshShape(int N, int M) : zeShape(true, true, true), N(N), M(M) {
  for (int k = 0; k < N * M; ++k) addPoint(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < M; ++j) {
      setMeshVertex(i, j, static_cast<float>(i), static_cast<float>(j), 0.0f);
      setMeshVertexColor(i, j, 1.0f, 1.0f, 1.0f, 1.0f);
    }
  // One strip between each pair of neighbouring rows, each ended by a break.
  for (int i = 0; i < N - 1; ++i) {
    for (int j = 0; j < M; ++j) {
      addIndex(getVertexIndex(i, j));
      addIndex(getVertexIndex(i + 1, j));
    }
    addIndex(-1);
  }
  drawStyle = 5;  // GL_TRIANGLE_STRIP
}

int zeMeshShape::getVertexIndex(int i, int j) {
  return i * M + j;
}

void zeMeshShape::setMeshVertex(int i, int j, float x, float y, float z) {
  setVertex(getVertexIndex(i, j), x, y, z);
}

void zeMeshShape::setMeshVertexColor(int i, int j, float r, float g, float b, float a) {
  setVertexColor(getVertexIndex(i, j), r, g, b, a);
}
