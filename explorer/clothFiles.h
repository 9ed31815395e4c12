// The cloth as files: its mesh as a Wavefront OBJ or a shape record, with
// normals of the cloth itself (not of a view).
#pragma once

#include <string>

#include "cloth/cloth.h"
#include "zeShape/zeNiceShapes.h"

namespace explorer {

// A mesh of the cloth's size, node n as vertex n, coloured like the cloth.
zeMeshShape* newClothMesh(int size);
// Gives every vertex the cloth's colour.
void paintClothColour(zeMeshShape& mesh);
// Puts the cloth's node positions into the mesh's vertex list.
void copyPositions(const cloth::Cloth& cloth, zeMeshShape& mesh);
// Positions from the cloth and per-vertex normals of the cloth's own space.
void prepareForFile(const cloth::Cloth& cloth, zeMeshShape& mesh);

// Write the mesh prepared for a file to path through the safe writer,
// replacing what is there when replace is true; "-" is standard output.
bool writeClothObj(zeMeshShape& mesh, const std::string& path, bool replace, std::string& error);
bool writeClothShape(zeMeshShape& mesh, const std::string& path, bool replace, std::string& error);

}  // namespace explorer
