// Bullet's soft body beside our XPBD solver on the hanging sheet: N x N hung
// from the two corners of its far edge, 600 frames of 1/60 s (ten simulated
// seconds). For Bullet with 1, 4, 16 and 64 position iterations, and for
// ours (the hanging preset on one thread), the largest and mean strain of
// the structural links after the run and the processor time per simulated
// second.
//
//   bulletHanging [N [FRAMES]]     (default 64 and 600)
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "bench/bulletClothScene.h"
#include "cloth/cloth.h"
#include "cloth/strain.h"

namespace {

double processorSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

struct Strain {
  double largest = 0, mean = 0;
};

// Over the structural links of an N x N grid whose node positions pos gives.
Strain strainOf(int n, const std::function<void(int, double&, double&, double&)>& pos) {
  const double rest = 59.0 / (n - 1);
  Strain s;
  int links = 0;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c)
      for (int k = 0; k < 2; ++k) {
        const int r2 = r + k, c2 = c + 1 - k;
        if (r2 >= n || c2 >= n) continue;
        double ax, ay, az, bx, by, bz;
        pos(r * n + c, ax, ay, az);
        pos(r2 * n + c2, bx, by, bz);
        const double e =
            std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay) + (bz - az) * (bz - az)) /
                rest -
            1.0;
        s.largest = std::max(s.largest, e);
        s.mean += e;
        ++links;
      }
  s.mean /= links;
  return s;
}

void row(const char* who, Strain s, double cpuPerSecond, double lowest) {
  std::printf("| %s | %.3f %% | %.3f %% | %.3f s | %.1f |\n", who, 100 * s.largest, 100 * s.mean,
              cpuPerSecond, lowest);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 64;
  const int frames = argc > 2 ? std::atoi(argv[2]) : 600;
  const double simulated = frames / 60.0;
  std::printf("hanging sheet %d x %d, %d frames of 1/60 s\n\n", n, n, frames);
  std::printf(
      "| solver | largest strain | mean strain | processor s per simulated s | lowest z |\n");
  std::printf("|---|---:|---:|---:|---:|\n");
  {
    cloth::Cloth c(cloth::Preset::hanging, cloth::presetParams(cloth::Preset::hanging, n), 1);
    const double t0 = processorSeconds();
    for (int f = 0; f < frames; ++f) c.advance();
    const double t = processorSeconds() - t0;
    const zeVec3f* p = c.positions();
    const Strain s = strainOf(n, [&](int k, double& x, double& y, double& z) {
      x = p[k].x;
      y = p[k].y;
      z = p[k].z;
    });
    float lowest = p[0].z;
    for (int k = 0; k < c.nodeCount(); ++k) lowest = std::min(lowest, p[k].z);
    char who[96];
    std::snprintf(who, sizeof who, "ours, XPBD, %d steps a frame", c.stepsPerFrame());
    row(who, s, t / simulated, lowest);
  }
  for (int iterations : {1, 4, 16, 64}) {
    bulletcloth::HangingScene scene(n, iterations);
    const double t0 = processorSeconds();
    for (int f = 0; f < frames; ++f) scene.step();
    const double t = processorSeconds() - t0;
    auto pos = [&](int k, double& x, double& y, double& z) {
      float fx, fy, fz;
      scene.position(k, fx, fy, fz);
      x = fx;
      y = fy;
      z = fz;
    };
    double lowest = 1e30;
    for (int k = 0; k < n * n; ++k) {
      double x, y, z;
      pos(k, x, y, z);
      lowest = std::min(lowest, z);
    }
    char who[96];
    std::snprintf(who, sizeof who, "Bullet, %d position iterations", iterations);
    row(who, strainOf(n, pos), t / simulated, lowest);
  }
  return 0;
}
