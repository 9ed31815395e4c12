// The drawable-object tree: zeObject (virtual operations with empty
// defaults) and zeShape, a growable list of vertices with optional
// per-vertex normals, colours and texture coordinates, an optional index
// list (-1 ends the current primitive), its own placement, and drawing,
// normal generation, picking and a binary record.
#pragma once

#include <cstdint>
#include <cstdio>

#include "zeu/zeMatrix4f.h"
#include "zeu/zeVec3f.h"
#include "zeu/zeVec4f.h"

class zeObject {
 public:
  virtual void draw();
  virtual void idle();
  virtual bool pointInside(float x, float y);
  virtual bool shapeInRect(float x1, float y1, float x2, float y2, bool partial);
  virtual bool shapeInCircle(float x, float y, float r, bool partial);
  virtual void mouseDown(float x, float y, int button);
  virtual void mouseUp(float x, float y, int button);
  virtual void mouseMove(float x, float y);
  virtual void mouseDrag(float x, float y);
  virtual void keyDown(char key);
  virtual void specialKeyDown(int key);
  virtual void writeToFile(FILE* stream);
  virtual void readFromFile(FILE* stream);
  virtual uint32_t getTypeID();  // four characters, the first in the top byte
};

// Order in which draw applies translation (T), rotation (R) and scale (S):
// the letters name the calls on the transform stack, left to right. Any
// int value is representable; values outside 0..5 apply no transform.
enum xformOrder : int {
  ze_T_S_R = 0,
  ze_T_R_S = 1,
  ze_R_S_T = 2,
  ze_R_T_S = 3,
  ze_S_R_T = 4,
  ze_S_T_R = 5
};

class zeShape : public zeObject {
 public:
  uint32_t drawStyle;  // OpenGL primitive mode handed to glBegin
  xformOrder transformOrder;
  zeVec3f Normal;  // sent once per draw
  zeVec4f Color;   // sent once per draw
  zeVec3f Translation;
  zeVec3f Scale;
  zeVec4f Rotation;  // x: angle in degrees; y, z, w: axis
  bool enablePicking;
  zeMatrix4f space;  // transform in force at the last draw
  int32_t listLength;
  zeVec3f* vertexList;
  zeVec3f* absVertexList;     // world positions of the last draw
  zeVec3f* screenVertexList;  // window positions of the last draw with picking on
  zeVec3f* normalList;
  zeVec3f* textureCoordList;
  zeVec4f* colorList;
  bool enableIndex;
  int32_t indexListLength;
  int32_t* indexList;
  int32_t* normalCountList;
  bool enableVertexNormals;
  bool enableVertexColors;
  bool enableVertexTextureCoords;

  static float pickTolerance;  // hit distance in pixels for points and segments

  zeShape(bool vertexColors, bool vertexNormals, bool indexed);
  // A shape owns its lists; it is not copyable.
  zeShape(const zeShape&) = delete;
  zeShape& operator=(const zeShape&) = delete;
  ~zeShape();

  // Both return the new vertex's index; a list already holding INT32_MAX
  // entries takes no more (message, -1, nothing changed). addIndex refuses
  // the same way.
  int addPoint();
  int addPoint(float x, float y, float z);
  void addIndex(int index);
  void setVertex(int index, float x, float y, float z);
  void setVertexColor(int index, float r, float g, float b, float a);
  void enablePerVertexColors();
  void enablePerVertexNormals();
  void enablePerVertexTextureCoords();
  void calculateNormals();

  void draw() override;
  void idle() override;
  bool pointInside(float x, float y) override;
  bool shapeInRect(float x1, float y1, float x2, float y2, bool partial) override;
  bool shapeInCircle(float x, float y, float r, bool partial) override;
  void writeToFile(FILE* stream) override;
  void readFromFile(FILE* stream) override;
  uint32_t getTypeID() override;
};

// True when (x, y) lies inside the window-space triangle a, b, c or on its
// border; false when a corner lies behind the near plane (z below 0).
bool pointInTriangle(float x, float y, zeVec3f& a, zeVec3f& b, zeVec3f& c);
