// Geometry check: builds a shape from the input with the list operations and
// runs every geometric entry point on it.
//
// Input layout (missing bytes read as 0):
//   flags      1 byte: bit 0 colours, 1 normals, 2 index list, 3 texture
//              coordinates, 4 picking, 5 switch the per-vertex lists on after
//              the vertices are added, 6 raw camera, 7 raw current matrix
//   style      1 byte: below 0xF0 the primitive mode is style % 12, else the
//              mode is the next 4 bytes
//   order      1 byte, signed: the transformOrder value
//   placement  Normal (3), Color (4), Translation (3), Scale (3), Rotation (4)
//              numbers
//   height     1 byte: transform stack height, modulo 128
//   camera     with flag 6: 16 raw floats (projection, row-major) and 4 raw
//              int32 (viewport); otherwise a projection that maps world x, y
//              to window pixels one to one and window depth (1 + z) / 2
//   matrix     with flag 7: 16 raw floats for the current stack matrix
//   vertices   1 byte count, then 3 numbers per vertex, then for each list
//              in use (colours, texture coordinates) 1 number per vertex
//   indices    with flag 2: 2 bytes count (at most 2048), 1 code byte each:
//              below 200 the index code % (count + 2) - 1, from -1 to one
//              past the last vertex; 200..255 an extreme or raw value
//   operations the rest, 1 byte each with its numbers: pick, rectangle,
//              circle, triangle test, normals, draw, picking switch
// A number is 1 byte: below 0xF0 the value (byte - 120) / 2, else NaN,
// infinities, -0, the largest and smallest floats, or 4 raw bytes.
#include <GL/gl.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "testkit/glRecorder.h"
#include "tests/fuzz/shapeFuzzChecks.h"
#include "zeShape/zeShape.h"
#include "zeShape/zeShapeArrays.h"
#include "zeShape/zeTransforms.h"

namespace shapefuzz {
namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : p_(data), left_(size) {}

  bool empty() const { return left_ == 0; }
  uint8_t byte() {
    if (left_ == 0) return 0;
    --left_;
    return *p_++;
  }
  uint32_t u32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
    return v;
  }
  float rawFloat() {
    const uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }
  float number() {
    const uint8_t b = byte();
    if (b < 0xF0) return (static_cast<int>(b) - 120) * 0.5f;
    switch (b) {
      case 0xF0:
        return std::numeric_limits<float>::quiet_NaN();
      case 0xF1:
        return std::numeric_limits<float>::infinity();
      case 0xF2:
        return -std::numeric_limits<float>::infinity();
      case 0xF3:
        return -0.0f;
      case 0xF4:
        return FLT_MAX;
      case 0xF5:
        return -FLT_MAX;
      case 0xF6:
        return std::numeric_limits<float>::denorm_min();
      default:
        return rawFloat();
    }
  }
  int32_t indexCode(int32_t vertices) {
    const uint8_t b = byte();
    if (b < 200) return static_cast<int32_t>(b % (vertices + 2)) - 1;
    switch (b % 8) {
      case 0:
        return INT32_MIN;
      case 1:
        return INT32_MAX;
      case 2:
        return -2;
      case 3:
        return vertices;
      case 4:
        return vertices + 1;
      default:
        return static_cast<int32_t>(u32());
    }
  }

 private:
  const uint8_t* p_;
  size_t left_;
};

template <class T>
std::vector<uint8_t> bytesOf(const T* list, int32_t n) {
  const auto* b = reinterpret_cast<const uint8_t*>(list);
  return n > 0 ? std::vector<uint8_t>(b, b + sizeof(T) * static_cast<size_t>(n))
               : std::vector<uint8_t>();
}

// Entries of the face sequence that name an existing vertex.
std::vector<int32_t> namedVertices(const zeShape& s) {
  std::vector<int32_t> out;
  const int32_t n = s.enableIndex ? s.indexListLength : s.listLength;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t v = s.enableIndex ? s.indexList[k] : k;
    if (v >= 0 && v < s.listLength) out.push_back(v);
  }
  return out;
}

// The region tests evaluated directly from their definition.
bool expectedInRect(const zeShape& s, float x1, float y1, float x2, float y2, bool partial) {
  for (int32_t v : namedVertices(s)) {
    const float sx = s.screenVertexList[v].x, sy = s.screenVertexList[v].y;
    if (partial && x1 < sx && sx < x2 && y1 < sy && sy < y2) return true;
    if (!partial && (sx < x1 || sx > x2 || sy < y1 || sy > y2)) return false;
  }
  return !partial;
}

bool expectedInCircle(const zeShape& s, float cx, float cy, float r, bool partial) {
  for (int32_t v : namedVertices(s)) {
    const float dx = s.screenVertexList[v].x - cx;
    const float dy = s.screenVertexList[v].y - cy;
    const float d2 = dx * dx + dy * dy;
    const float r2 = r * r;
    if (partial && d2 < r2) return true;
    if (!partial && d2 > r2) return false;
  }
  return !partial;
}

bool isFaceMode(uint32_t mode) {
  return mode == GL_TRIANGLES || mode == GL_TRIANGLE_STRIP || mode == GL_TRIANGLE_FAN ||
         mode == GL_POLYGON;
}

std::string checkNormals(zeShape& s) {
  const std::vector<uint8_t> positions = bytesOf(s.absVertexList, s.listLength);
  s.calculateNormals();
  if (bytesOf(s.absVertexList, s.listLength) != positions)
    return "calculateNormals changed the world positions";
  if (!s.enableVertexNormals) return std::string();
  // Face modes with fewer than three entries stop before the final pass and
  // leave every normal at (0, 0, 0).
  const int32_t entries = s.enableIndex ? s.indexListLength : s.listLength;
  const bool tooShort = isFaceMode(s.drawStyle) && entries < 3;
  for (int32_t i = 0; i < s.listLength; ++i) {
    const int32_t count = s.normalCountList[i];
    const zeVec3f& n = s.normalList[i];
    if (count < 0) return "a normal count is negative";
    if (!isFaceMode(s.drawStyle) && count != 0) return "a mode without faces counted faces";
    if (tooShort && !(n.x == 0.0f && n.y == 0.0f && n.z == 0.0f && count == 0))
      return "a face mode with fewer than three entries formed normals";
    if (!tooShort && count == 0 && !(n.x == 0.0f && n.y == 0.0f && n.z == 1.0f))
      return "a vertex without faces did not get (0, 0, 1)";
  }
  return std::string();
}

std::string checkDraw(zeShape& s, zeShapeArrays& arrays) {
  const std::vector<uint8_t> positions = bytesOf(s.vertexList, s.listLength);
  const std::vector<uint8_t> window = bytesOf(s.screenVertexList, s.listLength);
  const int height = zeMatrixHeight;
  s.draw();
  if (bytesOf(s.vertexList, s.listLength) != positions) return "draw changed vertexList";
  if (!s.enablePicking && bytesOf(s.screenVertexList, s.listLength) != window)
    return "draw without picking changed the window positions";
  // At the top of the stack the push is ignored and the pop still lowers it.
  if (height < 127 && zeMatrixHeight != height) return "draw changed the transform stack depth";

  // The client-array path, prepared by an earlier operation or not: the
  // stand-in reads every vertex its indices name, so an index past the
  // lists is a read outside them.
  const std::vector<uint8_t> normals =
      s.enableVertexNormals ? bytesOf(s.normalList, s.listLength) : std::vector<uint8_t>();
  zeMatrixHeight = height;
  glrec::state().recording = true;
  arrays.draw(s);
  glrec::state().recording = false;
  std::string error;
  for (const glrec::Primitive& p : glrec::state().primitives)
    for (const glrec::Vertex& v : p.vertices)
      if (v.index < 0 || v.index >= s.listLength) error = "the client-array path named no vertex";
  glrec::state().calls.clear();
  glrec::state().primitives.clear();
  if (!error.empty()) return error;
  if (bytesOf(s.vertexList, s.listLength) != positions)
    return "the client-array path changed vertexList";
  if (s.enableVertexNormals && bytesOf(s.normalList, s.listLength) != normals)
    return "the client-array path changed the normals";
  if (height < 127 && zeMatrixHeight != height)
    return "the client-array path changed the transform stack depth";
  return std::string();
}

}  // namespace

std::string checkShapeGeometry(const uint8_t* data, size_t size) {
  glrec::state().recording = false;  // the GL calls need not be kept
  Input in(data, size);
  const uint8_t flags = in.byte();
  const bool colors = flags & 1, normals = flags & 2, indexed = flags & 4, texCoords = flags & 8;
  const bool late = flags & 32;

  zeShape s(colors && !late, normals && !late, indexed);
  zeShapeArrays arrays;
  if (texCoords && !late) s.enablePerVertexTextureCoords();
  s.enablePicking = flags & 16;
  const uint8_t style = in.byte();
  s.drawStyle = style < 0xF0 ? style % 12u : in.u32();
  s.transformOrder = static_cast<xformOrder>(static_cast<int8_t>(in.byte()));
  const float nx = in.number(), ny = in.number(), nz = in.number();
  s.Normal.set(nx, ny, nz);
  const float cr = in.number(), cg = in.number(), cb = in.number(), ca = in.number();
  s.Color.set(cr, cg, cb, ca);
  const float tx = in.number(), ty = in.number(), tz = in.number();
  s.Translation.set(tx, ty, tz);
  const float sx = in.number(), sy = in.number(), sz = in.number();
  s.Scale.set(sx, sy, sz);
  const float ra = in.number(), rx = in.number(), ry = in.number(), rz = in.number();
  s.Rotation.set(ra, rx, ry, rz);

  zeTransformsInit();
  zeMatrixHeight = in.byte() % 128;
  if (flags & 64) {
    for (auto& row : cameraMatrix.m)
      for (float& v : row) v = in.rawFloat();
    for (int& v : view) v = static_cast<int32_t>(in.u32());
  } else {
    const float m[4][4] = {{2.0f / 640.0f, 0.0f, 0.0f, -1.0f},
                           {0.0f, 2.0f / 480.0f, 0.0f, -1.0f},
                           {0.0f, 0.0f, 1.0f, 0.0f},
                           {0.0f, 0.0f, 0.0f, 1.0f}};
    std::memcpy(cameraMatrix.m, m, sizeof m);
    view[0] = 0;
    view[1] = 0;
    view[2] = 640;
    view[3] = 480;
  }
  if (flags & 128)
    for (auto& row : zeMatrixStack[zeMatrixHeight].m)
      for (float& v : row) v = in.rawFloat();

  const int vertices = in.byte();
  for (int i = 0; i < vertices; ++i) {
    const float x = in.number(), y = in.number(), z = in.number();
    s.addPoint(x, y, z);
  }
  if (late) {
    if (colors) s.enablePerVertexColors();
    if (normals) s.enablePerVertexNormals();
    if (texCoords) s.enablePerVertexTextureCoords();
  }
  if (colors)
    for (int i = 0; i < vertices; ++i) {
      const float v = in.number();
      s.setVertexColor(i, v, v, v, 1.0f);
    }
  if (texCoords)
    for (int i = 0; i < vertices; ++i) s.textureCoordList[i].x = in.number();
  if (indexed) {
    const int count = (in.byte() | in.byte() << 8) % 2049;
    for (int k = 0; k < count; ++k) s.addIndex(in.indexCode(vertices));
  }

  std::string error = checkDraw(s, arrays);
  for (int op = 0; error.empty() && op < 32 && !in.empty(); ++op) {
    const uint8_t kind = in.byte() % 8;
    if (kind == 0) {
      const float x = in.number(), y = in.number();
      const bool picksAtAll = s.drawStyle <= GL_TRIANGLE_FAN || s.drawStyle == GL_POLYGON;
      if (s.pointInside(x, y) && (!s.enablePicking || !picksAtAll || namedVertices(s).empty()))
        error = "picked a shape that cannot be picked";
    } else if (kind == 1) {
      const float x1 = in.number(), y1 = in.number(), x2 = in.number(), y2 = in.number();
      for (bool partial : {true, false})
        if (s.shapeInRect(x1, y1, x2, y2, partial) != expectedInRect(s, x1, y1, x2, y2, partial))
          error = "shapeInRect disagrees with its definition";
    } else if (kind == 2) {
      const float x = in.number(), y = in.number(), r = in.number();
      for (bool partial : {true, false})
        if (s.shapeInCircle(x, y, r, partial) != expectedInCircle(s, x, y, r, partial))
          error = "shapeInCircle disagrees with its definition";
    } else if (kind == 3 && s.listLength > 0) {
      const int32_t a = in.byte() % s.listLength, b = in.byte() % s.listLength,
                    c = in.byte() % s.listLength;
      const float x = in.number(), y = in.number();
      const bool hit = pointInTriangle(x, y, s.screenVertexList[a], s.screenVertexList[b],
                                       s.screenVertexList[c]);
      if (hit && (s.screenVertexList[a].z < 0.0f || s.screenVertexList[b].z < 0.0f ||
                  s.screenVertexList[c].z < 0.0f))
        error = "a triangle behind the near plane was hit";
    } else if (kind == 4) {
      error = checkNormals(s);
    } else if (kind == 5) {
      error = checkDraw(s, arrays);
    } else if (kind == 6) {
      s.enablePicking = !s.enablePicking;
    } else if (kind == 7) {
      // A new placement for the next draw.
      const float a = in.number(), x = in.number(), y = in.number(), z = in.number();
      s.Rotation.set(a, x, y, z);
      s.transformOrder = static_cast<xformOrder>(in.byte() % 7);
    }
  }
  return error;
}

}  // namespace shapefuzz
