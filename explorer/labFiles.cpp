#include "explorer/labFiles.h"

#include <cstdio>
#include <string>

#include "explorer/clothFiles.h"
#include "explorer/scene.h"
#include "viewkit/files/safeFile.h"
#include "viewkit/view/screenshot.h"
#include "zeu/zeu.h"

namespace explorer {

namespace {

bool report(const std::string& name, bool ok, const std::string& error) {
  if (ok) {
    std::printf("wrote %s\n", name.c_str());
    std::fflush(stdout);
  } else {
    std::fprintf(stderr, "could not write %s: %s\n", name.c_str(), error.c_str());
  }
  return ok;
}

int frameOf(const cloth::Cloth& cloth) {
  return static_cast<int>(cloth.frame());
}

}  // namespace

std::string keptFileName(int frame, const char* ext) {
  char stem[32];
  std::snprintf(stem, sizeof stem, "drape-%05d", frame);
  return viewkit::freeFileName(stem, ext);
}

bool savePicture(int frame) {
  const std::string name = keptFileName(frame, ".png");
  std::string error;
  const bool ok = viewkit::saveWindowPng(name, zeuWindowWidth, zeuWindowHeight, error);
  return report(name, ok, error);
}

bool saveObj(const cloth::Cloth& cloth, zeMeshShape& mesh) {
  prepareForFile(cloth, mesh);
  const std::string name = keptFileName(frameOf(cloth), ".obj");
  std::string error;
  return report(name, writeClothObj(mesh, name, false, error), error);
}

bool saveShape(const cloth::Cloth& cloth, zeMeshShape& mesh) {
  prepareForFile(cloth, mesh);
  const std::string name = keptFileName(frameOf(cloth), ".shape");
  std::string error;
  return report(name, writeClothShape(mesh, name, false, error), error);
}

bool saveScene(const cloth::Cloth& cloth) {
  const std::string name = keptFileName(frameOf(cloth), ".json");
  std::string error;
  return report(name, writeScene(cloth, name, error), error);
}

}  // namespace explorer
