/// @file
/// The drawable-object tree: zeObject (virtual operations with empty
/// defaults) and zeShape, a growable list of vertices with optional
/// per-vertex normals, colours and texture coordinates, an optional index
/// list (-1 ends the current primitive), its own placement, and drawing,
/// normal generation, picking and a binary record.
#pragma once

#include <cstdint>
#include <cstdio>

#include "zeu/zeMatrix4f.h"
#include "zeu/zeVec3f.h"
#include "zeu/zeVec4f.h"

/// A drawable object: every operation has an empty default.
class zeObject {
 public:
  virtual void draw();                         ///< Draws the object; empty.
  virtual void idle();                         ///< One idle pass; empty.
  virtual bool pointInside(float x, float y);  ///< Whether the window point hits it; false.
  /// Whether it lies in the window rectangle (x1, y1)-(x2, y2); false.
  virtual bool shapeInRect(float x1, float y1, float x2, float y2, bool partial);
  /// Whether it lies in the window circle of radius r about (x, y); false.
  virtual bool shapeInCircle(float x, float y, float r, bool partial);
  virtual void mouseDown(float x, float y, int button);  ///< A button pressed; empty.
  virtual void mouseUp(float x, float y, int button);    ///< A button released; empty.
  virtual void mouseMove(float x, float y);              ///< The pointer moved; empty.
  virtual void mouseDrag(float x, float y);              ///< The pointer dragged; empty.
  virtual void keyDown(char key);                        ///< A key pressed; empty.
  virtual void specialKeyDown(int key);                  ///< A special key pressed; empty.
  virtual void writeToFile(FILE* stream);                ///< Writes its record; empty.
  virtual void readFromFile(FILE* stream);               ///< Reads its record; empty.
  virtual uint32_t getTypeID();  ///< Four characters, the first in the top byte: "none".
};

/// Order in which draw applies translation (T), rotation (R) and scale (S):
/// the letters name the calls on the transform stack, left to right. Any
/// int value is representable; values outside 0..5 apply no transform.
enum xformOrder : int {
  ze_T_S_R = 0,  ///< Translate, scale, rotate.
  ze_T_R_S = 1,  ///< Translate, rotate, scale.
  ze_R_S_T = 2,  ///< Rotate, scale, translate.
  ze_R_T_S = 3,  ///< Rotate, translate, scale.
  ze_S_R_T = 4,  ///< Scale, rotate, translate.
  ze_S_T_R = 5   ///< Scale, translate, rotate.
};

/// Vertices with optional per-vertex normals, colours, texture coordinates
/// and an index list, its own placement, drawing, normals, picking and a record.
class zeShape : public zeObject {
 public:
  uint32_t drawStyle;              ///< OpenGL primitive mode handed to glBegin.
  xformOrder transformOrder;       ///< Order of Translation, Rotation and Scale in draw.
  zeVec3f Normal;                  ///< Sent once per draw.
  zeVec4f Color;                   ///< Sent once per draw.
  zeVec3f Translation;             ///< The shape's own offset.
  zeVec3f Scale;                   ///< The shape's own scale factors.
  zeVec4f Rotation;                ///< x: angle in degrees; y, z, w: axis.
  bool enablePicking;              ///< draw computes window positions for picking.
  zeMatrix4f space;                ///< Transform in force at the last draw.
  int32_t listLength;              ///< Number of vertices.
  zeVec3f* vertexList;             ///< The vertices, in the shape's own coordinates.
  zeVec3f* absVertexList;          ///< World positions of the last draw.
  zeVec3f* screenVertexList;       ///< Window positions of the last draw with picking on.
  zeVec3f* normalList;             ///< Per-vertex normals, when enabled.
  zeVec3f* textureCoordList;       ///< Per-vertex texture coordinates, when enabled.
  zeVec4f* colorList;              ///< Per-vertex colours, when enabled.
  bool enableIndex;                ///< Primitives follow indexList rather than the vertex order.
  int32_t indexListLength;         ///< Number of entries of indexList.
  int32_t* indexList;              ///< Vertex indices; -1 ends the current primitive.
  int32_t* normalCountList;        ///< Faces counted at each vertex by the normal generation.
  bool enableVertexNormals;        ///< Per-vertex normals are kept and recomputed on draw.
  bool enableVertexColors;         ///< Per-vertex colours are kept and sent.
  bool enableVertexTextureCoords;  ///< Per-vertex texture coordinates are kept and sent.

  static float pickTolerance;  ///< Hit distance in pixels for points and segments.

  /// An empty shape with the per-vertex lists and index list the flags choose.
  zeShape(bool vertexColors, bool vertexNormals, bool indexed);
  /// A shape owns its lists; it is not copyable.
  zeShape(const zeShape&) = delete;
  zeShape& operator=(const zeShape&) = delete;  ///< Not assignable either.
  ~zeShape();                                   ///< Frees the lists.

  /// Adds a vertex at the origin and returns its index; a list already
  /// holding INT32_MAX entries takes no more (message, -1, nothing changed).
  int addPoint();
  /// Adds the vertex (x, y, z) and returns its index, or -1 as addPoint().
  int addPoint(float x, float y, float z);
  void addIndex(int index);  ///< Appends to the index list; refuses a full list likewise.
  /// Makes the index list exactly count entries long in one step, keeping
  /// its leading entries; entries added are -1 (breaks) until the caller
  /// fills them. Returns the list (null for 0). Refused with a message, and
  /// nothing changed, without an index list or for a negative count (null).
  int32_t* resizeIndexList(int32_t count);
  void setVertex(int index, float x, float y, float z);  ///< Moves a vertex.
  /// Sets a vertex's colour; needs per-vertex colours.
  void setVertexColor(int index, float r, float g, float b, float a);
  void enablePerVertexColors();         ///< Turns per-vertex colours on; new entries white.
  void enablePerVertexNormals();        ///< Turns per-vertex normals on.
  void enablePerVertexTextureCoords();  ///< Turns per-vertex texture coordinates on.
  void calculateNormals();  ///< Recomputes the per-vertex normals from the last draw's positions.

  void draw() override;  ///< Places, maps and sends the shape to OpenGL.
  void idle() override;  ///< Nothing.
  /// Whether the window point hits a triangle, segment or point of the last draw.
  bool pointInside(float x, float y) override;
  /// Whether all vertices (any, with partial) lie in the window rectangle.
  bool shapeInRect(float x1, float y1, float x2, float y2, bool partial) override;
  /// Whether all vertices (any, with partial) lie in the window circle.
  bool shapeInCircle(float x, float y, float r, bool partial) override;
  void writeToFile(FILE* stream) override;   ///< Writes the shape as one binary record.
  void readFromFile(FILE* stream) override;  ///< Reads one binary record into the shape.
  uint32_t getTypeID() override;             ///< "shap".
};

/// True when (x, y) lies inside the window-space triangle a, b, c or on its
/// border; false when a corner lies behind the near plane (z below 0).
bool pointInTriangle(float x, float y, zeVec3f& a, zeVec3f& b, zeVec3f& c);
