// Shapes as OBJ text: the elements of each drawing mode, strip winding,
// primitive breaks and bad indices, and the cloth-sized mesh.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "viewkit/files/objWriter.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShape.h"

namespace {

struct Written {
  bool ok;
  viewkit::ObjCounts counts;
  std::vector<std::string> lines;
  // The lines starting with kind ("f", "l", ...), without the kind.
  std::vector<std::string> of(const std::string& kind) const {
    std::vector<std::string> out;
    for (const std::string& l : lines)
      if (l.compare(0, kind.size() + 1, kind + " ") == 0) out.push_back(l.substr(kind.size() + 1));
    return out;
  }
};

Written write(const zeShape& s, long first = 1, const std::string& name = "shape") {
  Written w;
  FILE* f = std::tmpfile();
  w.ok = viewkit::writeObjShape(f, s, name, first, &w.counts);
  std::rewind(f);
  std::string line;
  for (int c; (c = std::fgetc(f)) != EOF;) {
    if (c == '\n') {
      w.lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  std::fclose(f);
  return w;
}

// An unindexed shape with n vertices along x.
void addRow(zeShape& s, int n) {
  for (int i = 0; i < n; ++i) s.addPoint(static_cast<float>(i), 0.0f, 0.0f);
}

TEST(ObjWriterTest, EachModeGivesTheElementsGlMakesOfSixVertices) {
  struct Case {
    uint32_t mode;
    std::vector<std::string> elements;  // the f, l or p lines, in order
  };
  const std::vector<Case> cases = {
      {GL_POINTS, {"1", "2", "3", "4", "5", "6"}},
      {GL_LINES, {"1 2", "3 4", "5 6"}},
      {GL_LINE_STRIP, {"1 2 3 4 5 6"}},
      {GL_LINE_LOOP, {"1 2 3 4 5 6 1"}},
      {GL_TRIANGLES, {"1 2 3", "4 5 6"}},
      {GL_TRIANGLE_STRIP, {"1 3 2", "2 3 4", "3 5 4", "4 5 6"}},
      {GL_TRIANGLE_FAN, {"1 2 3", "1 3 4", "1 4 5", "1 5 6"}},
      {GL_QUADS, {"1 2 3 4"}},  // two left over: no quad
      {GL_QUAD_STRIP, {"1 2 4 3", "3 4 6 5"}},
      {GL_POLYGON, {"1 2 3 4 5 6"}},
      {42, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    zeShape s(false, false, false);
    addRow(s, 6);
    s.drawStyle = c.mode;
    const Written w = write(s);
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(w.lines.front(), "o shape");
    std::vector<std::string> elements = w.of("f");
    for (const char* kind : {"l", "p"})
      for (const std::string& e : w.of(kind)) elements.push_back(e);
    EXPECT_EQ(elements, c.elements);
    EXPECT_EQ(w.of("v").size(), 6u);
    EXPECT_EQ(w.lines.size(), 1 + 6 + c.elements.size()) << "nothing else is written";
  }
}

TEST(ObjWriterTest, BreaksRestartTheStripAndBadIndicesAreLeftOutAsDrawingDoes) {
  zeShape s(false, false, true);
  addRow(s, 8);
  s.drawStyle = GL_TRIANGLE_STRIP;
  // An odd first strip: a parity carried over the break would turn the
  // first triangle of the second one. 99 and -7 name no vertex and are
  // skipped, so their neighbours join up as in drawing.
  for (int i : {0, 1, 2, -1, 3, 99, 4, 5, -7, 6, -1, 7}) s.addIndex(i);
  Written w = write(s);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.of("f"), (std::vector<std::string>{"1 3 2", "4 6 5", "5 6 7"}));

  s.drawStyle = GL_LINE_LOOP;
  w = write(s);
  EXPECT_EQ(w.of("l"), (std::vector<std::string>{"1 2 3 1", "4 5 6 7 4"}));
  EXPECT_EQ(w.counts.lines, 2) << "the one-vertex primitive at the end makes no line";

  s.drawStyle = GL_TRIANGLES;
  w = write(s);
  EXPECT_EQ(w.of("f"), (std::vector<std::string>{"1 2 3", "4 5 6"}));
}

TEST(ObjWriterTest, ClothMeshGivesEveryVertexNormalAndConsistentlyWoundTriangle) {
  zeMeshShape mesh(60, 60);
  // A gentle bump, so normals differ from vertex to vertex.
  for (int i = 0; i < 60; ++i)
    for (int j = 0; j < 60; ++j)
      mesh.setMeshVertex(i, j, static_cast<float>(i), static_cast<float>(j),
                         0.01f * static_cast<float>((i - 30) * (j - 30)));
  // Normals from the positions themselves, as a draw without transform.
  for (int k = 0; k < mesh.listLength; ++k) mesh.absVertexList[k] = mesh.vertexList[k];
  mesh.calculateNormals();
  const Written w = write(mesh);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.counts.vertices, 3600);
  EXPECT_EQ(w.counts.normals, 3600);
  EXPECT_EQ(w.counts.faces, 6962);
  EXPECT_EQ(w.counts.lines + w.counts.points, 0);

  char v61[64];
  std::snprintf(v61, sizeof v61, "1 1 %.9g", mesh.vertexList[61].z);
  EXPECT_EQ(w.of("v")[61], v61) << "positions are written to the bit";
  const zeVec3f& n61 = mesh.normalList[61];
  std::snprintf(v61, sizeof v61, "%.9g %.9g %.9g", n61.x, n61.y, n61.z);
  EXPECT_EQ(w.of("vn")[61], v61) << "and normals, each axis in its place";

  // Every face names its normals as a//a and turns the same way round in
  // the grid's plane as the first, counter-clockwise about its normals.
  EXPECT_EQ(w.of("f").front(), "1//1 2//2 61//61");
  for (const std::string& f : w.of("f")) {
    long a, an, b, bn, c, cn;
    ASSERT_EQ(std::sscanf(f.c_str(), "%ld//%ld %ld//%ld %ld//%ld", &a, &an, &b, &bn, &c, &cn), 6)
        << f;
    ASSERT_TRUE(a == an && b == bn && c == cn) << f;
    const zeVec3f *v = mesh.vertexList, &p = v[a - 1], &q = v[b - 1], &r = v[c - 1];
    const float z = (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    EXPECT_LT(z, 0.0f) << f;
    EXPECT_LT(mesh.normalList[a - 1].z, 0.0f) << "the library's strip normals face -z here";
  }
}

TEST(ObjWriterTest, AFailedWriteIsReported) {
  zeShape s(false, false, false);
  addRow(s, 3);
  long first = 1;
  FILE* f = std::fopen("/dev/null", "r");
  ASSERT_NE(f, nullptr);
  EXPECT_FALSE(viewkit::writeObjShape(f, s, "x", first));
  std::fclose(f);
}

}  // namespace
