// A closed triangle mesh for the cloth to collide with, read from a
// Wavefront OBJ file: the vertices (v) and faces (f) of the file, polygons
// split into fans of triangles, vertices at the same place joined, and every
// edge shared by exactly two triangles.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "zeu/zeVec3f.h"

namespace cloth {

struct TriangleMesh {
  std::vector<zeVec3f> vertices;
  std::vector<std::array<int, 3>> triangles;  ///< indices into vertices, from 0
};

/// The largest OBJ file read, so that endless input such as /dev/zero ends.
constexpr long kMaxObjBytes = 64L << 20;

/// The mesh of OBJ text. False, with one line in error saying what is wrong
/// (with its line number where there is one), when the text is not OBJ, a
/// face names a vertex that does not exist, a number is not finite, or the
/// mesh is empty or not closed.
bool parseObjMesh(const std::string& text, TriangleMesh& mesh, std::string& error);

/// parseObjMesh of the regular file at path, of at most kMaxObjBytes; the
/// file's bytes go to `bytes` too when it is given.
bool readObjMesh(const std::string& path, TriangleMesh& mesh, std::string& error,
                 std::string* bytes = nullptr);

}  // namespace cloth
