// Checks of the cloth lab's readers shared by their libFuzzer targets and
// the smoke test: each takes one arbitrary input and returns an empty string
// when the reader behaved, or a description of what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace clothfuzz {

// The bytes as an OBJ collider. The reader either refuses them with one
// line, or gives a closed mesh: finite vertices, triangles naming existing
// distinct vertices, every edge in two triangles turned alike. A distance
// grid made of an accepted mesh gives finite distances and unit normals.
std::string checkObjMesh(const uint8_t* data, size_t size);

}  // namespace clothfuzz
