#include "zeShape/zeShapeArrays.h"

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>

#include "zeShape/zeShapeLists.h"
#include "zeShape/zeTransforms.h"

static_assert(sizeof(zeVec3f) == 3 * sizeof(float) && sizeof(zeVec4f) == 4 * sizeof(float),
              "the lists are handed to OpenGL as packed float arrays");

namespace {

// Vertices per primitive of the modes whose primitives can share one
// glDrawElements: OpenGL drops an incomplete last primitive, so dropping it
// here keeps the next run's vertices from pairing up with it. 0: one call
// per run (the primitive spans the run).
int unitOf(uint32_t mode) {
  switch (mode) {
    case GL_POINTS:
      return 1;
    case GL_LINES:
      return 2;
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP:  // sent as GL_TRIANGLES
    case GL_TRIANGLE_FAN:    // sent as GL_TRIANGLES
      return 3;
    case GL_QUADS:
      return 4;
    default:
      return 0;
  }
}

// The largest glDrawElements count, a multiple of every unit above.
constexpr size_t kMaxBatch = (0x7fffffff / 12) * 12;

}  // namespace

bool zeShapeArrays::current(const zeShape& s) const {
  return prepared_ && s.drawStyle == drawStyle_ && s.enableIndex == indexed_ &&
         s.listLength == vertices_ && s.indexListLength == entries_ && s.indexList == indexList_;
}

// Appends the primitive held in run_ (from a primitive break to the next).
// Strips and fans become independent triangles in OpenGL's order and
// winding: strip triangle k is (k, k + 1, k + 2) for even k and
// (k + 1, k, k + 2) for odd k, fan triangle k is (0, k + 1, k + 2).
void zeShapeArrays::addRun(uint32_t mode) {
  const size_t n = run_.size();
  if (mode == GL_TRIANGLE_STRIP) {
    for (size_t k = 0; k + 2 < n; ++k) {
      const bool odd = (k & 1) != 0;
      wide_.push_back(run_[odd ? k + 1 : k]);
      wide_.push_back(run_[odd ? k : k + 1]);
      wide_.push_back(run_[k + 2]);
    }
  } else if (mode == GL_TRIANGLE_FAN) {
    for (size_t k = 0; k + 2 < n; ++k) {
      wide_.push_back(run_[0]);
      wide_.push_back(run_[k + 1]);
      wide_.push_back(run_[k + 2]);
    }
  } else if (const int unit = unitOf(mode)) {
    wide_.insert(wide_.end(), run_.begin(), run_.begin() + static_cast<ptrdiff_t>(n - n % unit));
  } else if (n > 0) {
    batches_.push_back(Batch{mode, wide_.size(), static_cast<int32_t>(n), 0});
    wide_.insert(wide_.end(), run_.begin(), run_.end());
  }
  run_.clear();
}

void zeShapeArrays::prepare(const zeShape& s) {
  wide_.clear();
  narrow_.clear();
  batches_.clear();
  run_.clear();
  prepared_ = true;
  drawStyle_ = s.drawStyle;
  indexed_ = s.enableIndex;
  vertices_ = s.listLength;
  entries_ = s.indexListLength;
  indexList_ = s.indexList;

  const uint32_t mode = s.drawStyle;
  if (mode > GL_POLYGON) return;  // not a primitive mode: draw's glBegin draws nothing either

  // The face sequence as draw walks it: -1 ends a primitive, an entry naming
  // no vertex is passed over without ending it.
  const int32_t steps = s.enableIndex ? s.indexListLength : s.listLength;
  for (int32_t k = 0; k < steps; ++k) {
    const int32_t v = s.enableIndex ? s.indexList[k] : k;
    if (v == -1)
      addRun(mode);
    else if (zeValidVertex(v, s.listLength))
      run_.push_back(static_cast<uint32_t>(v));
  }
  addRun(mode);

  if (window_ > 0 && unitOf(mode) != 0 && windowBatches(mode)) {
    run_.shrink_to_fit();
    return;
  }
  // The modes whose primitives share calls: one batch, cut into pieces no
  // longer than a glDrawElements count can say.
  if (unitOf(mode) != 0) {
    const uint32_t sent =
        (mode == GL_TRIANGLE_STRIP || mode == GL_TRIANGLE_FAN) ? GL_TRIANGLES : mode;
    for (size_t first = 0; first < wide_.size(); first += kMaxBatch) {
      const size_t left = wide_.size() - first;
      batches_.push_back(
          Batch{sent, first, static_cast<int32_t>(left < kMaxBatch ? left : kMaxBatch), 0});
    }
  }

  // Up to 65,536 vertices every index fits 16 bits: half the bytes per
  // draw, and the index type the browser's GL emulation wants from client
  // memory.
  if (s.listLength <= 65536) {
    narrow_.assign(wide_.begin(), wide_.end());
    wide_.clear();
    wide_.shrink_to_fit();
  }
  run_.shrink_to_fit();
}

// The batched primitives cut, in order, into calls whose vertices lie within
// the window, each with indices from its lowest vertex. False, with the list
// left as it was, when one primitive alone spans more than 16 bits can name.
bool zeShapeArrays::windowBatches(uint32_t mode) {
  const uint32_t sent =
      (mode == GL_TRIANGLE_STRIP || mode == GL_TRIANGLE_FAN) ? GL_TRIANGLES : mode;
  const size_t unit = static_cast<size_t>(unitOf(sent));
  const uint32_t window = static_cast<uint32_t>(window_ < 65536 ? window_ : 65536);
  std::vector<uint16_t> narrow;
  std::vector<Batch> batches;
  narrow.reserve(wide_.size());
  for (size_t first = 0; first < wide_.size();) {
    uint32_t lo = UINT32_MAX, hi = 0;
    size_t end = first;
    while (end < wide_.size() && end - first < kMaxBatch) {
      uint32_t primitiveLo = lo, primitiveHi = hi;
      for (size_t k = end; k < end + unit; ++k) {
        primitiveLo = wide_[k] < primitiveLo ? wide_[k] : primitiveLo;
        primitiveHi = wide_[k] > primitiveHi ? wide_[k] : primitiveHi;
      }
      if (primitiveHi - primitiveLo >= window) {
        if (end > first) break;
        if (primitiveHi - primitiveLo > 0xffff) return false;
      }
      lo = primitiveLo;
      hi = primitiveHi;
      end += unit;
    }
    for (size_t k = first; k < end; ++k) narrow.push_back(static_cast<uint16_t>(wide_[k] - lo));
    batches.push_back(Batch{sent, first, static_cast<int32_t>(end - first), lo});
    first = end;
  }
  narrow_.swap(narrow);
  batches_.swap(batches);
  wide_.clear();
  wide_.shrink_to_fit();
  return true;
}

enum Attribute { kPosition, kNormal, kTexture, kColor };

// Where an attribute of vertex base starts, and the bytes from one vertex's
// to the next's.
const void* zeShapeArrays::source(const zeShape& s, int attribute, uint32_t base,
                                  int& stride) const {
  if (interleaved_) {
    stride = floatsPerVertex_ * static_cast<int>(sizeof(float));
    return interleave_.data() + static_cast<size_t>(base) * floatsPerVertex_ + offset_[attribute];
  }
  stride = attribute == kColor ? sizeof(zeVec4f) : sizeof(zeVec3f);
  switch (attribute) {
    case kPosition:
      return s.vertexList + base;
    case kNormal:
      return s.normalList + base;
    case kTexture:
      return s.textureCoordList + base;
    default:
      return s.colorList + base;
  }
}

// The shape's arrays from vertex base on, as draw sends them.
void zeShapeArrays::pointArrays(const zeShape& s, uint32_t base) {
  int stride;
  const void* at = source(s, kPosition, base, stride);
  glVertexPointer(3, GL_FLOAT, stride, at);
  if (s.enableVertexNormals) {
    at = source(s, kNormal, base, stride);
    glNormalPointer(GL_FLOAT, stride, at);
  }
  if (s.enableVertexNormals && s.enableVertexTextureCoords) {
    at = source(s, kTexture, base, stride);
    glTexCoordPointer(2, GL_FLOAT, stride, at);
  }
  if (s.enableVertexColors) {
    at = source(s, kColor, base, stride);
    glColorPointer(4, GL_FLOAT, stride, at);
  }
}

void zeShapeArrays::interleave(const zeShape& s, bool normals, bool texture, bool colors) {
  int floats = 3;
  offset_[kPosition] = 0;
  offset_[kNormal] = floats;
  floats += normals ? 3 : 0;
  offset_[kTexture] = floats;
  floats += texture ? 2 : 0;
  offset_[kColor] = floats;
  floats += colors ? 4 : 0;
  floatsPerVertex_ = floats;
  const size_t n = s.listLength > 0 ? static_cast<size_t>(s.listLength) : 0;
  if (interleave_.size() < n * floats) interleave_.resize(n * floats);  // grows, never shrinks
  float* out = interleave_.data();
  for (size_t v = 0; v < n; ++v, out += floats) {
    const zeVec3f& p = s.vertexList[v];
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
    if (normals) {
      const zeVec3f& q = s.normalList[v];
      out[3] = q.x;
      out[4] = q.y;
      out[5] = q.z;
    }
    if (texture) {
      out[offset_[kTexture]] = s.textureCoordList[v].x;
      out[offset_[kTexture] + 1] = s.textureCoordList[v].y;
    }
    if (colors) {
      const zeVec4f& c = s.colorList[v];
      float* o = out + offset_[kColor];
      o[0] = c.x;
      o[1] = c.y;
      o[2] = c.z;
      o[3] = c.w;
    }
  }
}

void zeShapeArrays::locate(zeShape& s) {
  zePushMatrix();
  zeApplyShapeTransform(s);
  s.space.set(getCurrentMatrix());
  // World and window positions only for picking; OpenGL transforms what it draws.
  if (s.enablePicking)
    zeTransformListToRealAndScreen(s.vertexList, s.absVertexList, s.screenVertexList, s.listLength);
  zePopMatrix();
}

void zeShapeArrays::draw(zeShape& s) {
  if (!current(s)) prepare(s);

  locate(s);
  if (s.enableIndex && s.indexListLength == 0)
    std::printf("zeShapeArrays::draw: no shape is drawing because index list is empty\n");

  glColor4f(s.Color.x, s.Color.y, s.Color.z, s.Color.w);
  glNormal3f(s.Normal.x, s.Normal.y, s.Normal.z);

  if (!batches_.empty()) {
    // zeMatrix4f is row-major, OpenGL's array column-major.
    GLfloat matrix[16];
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) matrix[c * 4 + r] = s.space.m[r][c];
    glPushMatrix();
    glMultMatrixf(matrix);

    const bool normals = s.enableVertexNormals;
    const bool texture = normals && s.enableVertexTextureCoords;  // as draw: only with normals
    const bool colors = s.enableVertexColors;
    if (interleaved_) interleave(s, normals, texture, colors);
    glEnableClientState(GL_VERTEX_ARRAY);
    // The matrix may scale: OpenGL renormalises the stored normals.
    const bool hadNormalize = normals && glIsEnabled(GL_NORMALIZE) == GL_TRUE;
    if (normals) {
      if (!hadNormalize) glEnable(GL_NORMALIZE);
      glEnableClientState(GL_NORMAL_ARRAY);
    }
    if (texture) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (colors) glEnableClientState(GL_COLOR_ARRAY);

    uint32_t base = 0;
    pointArrays(s, base);
    for (const Batch& b : batches_) {
      if (b.base != base) pointArrays(s, base = b.base);
      if (narrow_.empty())
        glDrawElements(b.mode, b.count, GL_UNSIGNED_INT, wide_.data() + b.first);
      else
        glDrawElements(b.mode, b.count, GL_UNSIGNED_SHORT, narrow_.data() + b.first);
    }

    if (colors) glDisableClientState(GL_COLOR_ARRAY);
    if (texture) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    if (normals) {
      glDisableClientState(GL_NORMAL_ARRAY);
      if (!hadNormalize) glDisable(GL_NORMALIZE);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
  }
}
