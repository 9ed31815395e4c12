#include <GL/gl.h>

#include <cstdio>

#include "zeShape/zeShape.h"
#include "zeShape/zeShapeLists.h"

namespace {

// Adds face normal f to vertex v.
inline void addTo(zeShape& s, int32_t v, zeVec3f f) {
  s.normalList[v] += f;
  s.normalCountList[v] += 1;
}

// Unit normal of the face p0, p1, p2 (counter-clockwise seen from the tip);
// a face of zero area yields (0, 0, 0).
inline zeVec3f faceNormal(zeVec3f p0, zeVec3f p1, zeVec3f p2) {
  zeVec3f a = p1 - p0;
  zeVec3f b = p2 - p0;
  zeVec3f n = a.cross(b);
  n.normalize();
  return n;
}

}  // namespace

void zeShape::calculateNormals() {
  if (!enableVertexNormals) {
    std::printf("calculateNormals: vertex normals are not enabled\n");
    return;
  }
  zeCalculateNormalsFrom(*this, absVertexList);
}

void zeCalculateNormalsFrom(zeShape& s, const zeVec3f* p) {
  const int32_t listLength = s.listLength;
  zeVec3f* normalList = s.normalList;
  int32_t* normalCountList = s.normalCountList;
  for (int i = 0; i < listLength; ++i) {
    normalList[i].set(0.0f, 0.0f, 0.0f);
    normalCountList[i] = 0;
  }

  const zeFaceSequence seq(s);
  const int32_t n = seq.n;

  switch (s.drawStyle) {
    case GL_POLYGON: {
      if (n < 3) return;
      const int32_t i0 = seq.at(0), i1 = seq.at(1), i2 = seq.at(2);
      // The whole polygon takes the normal of its first three entries;
      // without three vertices there it has no face.
      if (i0 == -1 || i1 == -1 || i2 == -1) break;
      const zeVec3f f = faceNormal(p[i0], p[i1], p[i2]);
      for (int i = 0; i < listLength; ++i) addTo(s, i, f);
      break;
    }
    case GL_TRIANGLES:
    case GL_TRIANGLE_STRIP: {
      if (n < 3) return;
      const bool strip = s.drawStyle == GL_TRIANGLE_STRIP;
      const int32_t step = strip ? 1 : 3;
      int parity = 0;
      for (int32_t k = 0; k + 2 < n;) {
        const int32_t i0 = seq.at(k), i1 = seq.at(k + 1), i2 = seq.at(k + 2);
        if (i0 == -1 || i1 == -1 || i2 == -1) {
          // Realign on the entry after the break; strips restart their parity.
          parity = 0;
          k += 1;
          continue;
        }
        zeVec3f f = faceNormal(p[i0], p[i1], p[i2]);
        // Every other strip triangle is wound the other way round.
        if (strip && parity % 2 == 0) f *= -1.0f;
        addTo(s, i0, f);
        addTo(s, i1, f);
        addTo(s, i2, f);
        ++parity;
        k += step;
      }
      break;
    }
    case GL_TRIANGLE_FAN: {
      if (n < 3) return;
      int32_t c = seq.at(0);
      for (int32_t k = 1; k + 1 < n; ++k) {
        const int32_t i1 = seq.at(k), i2 = seq.at(k + 1);
        if (i1 == -1) c = i2;  // a new fan begins around the entry after the break
        if (c == -1 || i1 == -1 || i2 == -1) continue;
        const zeVec3f f = faceNormal(p[c], p[i1], p[i2]);
        addTo(s, c, f);
        addTo(s, i1, f);
        addTo(s, i2, f);
      }
      break;
    }
    default:
      break;  // points, lines and quads form no faces
  }

  for (int i = 0; i < listLength; ++i) {
    if (normalCountList[i] != 0) {
      normalList[i] /= static_cast<float>(normalCountList[i]);
      normalList[i].normalize();
    } else {
      normalList[i].set(0.0f, 0.0f, 1.0f);
    }
  }
}
