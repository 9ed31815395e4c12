// How much the cloth stretches, how its sag depends on the step count, and
// whether every preset stays sane: the figures of docs/cloth-quality.md.
//
//   clothQuality strain PRESET SIZE [FRAMES [NAME=VALUE ...]]
//       largest, 99th percentile and mean structural strain after FRAMES
//       (default 600), with parameters set by name from the table;
//   clothQuality steps SOLVER [COMPLIANCE]
//       the sag of the bottom edge's middle node of the hanging sheet at 64
//       after 600 frames of 0.02, with 10 and with 40 steps a frame, for the
//       springs or the XPBD solver, with a stretchy stretch and shear
//       compliance (default 1e-4, or the springs' stiffness 1 / COMPLIANCE);
//   clothQuality sane SIZE [FRAMES]
//       every preset at SIZE for FRAMES (default 3000): finite, and the
//       farthest node's distance from the centre.
// Threads: ZE_THREADS (default 1).
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "cloth/strain.h"

namespace {

int threads() {
  const char* t = std::getenv("ZE_THREADS");
  return t ? std::atoi(t) : 1;
}

bool setByName(cloth::Params& p, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos) return false;
  const cloth::ParamInfo* info = cloth::findParam(assignment.substr(0, eq));
  if (!info) return false;
  const std::string value = assignment.substr(eq + 1);
  int index = 0;
  if (info->kind == cloth::ParamKind::choice && cloth::choiceIndex(*info, value, index))
    return cloth::setParam(*info, p, index);
  return cloth::setParam(*info, p, std::atof(value.c_str()));
}

double seconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

int strain(int argc, char** argv) {
  cloth::Preset preset;
  if (argc < 4 || !cloth::presetFromName(argv[2], preset)) return 2;
  const int size = std::atoi(argv[3]);
  const int frames = argc > 4 ? std::atoi(argv[4]) : 600;
  cloth::Params p = cloth::presetParams(preset, size);
  for (int k = 5; k < argc; ++k)
    if (!setByName(p, argv[k])) {
      std::fprintf(stderr, "clothQuality: cannot set %s\n", argv[k]);
      return 2;
    }
  cloth::Cloth c(preset, p, threads());
  const auto t0 = std::chrono::steady_clock::now();
  for (int f = 0; f < frames; ++f) c.advance();
  const double s = seconds(t0);
  std::vector<float> scratch;
  const cloth::StrainFigures fig = cloth::structuralStrain(c, scratch);
  std::printf(
      "%s %d, %d frames, %d steps a frame: largest %.3f %%, p99 %.3f %%, mean %.3f %%"
      " (%.1f ms a frame)\n",
      argv[2], size, frames, c.stepsPerFrame(), 100 * fig.largest, 100 * fig.p99, 100 * fig.mean,
      1e3 * s / frames);
  return 0;
}

int steps(int argc, char** argv) {
  if (argc < 3) return 2;
  const bool xpbd = std::strcmp(argv[2], "xpbd") == 0;
  const float compliance = argc > 3 ? static_cast<float>(std::atof(argv[3])) : 1e-4f;
  double sag[2] = {0, 0};
  for (int k = 0; k < 2; ++k) {
    const int n = k == 0 ? 10 : 40;
    cloth::Params p = cloth::presetParams(cloth::Preset::hanging, 64);
    p.stepsPerFrame = n;
    p.timeStep = 0.02 / n;  // the same frame of 0.02, in n steps
    if (xpbd) {
      p.stretchCompliance = compliance;
      p.shearCompliance = compliance;
      p.tethers = false;  // they would hold the stretch back
    } else {
      p.solver = cloth::kSolverSprings;
      p.stiffness = 1.0f / compliance;
    }
    cloth::Cloth c(cloth::Preset::hanging, p, threads());
    for (int f = 0; f < 600; ++f) c.advance();
    std::vector<float> scratch;
    const cloth::StrainFigures fig = cloth::structuralStrain(c, scratch);
    sag[k] = 30.0 - c.positions()[32].z;  // node (row 0, column 32): the bottom edge's middle
    std::printf("%s, %d steps a frame: sag %.3f, mean strain %.2f %%, largest %.2f %%\n", argv[2],
                c.stepsPerFrame(), sag[k], 100 * fig.mean, 100 * fig.largest);
  }
  std::printf("%s: sag changes by %.2f %% from 10 to 40 steps\n", argv[2],
              100 * (sag[1] - sag[0]) / sag[0]);
  return 0;
}

int sane(int argc, char** argv) {
  if (argc < 3) return 2;
  const int size = std::atoi(argv[2]);
  const int frames = argc > 3 ? std::atoi(argv[3]) : 3000;
  int bad = 0;
  for (cloth::Preset preset : {cloth::Preset::drape, cloth::Preset::curtain, cloth::Preset::flag,
                               cloth::Preset::hanging}) {
    cloth::Cloth c(preset, cloth::presetParams(preset, size), threads());
    for (int f = 0; f < frames; ++f) c.advance();
    bool finite = true;
    double farthest = 0;
    for (int n = 0; n < c.nodeCount(); ++n) {
      const zeVec3f q = c.positions()[n], v = c.velocities()[n];
      finite = finite && std::isfinite(q.x + q.y + q.z + v.x + v.y + v.z);
      farthest =
          std::max(farthest, std::sqrt(double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z));
    }
    std::printf("%s %d, %d frames: %s, farthest node %.1f from the centre\n",
                cloth::presetName(preset), size, frames, finite ? "finite" : "NOT FINITE",
                farthest);
    bad += !finite || farthest > 200;
  }
  return bad ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  int status = 2;
  if (what == "strain") status = strain(argc, argv);
  if (what == "steps") status = steps(argc, argv);
  if (what == "sane") status = sane(argc, argv);
  if (status == 2) std::fprintf(stderr, "usage: see the head of bench/clothQuality.cpp\n");
  return status;
}
