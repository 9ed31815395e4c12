// A recording stand-in for the GL, GLU and GLUT entry points the framework
// calls. Test programs link it in place of the real libraries: every call is
// appended to a log with its arguments, queries answer with values the test
// chooses, and the matrix calls are also carried out on a small double
// precision model of OpenGL's projection and modelview stacks, so that
// glGetDoublev returns what real OpenGL would hold.
#pragma once

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <map>
#include <string>
#include <vector>

namespace glrec {

struct Call {
  std::string name;
  std::vector<double> args;  // numeric arguments, floats widened exactly
  std::string text;          // string argument (glutCreateWindow, glutInit's argv)

  // "name(a, b, c)" with every number printed to 9 significant digits.
  std::string str() const;
};

// A vertex as OpenGL receives it: from glVertex3f with the current normal,
// colour and texture coordinate, or from the client arrays of a
// glDrawElements (attributes whose array is off are the current values).
struct Vertex {
  int index = -1;         // array element for glDrawElements, -1 for glVertex3f
  double object[3] = {};  // position as sent
  double eye[3] = {};     // through the modelview in force at the call
  double normal[3] = {};
  double color[4] = {};
  double tex[2] = {};
};

// One glBegin/glEnd pair, or one glDrawElements, with its vertices in order.
struct Primitive {
  GLenum mode = 0;
  std::vector<Vertex> vertices;
};

// A client array as glVertexPointer and its kin set it.
struct ClientArray {
  bool enabled = false;
  int size = 0;
  GLenum type = 0;
  int stride = 0;
  const void* pointer = nullptr;
};

// Everything the stand-in holds. reset() restores the defaults below.
struct State {
  bool recording = true;  // false: calls are not logged (matrix calls are still modelled)
  std::vector<Call> calls;

  // Query answers.
  int window = 1;                      // glutGetWindow()
  std::map<int, int> glutGetValues;    // glutGet(what); missing keys answer 0
  int viewport[4] = {0, 0, 640, 480};  // glGetIntegerv(GL_VIEWPORT) unless set by glViewport
  int unProjectResult = GL_TRUE;       // gluUnProject's answer
  unsigned char readPixelsValue = 0;   // every byte glReadPixels hands back
  int modifiers = 0;                   // glutGetModifiers()

  // Modelled matrix state, column-major like OpenGL.
  GLenum matrixMode = GL_MODELVIEW;
  std::vector<std::vector<double>> projection{std::vector<double>(16)};
  std::vector<std::vector<double>> modelview{std::vector<double>(16)};

  // What was drawn while recording, and the state it is assembled from.
  std::vector<Primitive> primitives;
  double normal[3] = {0.0, 0.0, 1.0};
  double color[4] = {1.0, 1.0, 1.0, 1.0};
  double tex[2] = {};
  ClientArray vertexArray, normalArray, colorArray, texCoordArray;
  std::map<GLenum, bool> enabled;  // glEnable / glDisable, for glIsEnabled

  // Registered GLUT callbacks, so tests can fire events.
  void (*displayFunc)() = nullptr;
  void (*reshapeFunc)(int, int) = nullptr;
  void (*mouseFunc)(int, int, int, int) = nullptr;
  void (*motionFunc)(int, int) = nullptr;
  void (*passiveMotionFunc)(int, int) = nullptr;
  void (*idleFunc)() = nullptr;
  void (*keyboardFunc)(unsigned char, int, int) = nullptr;
  void (*specialFunc)(int, int, int) = nullptr;
  void (*keyboardUpFunc)(unsigned char, int, int) = nullptr;
};

State& state();
void reset();  // clears the log, the callbacks and the query answers

// The log as strings, optionally only the calls whose name is listed.
std::vector<std::string> log();
std::vector<std::string> log(const std::vector<std::string>& names);
std::vector<Call> callsNamed(const std::string& name);
size_t count(const std::string& name);

// The primitives cut into what OpenGL rasterises: each element has mode
// GL_POINTS (1 vertex), GL_LINES (2), GL_TRIANGLES (3, in OpenGL's winding
// for strips and fans), GL_QUADS (4) or GL_POLYGON (all); incomplete
// primitives are dropped as OpenGL drops them.
std::vector<Primitive> rasterised(const std::vector<Primitive>& primitives);

// Current top of the modelled stacks (column-major, 16 doubles).
const std::vector<double>& projectionTop();
const std::vector<double>& modelviewTop();

}  // namespace glrec
