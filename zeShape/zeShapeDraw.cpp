#include <GL/gl.h>

#include <cstdio>

#include "zeShape/zeShape.h"
#include "zeShape/zeShapeLists.h"
#include "zeShape/zeTransforms.h"
#include "zeu/zeu.h"

namespace {

// Sends one vertex with the per-vertex data the flags select. Texture
// coordinates go out only together with normals.
template <bool Tex, bool Col, bool Nrm>
inline void sendVertex(const zeShape& s, int32_t v) {
  if constexpr (Tex && Nrm) {
    const zeVec3f& t = s.textureCoordList[v];
    glTexCoord2f(t.x, t.y);
  }
  if constexpr (Nrm) {
    const zeVec3f& n = s.normalList[v];
    glNormal3f(n.x, n.y, n.z);
  }
  if constexpr (Col) {
    const zeVec4f& c = s.colorList[v];
    glColor4f(c.x, c.y, c.z, c.w);
  }
  const zeVec3f& p = s.absVertexList[v];
  glVertex3f(p.x, p.y, p.z);
}

// The vertex loop for one flag combination. An entry of -1 closes the
// current primitive and opens another of the same kind; an entry naming no
// existing vertex is skipped.
template <bool Tex, bool Col, bool Nrm>
void sendVertices(const zeShape& s) {
  const GLenum mode = static_cast<GLenum>(s.drawStyle);
  if (s.enableIndex) {
    for (int32_t k = 0; k < s.indexListLength; ++k) {
      const int32_t v = s.indexList[k];
      if (v == -1) {
        glEnd();
        glBegin(mode);
      } else if (zeValidVertex(v, s.listLength)) {
        sendVertex<Tex, Col, Nrm>(s, v);
      }
    }
  } else {
    for (int32_t v = 0; v < s.listLength; ++v) sendVertex<Tex, Col, Nrm>(s, v);
  }
}

// The three calls of each transform order, in call order: translate (T),
// rotate (R), scale (S). Each call multiplies on the right, so a vertex
// undergoes them last to first.
enum TransformCall { kT, kR, kS };
constexpr TransformCall kTransformCalls[6][3] = {
    {kT, kS, kR},  // ze_T_S_R
    {kT, kR, kS},  // ze_T_R_S
    {kR, kS, kT},  // ze_R_S_T
    {kR, kT, kS},  // ze_R_T_S
    {kS, kR, kT},  // ze_S_R_T
    {kS, kT, kR},  // ze_S_T_R
};

}  // namespace

void zeApplyShapeTransform(const zeShape& s) {
  const int order = s.transformOrder;
  if (order < 0 || order > 5) return;  // an unknown order places the shape untransformed
  for (TransformCall call : kTransformCalls[order]) {
    switch (call) {
      case kT:
        zeTranslatef(s.Translation.x, s.Translation.y, s.Translation.z);
        break;
      case kR:
        zeRotatef(s.Rotation.x, s.Rotation.y, s.Rotation.z, s.Rotation.w);
        break;
      case kS:
        zeScalef(s.Scale.x, s.Scale.y, s.Scale.z);
        break;
    }
  }
}

namespace {

// A stack that was never initialised holds zero matrices, which put every
// vertex on one point: the window stays blank. Say why, once.
void warnIfStackNeverInitialised() {
  static bool warned = false;
  if (warned || zeTransformsInitialised()) return;
  warned = true;
  zeuDebug(2,
           "zeShape::draw: the transform stack was never initialised; call zeTransformsInit() "
           "once before drawing shapes");
}

}  // namespace

void zeShape::draw() {
  warnIfStackNeverInitialised();
  zePushMatrix();
  zeApplyShapeTransform(*this);
  space.set(getCurrentMatrix());

  if (enablePicking) {
    for (int32_t i = 0; i < listLength; ++i) {
      zeTransformToReal(vertexList[i], absVertexList[i]);
      zeTransformRealToScreen(absVertexList[i], screenVertexList[i]);
    }
  } else {
    for (int32_t i = 0; i < listLength; ++i) zeTransformToReal(vertexList[i], absVertexList[i]);
  }

  if (enableVertexNormals) calculateNormals();

  if (enableIndex && indexListLength == 0)
    std::printf("zeShape::draw: no shape is drawing because index list is empty\n");

  glBegin(static_cast<GLenum>(drawStyle));
  glColor4f(Color.x, Color.y, Color.z, Color.w);
  glNormal3f(Normal.x, Normal.y, Normal.z);

  const bool tex = enableVertexTextureCoords, col = enableVertexColors, nrm = enableVertexNormals;
  if (tex && col && nrm)
    sendVertices<true, true, true>(*this);
  else if (tex && !col && nrm)
    sendVertices<true, false, true>(*this);
  else if (!tex && col && nrm)
    sendVertices<false, true, true>(*this);
  else if (col && !nrm)
    sendVertices<false, true, false>(*this);
  else if (!col && nrm)
    sendVertices<false, false, true>(*this);
  else
    sendVertices<false, false, false>(*this);

  glEnd();
  zePopMatrix();
}
