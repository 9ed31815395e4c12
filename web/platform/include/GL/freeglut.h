// Emscripten's GLUT ships the standard freeglut header only; the framework
// uses nothing from freeglut's extensions.
#pragma once

#include <GL/freeglut_std.h>
