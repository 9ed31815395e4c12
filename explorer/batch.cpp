#include "explorer/batch.h"

#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

#include "cloth/cloth.h"
#include "cloth/digest.h"
#include "explorer/clothFiles.h"
#include "explorer/lab.h"

namespace explorer {

std::string digestLine(const cloth::Cloth& c) {
  return cloth::digestLine(c.frame(), cloth::digest(c));
}

int runBatch(const Options& options, FILE* out, FILE* err) {
  cloth::Cloth c(options.preset, options.params, options.threads);
  c.setMeshes(options.meshes);
  return runBatch(c, options, out, err);
}

int runBatch(cloth::Cloth& c, const Options& options, FILE* out, FILE* err) {
  const bool progress = isatty(fileno(err)) != 0;
  auto shown = std::chrono::steady_clock::now();
  for (long f = c.frame(); f < options.batch; ++f) {
    c.advance();
    if (progress) {
      const auto now = std::chrono::steady_clock::now();
      if (now - shown > std::chrono::milliseconds(200)) {
        std::fprintf(err, "\rframe %ld of %ld", f + 1, options.batch);
        std::fflush(err);
        shown = now;
      }
    }
  }
  if (progress) std::fprintf(err, "\r%*s\r", 40, "");

  int status = 0;
  if (!options.obj.empty() || !options.shape.empty()) {
    // Kept for the process, like the program's other shapes.
    static zeMeshShape* mesh = newClothMesh(c.size());
    // Cut and torn links lose their faces here as in the window.
    if (c.cutLinks() > 0) buildFaces(c, *mesh);
    prepareForFile(c, *mesh);
    std::string error;
    if (!options.obj.empty() && !writeClothObj(*mesh, options.obj, true, error)) {
      std::fprintf(err, "drapeExplorer: could not write %s: %s\n", options.obj.c_str(),
                   error.c_str());
      status = 1;
    }
    if (!options.shape.empty() && !writeClothShape(*mesh, options.shape, true, error)) {
      std::fprintf(err, "drapeExplorer: could not write %s: %s\n", options.shape.c_str(),
                   error.c_str());
      status = 1;
    }
  }
  // With the OBJ on standard output the digest goes to the error stream, so
  // that the OBJ stays readable.
  FILE* line = options.obj == "-" || options.shape == "-" ? err : out;
  std::fprintf(line, "%s\n", digestLine(c).c_str());
  std::fflush(line);
  return status;
}

}  // namespace explorer
