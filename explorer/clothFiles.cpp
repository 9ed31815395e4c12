#include "explorer/clothFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "viewkit/files/errorText.h"
#include "viewkit/files/objWriter.h"
#include "viewkit/files/safeFile.h"
#include "zeShape/zeShapeRecord.h"

namespace explorer {

namespace {

// A warm cloth colour, so that the light's shading shows.
constexpr float kCloth[3] = {0.86f, 0.48f, 0.26f};

bool writeTo(const std::string& path, bool replace, std::string& error,
             const std::function<bool(FILE*)>& body) {
  if (path == "-") {
    const bool ok = body(stdout) && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!ok) error = viewkit::errorText(errno);
    return ok;
  }
  // A file named on the command line may be a link, a device or a FIFO.
  return viewkit::writeFile(
      path, body, error,
      replace ? viewkit::WriteMode::kUserOutput : viewkit::WriteMode::kNoReplace);
}

}  // namespace

zeMeshShape* newClothMesh(int size) {
  zeMeshShape* mesh = new zeMeshShape(size, size);
  paintClothColour(*mesh);
  return mesh;
}

void paintClothColour(zeMeshShape& mesh) {
  for (int n = 0; n < mesh.listLength; ++n)
    mesh.setVertexColor(n, kCloth[0], kCloth[1], kCloth[2], 1.0f);
}

void copyPositions(const cloth::Cloth& cloth, zeMeshShape& mesh) {
  std::memcpy(static_cast<void*>(mesh.vertexList), cloth.positions(),
              sizeof(zeVec3f) * static_cast<size_t>(cloth.nodeCount()));
}

// The mesh's own transform is the identity, so its world positions are its
// positions.
void prepareForFile(const cloth::Cloth& cloth, zeMeshShape& mesh) {
  copyPositions(cloth, mesh);
  for (int n = 0; n < mesh.listLength; ++n) mesh.absVertexList[n] = mesh.vertexList[n];
  mesh.calculateNormals();
}

bool writeClothObj(zeMeshShape& mesh, const std::string& path, bool replace, std::string& error) {
  return writeTo(path, replace, error, [&mesh](FILE* f) {
    long first = 1;
    return viewkit::writeObjShape(f, mesh, "cloth", first);
  });
}

bool writeClothShape(zeMeshShape& mesh, const std::string& path, bool replace, std::string& error) {
  return writeTo(path, replace, error, [&mesh](FILE* f) { return zeWriteShapeRecord(mesh, f); });
}

}  // namespace explorer
