#include "viewkit/files/objWriter.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

namespace viewkit {

namespace {

// Writes the elements of one primitive, given as the OBJ-relative vertex
// numbers drawing would send between one glBegin and its glEnd.
class ObjEmitter {
 public:
  ObjEmitter(FILE* out, long base, bool normals, ObjCounts& counts)
      : out_(out), base_(base), normals_(normals), counts_(counts) {}

  bool ok() const { return ok_; }

  // One polygon face over the n vertices at v.
  void face(const int32_t* v, size_t n) {
    put("f");
    for (size_t i = 0; i < n; ++i) {
      const long a = base_ + v[i];
      if (normals_)
        put(" %ld//%ld", a, a);
      else
        put(" %ld", a);
    }
    put("\n");
    ++counts_.faces;
  }
  void triangle(int32_t a, int32_t b, int32_t c) {
    const int32_t v[3] = {a, b, c};
    face(v, 3);
  }
  // One polyline; closed repeats the first vertex at the end.
  void line(const int32_t* v, size_t n, bool closed) {
    put("l");
    for (size_t i = 0; i < n; ++i) put(" %ld", base_ + v[i]);
    if (closed) put(" %ld", base_ + v[0]);
    put("\n");
    ++counts_.lines;
  }
  void point(int32_t v) {
    put("p %ld\n", base_ + v);
    ++counts_.points;
  }

 private:
  template <class... A>
  void put(const char* format, A... args) {
    if (ok_ && std::fprintf(out_, format, args...) < 0) ok_ = false;
  }
  void put(const char* text) {
    if (ok_ && std::fputs(text, out_) < 0) ok_ = false;
  }

  FILE* out_;
  long base_;
  bool normals_;
  ObjCounts& counts_;
  bool ok_ = true;
};

// The elements GL makes of one primitive of the given mode; leftover
// vertices that complete no element are dropped, as GL drops them.
void emitPrimitive(uint32_t mode, const std::vector<int32_t>& p, ObjEmitter& out) {
  const size_t n = p.size();
  switch (mode) {
    case GL_POINTS:
      for (int32_t v : p) out.point(v);
      break;
    case GL_LINES:
      for (size_t i = 0; i + 1 < n; i += 2) out.line(&p[i], 2, false);
      break;
    case GL_LINE_STRIP:
      if (n >= 2) out.line(p.data(), n, false);
      break;
    case GL_LINE_LOOP:
      // Two vertices make one segment; closing it would only draw it back.
      if (n >= 2) out.line(p.data(), n, n >= 3);
      break;
    case GL_TRIANGLES:
      for (size_t i = 0; i + 2 < n; i += 3) out.triangle(p[i], p[i + 1], p[i + 2]);
      break;
    case GL_TRIANGLE_STRIP:
      // All triangles of a strip are wound alike, and so that they turn
      // counter-clockwise about the normals the shape library gives a
      // strip: those take the second triangle's order, the reverse of how
      // GL winds the strip. OBJ readers take the front from the winding,
      // so faces and vn lines then agree.
      for (size_t i = 0; i + 2 < n; ++i) {
        if (i % 2 == 0)
          out.triangle(p[i], p[i + 2], p[i + 1]);
        else
          out.triangle(p[i], p[i + 1], p[i + 2]);
      }
      break;
    case GL_TRIANGLE_FAN:
      for (size_t i = 1; i + 1 < n; ++i) out.triangle(p[0], p[i], p[i + 1]);
      break;
    case GL_QUADS:
      for (size_t i = 0; i + 3 < n; i += 4) out.face(&p[i], 4);
      break;
    case GL_QUAD_STRIP:
      // Quad k joins the pairs k and k + 1, going round its border.
      for (size_t i = 0; i + 3 < n; i += 2) {
        const int32_t q[4] = {p[i], p[i + 1], p[i + 3], p[i + 2]};
        out.face(q, 4);
      }
      break;
    case GL_POLYGON:
      if (n >= 3) out.face(p.data(), n);
      break;
    default:
      break;  // GL draws nothing for an unknown mode
  }
}

}  // namespace

bool writeObjShape(FILE* out, const zeShape& shape, const std::string& name, long& firstVertex,
                   ObjCounts* counts) {
  ObjCounts local;
  ObjCounts& c = counts != nullptr ? *counts : local;
  c = ObjCounts();
  bool ok = std::fprintf(out, "o %s\n", name.c_str()) >= 0;

  const int32_t L = shape.listLength > 0 ? shape.listLength : 0;
  // %.9g gives back every float bit for bit.
  for (int32_t i = 0; i < L && ok; ++i) {
    const zeVec3f& v = shape.vertexList[i];
    ok = std::fprintf(out, "v %.9g %.9g %.9g\n", v.x, v.y, v.z) >= 0;
    ++c.vertices;
  }
  const bool normals = shape.enableVertexNormals && shape.normalList != nullptr;
  if (normals) {
    for (int32_t i = 0; i < L && ok; ++i) {
      const zeVec3f& n = shape.normalList[i];
      ok = std::fprintf(out, "vn %.9g %.9g %.9g\n", n.x, n.y, n.z) >= 0;
      ++c.normals;
    }
  }

  // Split the sequence drawing sends into its primitives: -1 ends one,
  // and an entry naming no vertex is left out.
  ObjEmitter emit(out, firstVertex, normals, c);
  std::vector<int32_t> primitive;
  if (shape.enableIndex) {
    for (int32_t k = 0; k < shape.indexListLength && ok; ++k) {
      const int32_t v = shape.indexList[k];
      if (v == -1) {
        emitPrimitive(shape.drawStyle, primitive, emit);
        primitive.clear();
        ok = emit.ok();
      } else if (v >= 0 && v < L) {
        primitive.push_back(v);
      }
    }
  } else {
    primitive.reserve(static_cast<size_t>(L));
    for (int32_t v = 0; v < L; ++v) primitive.push_back(v);
  }
  if (ok) emitPrimitive(shape.drawStyle, primitive, emit);
  ok = ok && emit.ok();

  firstVertex += L;
  return ok;
}

}  // namespace viewkit
