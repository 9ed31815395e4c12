/// @file
/// The software transform stack: a bounded stack of zeMatrix4f with OpenGL's
/// transform calls, independent of OpenGL's own matrices, plus a once-a-frame
/// capture of OpenGL's projection and viewport that maps world ("real")
/// points to window pixels (origin bottom-left, y up) without querying OpenGL
/// per vertex.
#pragma once

#include "zeu/zeMatrix4f.h"
#include "zeu/zeVec3f.h"

extern zeMatrix4f zeMatrixStack[128];  ///< Entry zeMatrixHeight is the current matrix.
extern int zeMatrixHeight;             ///< 0 to 127.
extern zeMatrix4f cameraMatrix;        ///< Projection at the last capture, row-major.
extern int view[4];                    ///< Viewport at the last capture: x, y, width, height.
extern zeVec3f cameraPos;              ///< Point under the viewport centre on the near plane.

void zeTransformsInit();         ///< Every entry the identity; the height is kept.
bool zeTransformsInitialised();  ///< Whether zeTransformsInit has run.
void zePushMatrix();             ///< Copies the current matrix one up; ignored at height 127.
void zePopMatrix();              ///< Back to the matrix below; ignored at height 0.
void zeTranslatef(float x, float y, float z);  ///< Current matrix times a translation.
/// Current matrix times a rotation of angle degrees about the axis (x, y, z).
void zeRotatef(float angle, float x, float y, float z);
void zeScalef(float x, float y, float z);           ///< Current matrix times a scaling.
zeMatrix4f* getCurrentMatrix();                     ///< The current entry of the stack.
void zeTransformToReal(zeVec3f& in, zeVec3f& out);  ///< Through the current matrix.
void zeTransformsCaptureCamera();  ///< Reads OpenGL's projection and viewport for the mapping.
void zeTransformRealToScreen(zeVec3f& in, zeVec3f& out);  ///< Through the capture.
