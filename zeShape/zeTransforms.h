// The software transform stack: a bounded stack of zeMatrix4f with OpenGL's
// transform calls, independent of OpenGL's own matrices, plus a once-a-frame
// capture of OpenGL's projection and viewport that maps world ("real")
// points to window pixels (origin bottom-left, y up) without querying OpenGL
// per vertex.
#pragma once

#include "zeu/zeMatrix4f.h"
#include "zeu/zeVec3f.h"

extern zeMatrix4f zeMatrixStack[128];  // entry zeMatrixHeight is the current matrix
extern int zeMatrixHeight;             // 0 to 127
extern zeMatrix4f cameraMatrix;        // projection at the last capture, row-major
extern int view[4];                    // viewport at the last capture: x, y, width, height
extern zeVec3f cameraPos;              // point under the viewport centre on the near plane

void zeTransformsInit();         // every entry the identity; the height is kept
bool zeTransformsInitialised();  // whether zeTransformsInit has run
void zePushMatrix();             // ignored at height 127
void zePopMatrix();              // ignored at height 0
void zeTranslatef(float x, float y, float z);
void zeRotatef(float angle, float x, float y, float z);  // degrees, then axis
void zeScalef(float x, float y, float z);
zeMatrix4f* getCurrentMatrix();
void zeTransformToReal(zeVec3f& in, zeVec3f& out);  // through the current matrix
void zeTransformsCaptureCamera();
void zeTransformRealToScreen(zeVec3f& in, zeVec3f& out);  // through the capture
