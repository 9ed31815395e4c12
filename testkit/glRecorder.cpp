#include "testkit/glRecorder.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace glrec {
namespace {

State g_state;

// Column-major 4 x 4. The model works on fixed arrays and keeps the stacks'
// storage for reuse, so that matrix calls allocate nothing once the stacks
// have been as deep as they get: a program's frames can be shown to allocate
// nothing against the stand-in.
using Mat = std::array<double, 16>;

Mat identity() {
  Mat m{};
  m[0] = m[5] = m[10] = m[15] = 1.0;
  return m;
}

Mat fromPointer(const double* p) {
  Mat m;
  std::memcpy(m.data(), p, sizeof m);
  return m;
}

// Matrices popped off a stack, kept for the next push.
std::vector<std::vector<double>> g_spare;

// a * b, both column-major.
Mat multiply(const Mat& a, const Mat& b) {
  Mat c{};
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[col * 4 + k];
      c[col * 4 + row] = sum;
    }
  return c;
}

std::vector<std::vector<double>>& currentStack() {
  return g_state.matrixMode == GL_PROJECTION ? g_state.projection : g_state.modelview;
}

void postMultiply(const Mat& rhs) {
  std::vector<double>& top = currentStack().back();
  const Mat product = multiply(fromPointer(top.data()), rhs);
  std::copy(product.begin(), product.end(), top.begin());
}

// General 4 x 4 inverse (column-major); false when singular.
bool invert(const Mat& m, Mat& inv) {
  inv.fill(0.0);
  inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
           m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
  inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] -
           m[8] * m[7] * m[14] - m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
  inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
           m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
  inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] -
            m[8] * m[6] * m[13] - m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
  inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] -
           m[9] * m[3] * m[14] - m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
  inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
           m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
  inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
           m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
  inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
            m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
  inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
           m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
  inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
           m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
  inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
            m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
  inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
            m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
  inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
           m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
  inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
           m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
  inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
            m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
  inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
            m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
  const double det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
  if (det == 0.0) return false;
  for (double& v : inv) v /= det;
  return true;
}

void record(const char* name, std::vector<double> args, std::string text = std::string()) {
  if (!g_state.recording) return;
  g_state.calls.push_back(Call{name, std::move(args), std::move(text)});
}
// Braced argument lists land here, so a call made while recording is off
// allocates nothing: the per-vertex calls stay cheap in timing runs.
void record(const char* name, std::initializer_list<double> args,
            std::string text = std::string()) {
  if (!g_state.recording) return;
  g_state.calls.push_back(Call{name, std::vector<double>(args), std::move(text)});
}

double ptr(const void* p) {
  return static_cast<double>(reinterpret_cast<uintptr_t>(p));
}

// A vertex at object position (x, y, z) with the current attributes.
Vertex currentVertex(double x, double y, double z) {
  Vertex v;
  const double p[3] = {x, y, z};
  const std::vector<double>& mv = g_state.modelview.back();
  for (int r = 0; r < 3; ++r) {
    v.object[r] = p[r];
    v.eye[r] = mv[r] * x + mv[4 + r] * y + mv[8 + r] * z + mv[12 + r];
    v.normal[r] = g_state.normal[r];
  }
  for (int k = 0; k < 4; ++k) v.color[k] = g_state.color[k];
  v.tex[0] = g_state.tex[0];
  v.tex[1] = g_state.tex[1];
  return v;
}

// Element i of a float client array into out (at most n values).
void fetch(const ClientArray& a, long i, int n, double* out) {
  if (a.type != GL_FLOAT || a.pointer == nullptr) return;
  const int stride = a.stride != 0 ? a.stride : a.size * static_cast<int>(sizeof(float));
  const float* f = reinterpret_cast<const float*>(static_cast<const char*>(a.pointer) + i * stride);
  for (int k = 0; k < n && k < a.size; ++k) out[k] = f[k];
}

ClientArray* clientArray(GLenum which) {
  switch (which) {
    case GL_VERTEX_ARRAY:
      return &g_state.vertexArray;
    case GL_NORMAL_ARRAY:
      return &g_state.normalArray;
    case GL_COLOR_ARRAY:
      return &g_state.colorArray;
    case GL_TEXTURE_COORD_ARRAY:
      return &g_state.texCoordArray;
    default:
      return nullptr;
  }
}

}  // namespace

std::string Call::str() const {
  std::string out = name + "(";
  for (size_t i = 0; i < args.size(); ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", args[i]);
    if (i) out += ", ";
    out += buf;
  }
  if (!text.empty()) out += (args.empty() ? "\"" : ", \"") + text + "\"";
  return out + ")";
}

State& state() {
  return g_state;
}

void reset() {
  g_state = State();
  const Mat id = identity();
  g_state.projection.assign(1, std::vector<double>(id.begin(), id.end()));
  g_state.modelview.assign(1, std::vector<double>(id.begin(), id.end()));
  g_state.projection.reserve(64);
  g_state.modelview.reserve(64);
  g_spare.reserve(128);
}

std::vector<std::string> log() {
  std::vector<std::string> out;
  out.reserve(g_state.calls.size());
  for (const Call& c : g_state.calls) out.push_back(c.str());
  return out;
}

std::vector<std::string> log(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (const Call& c : g_state.calls)
    for (const std::string& n : names)
      if (c.name == n) {
        out.push_back(c.str());
        break;
      }
  return out;
}

std::vector<Call> callsNamed(const std::string& name) {
  std::vector<Call> out;
  for (const Call& c : g_state.calls)
    if (c.name == name) out.push_back(c);
  return out;
}

size_t count(const std::string& name) {
  size_t n = 0;
  for (const Call& c : g_state.calls) n += (c.name == name);
  return n;
}

const std::vector<double>& projectionTop() {
  return g_state.projection.back();
}
const std::vector<double>& modelviewTop() {
  return g_state.modelview.back();
}

std::vector<Primitive> rasterised(const std::vector<Primitive>& primitives) {
  std::vector<Primitive> out;
  for (const Primitive& p : primitives) {
    const std::vector<Vertex>& v = p.vertices;
    const size_t n = v.size();
    auto add = [&](GLenum mode, std::initializer_list<size_t> at) {
      Primitive e;
      e.mode = mode;
      for (size_t k : at) e.vertices.push_back(v[k]);
      out.push_back(std::move(e));
    };
    switch (p.mode) {
      case GL_POINTS:
        for (size_t k = 0; k < n; ++k) add(GL_POINTS, {k});
        break;
      case GL_LINES:
        for (size_t k = 0; k + 1 < n; k += 2) add(GL_LINES, {k, k + 1});
        break;
      case GL_LINE_STRIP:
      case GL_LINE_LOOP:
        for (size_t k = 0; k + 1 < n; ++k) add(GL_LINES, {k, k + 1});
        if (p.mode == GL_LINE_LOOP && n >= 2) add(GL_LINES, {n - 1, 0});
        break;
      case GL_TRIANGLES:
        for (size_t k = 0; k + 2 < n; k += 3) add(GL_TRIANGLES, {k, k + 1, k + 2});
        break;
      case GL_TRIANGLE_STRIP:
        for (size_t k = 0; k + 2 < n; ++k)
          k % 2 ? add(GL_TRIANGLES, {k + 1, k, k + 2}) : add(GL_TRIANGLES, {k, k + 1, k + 2});
        break;
      case GL_TRIANGLE_FAN:
        for (size_t k = 1; k + 1 < n; ++k) add(GL_TRIANGLES, {0, k, k + 1});
        break;
      case GL_QUADS:
        for (size_t k = 0; k + 3 < n; k += 4) add(GL_QUADS, {k, k + 1, k + 2, k + 3});
        break;
      case GL_QUAD_STRIP:
        for (size_t k = 0; k + 3 < n; k += 2) add(GL_QUADS, {k, k + 1, k + 3, k + 2});
        break;
      case GL_POLYGON:
        if (n >= 3) out.push_back(p);
        break;
      default:
        break;
    }
  }
  return out;
}

// Static initialisation: the model starts with identity matrices.
static const bool g_initialised = (reset(), true);

}  // namespace glrec

using glrec::g_state;
using glrec::ptr;
using glrec::record;

// ---- OpenGL -------------------------------------------------------------------

void glEnable(GLenum cap) {
  record("glEnable", {double(cap)});
  g_state.enabled[cap] = true;
}
void glDisable(GLenum cap) {
  record("glDisable", {double(cap)});
  g_state.enabled[cap] = false;
}
GLboolean glIsEnabled(GLenum cap) {
  record("glIsEnabled", {double(cap)});
  auto it = g_state.enabled.find(cap);
  return it != g_state.enabled.end() && it->second ? GL_TRUE : GL_FALSE;
}
void glBlendFunc(GLenum s, GLenum d) {
  record("glBlendFunc", {double(s), double(d)});
}
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
  record("glViewport", {double(x), double(y), double(w), double(h)});
  g_state.viewport[0] = x;
  g_state.viewport[1] = y;
  g_state.viewport[2] = w;
  g_state.viewport[3] = h;
}
void glMatrixMode(GLenum mode) {
  record("glMatrixMode", {double(mode)});
  g_state.matrixMode = mode;
}
void glLoadIdentity() {
  record("glLoadIdentity", {});
  const glrec::Mat id = glrec::identity();
  std::copy(id.begin(), id.end(), glrec::currentStack().back().begin());
}
void glPushMatrix() {
  record("glPushMatrix", {});
  auto& s = glrec::currentStack();
  if (glrec::g_spare.empty()) {
    s.push_back(s.back());
  } else {
    s.push_back(std::move(glrec::g_spare.back()));
    glrec::g_spare.pop_back();
    s.back() = s[s.size() - 2];
  }
}
void glPopMatrix() {
  record("glPopMatrix", {});
  auto& s = glrec::currentStack();
  if (s.size() > 1) {
    glrec::g_spare.push_back(std::move(s.back()));
    s.pop_back();
  }
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  record("glTranslatef", {x, y, z});
  glrec::Mat t = glrec::identity();
  t[12] = x;
  t[13] = y;
  t[14] = z;
  glrec::postMultiply(t);
}
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  record("glRotatef", {angle, x, y, z});
  double len = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
  if (len == 0.0) return;
  const double ax = x / len, ay = y / len, az = z / len;
  const double a = angle * M_PI / 180.0, c = std::cos(a), s = std::sin(a), t = 1.0 - c;
  glrec::Mat r = glrec::identity();
  r[0] = t * ax * ax + c;
  r[4] = t * ax * ay - s * az;
  r[8] = t * ax * az + s * ay;
  r[1] = t * ax * ay + s * az;
  r[5] = t * ay * ay + c;
  r[9] = t * ay * az - s * ax;
  r[2] = t * ax * az - s * ay;
  r[6] = t * ay * az + s * ax;
  r[10] = t * az * az + c;
  glrec::postMultiply(r);
}
void glScalef(GLfloat x, GLfloat y, GLfloat z) {
  record("glScalef", {x, y, z});
  glrec::Mat m = glrec::identity();
  m[0] = x;
  m[5] = y;
  m[10] = z;
  glrec::postMultiply(m);
}
void glDepthFunc(GLenum f) {
  record("glDepthFunc", {double(f)});
}
void glShadeModel(GLenum m) {
  record("glShadeModel", {double(m)});
}
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  record("glClearColor", {r, g, b, a});
}
void glClear(GLbitfield mask) {
  record("glClear", {double(mask)});
}
void glColorMaterial(GLenum face, GLenum mode) {
  record("glColorMaterial", {double(face), double(mode)});
}
void glLightfv(GLenum light, GLenum pname, const GLfloat* p) {
  if (!g_state.recording) return;  // nothing to build when nothing is logged
  std::vector<double> args{double(light), double(pname)};
  const int n =
      (pname == GL_POSITION || pname == GL_AMBIENT || pname == GL_DIFFUSE || pname == GL_SPECULAR)
          ? 4
          : (pname == GL_SPOT_DIRECTION ? 3 : 1);
  for (int i = 0; i < n; ++i) args.push_back(p[i]);
  record("glLightfv", std::move(args));
}
void glLightModeli(GLenum pname, GLint param) {
  record("glLightModeli", {double(pname), double(param)});
}
void glMaterialfv(GLenum face, GLenum pname, const GLfloat* p) {
  record("glMaterialfv", {double(face), double(pname), p[0], p[1], p[2], p[3]});
}
void glFrontFace(GLenum mode) {
  record("glFrontFace", {double(mode)});
}
// While recording, the immediate-mode calls also assemble primitives.
void glBegin(GLenum mode) {
  record("glBegin", {double(mode)});
  if (g_state.recording) g_state.primitives.push_back(glrec::Primitive{mode, {}});
}
void glEnd() {
  record("glEnd", {});
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  record("glVertex3f", {x, y, z});
  if (g_state.recording && !g_state.primitives.empty())
    g_state.primitives.back().vertices.push_back(glrec::currentVertex(x, y, z));
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  record("glNormal3f", {x, y, z});
  g_state.normal[0] = x;
  g_state.normal[1] = y;
  g_state.normal[2] = z;
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
  record("glColor3f", {r, g, b});
  g_state.color[0] = r;
  g_state.color[1] = g;
  g_state.color[2] = b;
  g_state.color[3] = 1.0;
}
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  record("glColor4f", {r, g, b, a});
  g_state.color[0] = r;
  g_state.color[1] = g;
  g_state.color[2] = b;
  g_state.color[3] = a;
}
void glTexCoord2f(GLfloat s, GLfloat t) {
  record("glTexCoord2f", {s, t});
  g_state.tex[0] = s;
  g_state.tex[1] = t;
}

// ---- Client arrays --------------------------------------------------------------
// The pointers are logged as numbers; glDrawElements logs mode, count and
// type, and (while recording) assembles its vertices from the arrays.

void glEnableClientState(GLenum array) {
  record("glEnableClientState", {double(array)});
  if (glrec::ClientArray* a = glrec::clientArray(array)) a->enabled = true;
}
void glDisableClientState(GLenum array) {
  record("glDisableClientState", {double(array)});
  if (glrec::ClientArray* a = glrec::clientArray(array)) a->enabled = false;
}
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  record("glVertexPointer", {double(size), double(type), double(stride), ptr(pointer)});
  g_state.vertexArray =
      glrec::ClientArray{g_state.vertexArray.enabled, size, type, stride, pointer};
}
void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer) {
  record("glNormalPointer", {double(type), double(stride), ptr(pointer)});
  g_state.normalArray = glrec::ClientArray{g_state.normalArray.enabled, 3, type, stride, pointer};
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  record("glColorPointer", {double(size), double(type), double(stride), ptr(pointer)});
  g_state.colorArray = glrec::ClientArray{g_state.colorArray.enabled, size, type, stride, pointer};
}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
  record("glTexCoordPointer", {double(size), double(type), double(stride), ptr(pointer)});
  g_state.texCoordArray =
      glrec::ClientArray{g_state.texCoordArray.enabled, size, type, stride, pointer};
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
  record("glDrawElements", {double(mode), double(count), double(type)});
  if (!g_state.recording || !g_state.vertexArray.enabled) return;
  glrec::Primitive p{mode, {}};
  for (GLsizei k = 0; k < count; ++k) {
    long i = 0;
    if (type == GL_UNSIGNED_INT)
      i = static_cast<const GLuint*>(indices)[k];
    else if (type == GL_UNSIGNED_SHORT)
      i = static_cast<const GLushort*>(indices)[k];
    else if (type == GL_UNSIGNED_BYTE)
      i = static_cast<const GLubyte*>(indices)[k];
    double pos[3] = {};
    glrec::fetch(g_state.vertexArray, i, 3, pos);
    glrec::Vertex v = glrec::currentVertex(pos[0], pos[1], pos[2]);
    v.index = static_cast<int>(i);
    if (g_state.normalArray.enabled) glrec::fetch(g_state.normalArray, i, 3, v.normal);
    if (g_state.colorArray.enabled) glrec::fetch(g_state.colorArray, i, 4, v.color);
    if (g_state.texCoordArray.enabled) glrec::fetch(g_state.texCoordArray, i, 2, v.tex);
    p.vertices.push_back(v);
  }
  g_state.primitives.push_back(std::move(p));
}
void glMultMatrixf(const GLfloat* m) {
  glrec::Mat rhs;
  for (int k = 0; k < 16; ++k) rhs[k] = m[k];
  if (g_state.recording) record("glMultMatrixf", std::vector<double>(rhs.begin(), rhs.end()));
  glrec::postMultiply(rhs);
}
void glGetDoublev(GLenum pname, GLdouble* out) {
  record("glGetDoublev", {double(pname)});
  if (pname == GL_PROJECTION_MATRIX) {
    std::memcpy(out, glrec::projectionTop().data(), 16 * sizeof(double));
  } else if (pname == GL_MODELVIEW_MATRIX) {
    std::memcpy(out, glrec::modelviewTop().data(), 16 * sizeof(double));
  }
}
void glGetFloatv(GLenum pname, GLfloat* out) {
  record("glGetFloatv", {double(pname)});
  const std::vector<double>* m = nullptr;
  if (pname == GL_PROJECTION_MATRIX) m = &glrec::projectionTop();
  if (pname == GL_MODELVIEW_MATRIX) m = &glrec::modelviewTop();
  if (m)
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>((*m)[i]);
}
void glGetIntegerv(GLenum pname, GLint* out) {
  record("glGetIntegerv", {double(pname)});
  if (pname == GL_VIEWPORT)
    for (int i = 0; i < 4; ++i) out[i] = g_state.viewport[i];
}

// ---- GLU ----------------------------------------------------------------------

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  record("gluPerspective", {fovy, aspect, zNear, zFar});
  const double f = 1.0 / std::tan(fovy * M_PI / 360.0);
  glrec::Mat m{};
  m[0] = f / aspect;
  m[5] = f;
  m[10] = (zFar + zNear) / (zNear - zFar);
  m[11] = -1.0;
  m[14] = 2.0 * zFar * zNear / (zNear - zFar);
  glrec::postMultiply(m);
}

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz) {
  record("gluLookAt", {ex, ey, ez, cx, cy, cz, ux, uy, uz});
  double f[3] = {cx - ex, cy - ey, cz - ez};
  double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
  for (double& v : f) v /= fl;
  double s[3] = {f[1] * uz - f[2] * uy, f[2] * ux - f[0] * uz, f[0] * uy - f[1] * ux};
  double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
  for (double& v : s) v /= sl;
  double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
  glrec::Mat m = glrec::identity();
  for (int c = 0; c < 3; ++c) {
    m[c * 4 + 0] = s[c];
    m[c * 4 + 1] = u[c];
    m[c * 4 + 2] = -f[c];
  }
  glrec::postMultiply(m);
  glrec::Mat t = glrec::identity();
  t[12] = -ex;
  t[13] = -ey;
  t[14] = -ez;
  glrec::postMultiply(t);
}

GLint gluUnProject(GLdouble winX, GLdouble winY, GLdouble winZ, const GLdouble* model,
                   const GLdouble* proj, const GLint* vp, GLdouble* objX, GLdouble* objY,
                   GLdouble* objZ) {
  record("gluUnProject",
         {winX, winY, winZ, double(vp[0]), double(vp[1]), double(vp[2]), double(vp[3])});
  if (g_state.unProjectResult != GL_TRUE) return g_state.unProjectResult;
  glrec::Mat pm = glrec::multiply(glrec::fromPointer(proj), glrec::fromPointer(model));
  glrec::Mat inv;
  if (!glrec::invert(pm, inv)) return GL_FALSE;
  const double in[4] = {(winX - vp[0]) / vp[2] * 2.0 - 1.0, (winY - vp[1]) / vp[3] * 2.0 - 1.0,
                        winZ * 2.0 - 1.0, 1.0};
  double out[4];
  for (int r = 0; r < 4; ++r) {
    out[r] = 0.0;
    for (int k = 0; k < 4; ++k) out[r] += inv[k * 4 + r] * in[k];
  }
  if (out[3] == 0.0) return GL_FALSE;
  *objX = out[0] / out[3];
  *objY = out[1] / out[3];
  *objZ = out[2] / out[3];
  return GL_TRUE;
}

GLint gluProject(GLdouble objX, GLdouble objY, GLdouble objZ, const GLdouble* model,
                 const GLdouble* proj, const GLint* vp, GLdouble* winX, GLdouble* winY,
                 GLdouble* winZ) {
  record("gluProject", {objX, objY, objZ});
  glrec::Mat pm = glrec::multiply(glrec::fromPointer(proj), glrec::fromPointer(model));
  const double in[4] = {objX, objY, objZ, 1.0};
  double out[4];
  for (int r = 0; r < 4; ++r) {
    out[r] = 0.0;
    for (int k = 0; k < 4; ++k) out[r] += pm[k * 4 + r] * in[k];
  }
  if (out[3] == 0.0) return GL_FALSE;
  *winX = vp[0] + (out[0] / out[3] + 1.0) * vp[2] / 2.0;
  *winY = vp[1] + (out[1] / out[3] + 1.0) * vp[3] / 2.0;
  *winZ = (out[2] / out[3] + 1.0) / 2.0;
  return GL_TRUE;
}

// ---- GLUT ---------------------------------------------------------------------

void glutInit(int* argc, char** argv) {
  std::string text;
  for (int i = 0; i < *argc; ++i) text += (i ? " " : "") + std::string(argv[i]);
  record("glutInit", {double(*argc)}, text);
}
void glutInitDisplayMode(unsigned int mode) {
  record("glutInitDisplayMode", {double(mode)});
}
int glutCreateWindow(const char* title) {
  record("glutCreateWindow", {}, title);
  return g_state.window;
}
void glutFullScreen() {
  record("glutFullScreen", {});
}
void glutReshapeFunc(void (*f)(int, int)) {
  record("glutReshapeFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.reshapeFunc = f;
}
void glutDisplayFunc(void (*f)()) {
  record("glutDisplayFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.displayFunc = f;
}
void glutMouseFunc(void (*f)(int, int, int, int)) {
  record("glutMouseFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.mouseFunc = f;
}
void glutMotionFunc(void (*f)(int, int)) {
  record("glutMotionFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.motionFunc = f;
}
void glutPassiveMotionFunc(void (*f)(int, int)) {
  record("glutPassiveMotionFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.passiveMotionFunc = f;
}
void glutIdleFunc(void (*f)()) {
  record("glutIdleFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.idleFunc = f;
}
void glutKeyboardFunc(void (*f)(unsigned char, int, int)) {
  record("glutKeyboardFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.keyboardFunc = f;
}
void glutSpecialFunc(void (*f)(int, int, int)) {
  record("glutSpecialFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.specialFunc = f;
}
void glutKeyboardUpFunc(void (*f)(unsigned char, int, int)) {
  record("glutKeyboardUpFunc", {ptr(reinterpret_cast<const void*>(f))});
  g_state.keyboardUpFunc = f;
}
int glutGetModifiers() {
  record("glutGetModifiers", {});
  return g_state.modifiers;
}
void glutInitWindowSize(int w, int h) {
  record("glutInitWindowSize", {double(w), double(h)});
}
void glutMainLoop() {
  record("glutMainLoop", {});
}
void glutSwapBuffers() {
  record("glutSwapBuffers", {});
}
void glutPostRedisplay() {
  record("glutPostRedisplay", {});
}
void glutReshapeWindow(int w, int h) {
  record("glutReshapeWindow", {double(w), double(h)});
}
void glutPositionWindow(int x, int y) {
  record("glutPositionWindow", {double(x), double(y)});
}
int glutGetWindow() {
  record("glutGetWindow", {});
  return g_state.window;
}
int glutGet(GLenum what) {
  record("glutGet", {double(what)});
  auto it = g_state.glutGetValues.find(static_cast<int>(what));
  return it == g_state.glutGetValues.end() ? 0 : it->second;
}

// ---- Overlays, markers and reading the window back ------------------------------
// glReadPixels fills the caller's buffer with State::readPixelsValue.

void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
  record("glOrtho", {l, r, b, t, n, f});
  glrec::Mat m = glrec::identity();
  m[0] = 2.0 / (r - l);
  m[5] = 2.0 / (t - b);
  m[10] = -2.0 / (f - n);
  m[12] = -(r + l) / (r - l);
  m[13] = -(t + b) / (t - b);
  m[14] = -(f + n) / (f - n);
  glrec::postMultiply(m);
}
void glRasterPos2f(GLfloat x, GLfloat y) {
  record("glRasterPos2f", {x, y});
}
void glPushAttrib(GLbitfield mask) {
  record("glPushAttrib", {double(mask)});
}
void glPopAttrib() {
  record("glPopAttrib", {});
}
void glPolygonOffset(GLfloat factor, GLfloat units) {
  record("glPolygonOffset", {factor, units});
}
void glPointSize(GLfloat size) {
  record("glPointSize", {size});
}
void glColorMask(GLboolean r, GLboolean g, GLboolean b, GLboolean a) {
  record("glColorMask", {double(r), double(g), double(b), double(a)});
}
void glDepthMask(GLboolean flag) {
  record("glDepthMask", {double(flag)});
}
void glReadBuffer(GLenum mode) {
  record("glReadBuffer", {double(mode)});
}
void glPixelStorei(GLenum pname, GLint param) {
  record("glPixelStorei", {double(pname), double(param)});
}
void glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                  GLvoid* pixels) {
  record("glReadPixels",
         {double(x), double(y), double(w), double(h), double(format), double(type)});
  if (format == GL_RGB && type == GL_UNSIGNED_BYTE && w > 0 && h > 0)
    std::memset(pixels, g_state.readPixelsValue, static_cast<size_t>(w) * h * 3);
}

void* glutBitmap9By15 = nullptr;
void glutBitmapCharacter(void* font, int character) {
  record("glutBitmapCharacter", {ptr(font), double(character)});
}
