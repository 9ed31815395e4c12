// What the browser's GL emulation lacks or gets wrong, written against plain
// GL calls so that the same code also runs, and is checked, on a desktop GL.
#pragma once

#include <GL/gl.h>

// glGetDoublev: the values glGetFloatv reports, widened to double. Matrices
// give 16 values, GL_VIEWPORT and the colour queries 4, GL_DEPTH_RANGE 2,
// everything else 1, so a caller's array is never written past its size.
void zeWebGetDoublev(GLenum pname, GLdouble* params);

// gluPerspective and gluLookAt: each multiplies the current matrix, as GLU
// does. (The emulation's versions replace the matrix, or leave it alone.)
void zeWebPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void zeWebLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
                 GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ);
