// How well the cloth keeps out of obstacles and itself, and what that costs:
// the figures of docs/cloth-quality.md.
//
//   obstacleQuality penetration SIZE [FRAMES]
//       the sphere preset: the deepest any node gets into the thickness
//       around the ball and over the ground, as a share of the thickness,
//       over every frame (default 600), and inside the surfaces proper;
//   obstacleQuality crossings SIZE FRAME [FRAME ...]
//       the pile preset: pairs of triangles sharing no corner that cross,
//       counted by an independent test at each FRAME;
//   obstacleQuality friction STATIC KINETIC [FRAMES]
//       a sheet dropped on a box tilted 20 degrees: how far its middle node
//       moves down the slope between frames 200 and FRAMES (default 600);
//   obstacleQuality cost SIZE [FRAMES]
//       median frame time of a falling sheet with nothing, the ground and a
//       ball, and self-collision on, and their ratios (processor time of
//       the calling thread on one thread, wall time on more).
// Threads: ZE_THREADS (default 1).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "cloth/cloth.h"
#include "triangleCrossings.h"

namespace {

int threads() {
  const char* t = std::getenv("ZE_THREADS");
  return t ? std::atoi(t) : 1;
}

int penetration(int size, int frames) {
  const cloth::Params p = cloth::presetParams(cloth::Preset::sphere, size);
  cloth::Cloth c(cloth::Preset::sphere, p, threads());
  const zeVec3f centre(p.ballX, p.ballY, p.ballZ);
  double ballBand = 0, groundBand = 0, ballInside = 0, groundInside = 0;
  long touching = 0;
  for (int f = 0; f < frames; ++f) {
    c.advance();
    const zeVec3f* x = c.positions();
    for (int n = 0; n < c.nodeCount(); ++n) {
      const double dx = x[n].x - centre.x, dy = x[n].y - centre.y, dz = x[n].z - centre.z;
      const double ball = std::sqrt(dx * dx + dy * dy + dz * dz) - p.ballRadius;
      const double ground = x[n].z;
      ballBand = std::max(ballBand, p.thickness - ball);
      groundBand = std::max(groundBand, p.thickness - ground);
      ballInside = std::max(ballInside, -ball);
      groundInside = std::max(groundInside, -ground);
    }
  }
  for (int n = 0; n < c.nodeCount(); ++n) touching += c.inContact(n);
  std::printf(
      "sphere %d, %d frames, thickness %.3f: deepest into the thickness: ball %.4f %%, ground "
      "%.4f %%; inside the surface: ball %.2g, ground %.2g; nodes touching at the end %ld\n",
      size, frames, p.thickness, 100 * ballBand / p.thickness, 100 * groundBand / p.thickness,
      ballInside, groundInside, touching);
  return 0;
}

int crossings(int size, const std::vector<int>& at) {
  const cloth::Params p = cloth::presetParams(cloth::Preset::pile, size);
  cloth::Cloth c(cloth::Preset::pile, p, threads());
  const auto triangles = quality::sheetTriangles(size);
  for (int frame : at) {
    while (c.frame() < frame) c.advance();
    double low = 1e30, high = -1e30;
    for (int n = 0; n < c.nodeCount(); ++n) {
      low = std::min(low, double(c.positions()[n].z));
      high = std::max(high, double(c.positions()[n].z));
    }
    std::printf("pile %d, frame %d, thickness %.3f: %ld crossing pairs (z from %.2f to %.2f)\n",
                size, frame, p.thickness, quality::countCrossings(c.positions(), triangles), low,
                high);
  }
  return 0;
}

// The scene: the sphere preset's sheet at 64 with the ball off and a wide
// box whose top, tilted 20 degrees, stands under its middle.
cloth::Params slope(float staticFriction, float kineticFriction) {
  cloth::Params p = cloth::presetParams(cloth::Preset::sphere, 64);
  p.ball = false;
  p.box = true;
  p.boxX = 0.5f;
  p.boxY = 0.5f;
  p.boxZ = 0.0f;
  p.boxWidth = 100.0f;
  p.boxDepth = 100.0f;
  p.boxHeight = 20.0f;
  p.boxTilt = 20.0f;
  p.staticFriction = staticFriction;
  p.kineticFriction = kineticFriction;
  return p;
}

int friction(float staticFriction, float kineticFriction, int frames) {
  cloth::Cloth c(cloth::Preset::sphere, slope(staticFriction, kineticFriction), threads());
  const int middle = 32 * 64 + 32;
  zeVec3f start;
  for (int f = 0; f < frames; ++f) {
    if (f == 200) start = c.positions()[middle];
    c.advance();
  }
  const zeVec3f end = c.positions()[middle];
  // Down the slope: the top rises along +y (its tilt about x), so down is -y.
  const double along = std::sqrt(double(end.y - start.y) * (end.y - start.y) +
                                 double(end.z - start.z) * (end.z - start.z));
  std::printf(
      "box tilted 20 degrees, static %.2f, kinetic %.2f: the middle moves %.3f between frames "
      "200 and %d\n",
      staticFriction, kineticFriction, along, frames);
  return 0;
}

// The calling thread's processor time: on one thread (where the pool works
// on the calling thread) it leaves out what other programs take.
double cpuMs() {
  timespec t;
  clock_gettime(threads() == 1 ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

double frameMs(cloth::Preset preset, const cloth::Params& p, int frames) {
  cloth::Cloth c(preset, p, threads());
  std::vector<double> times;
  for (int f = 0; f < frames; ++f) {
    const double t0 = cpuMs();
    c.advance();
    times.push_back(cpuMs() - t0);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int cost(int size, int frames) {
  cloth::Params bare = cloth::presetParams(cloth::Preset::sphere, size);
  bare.ground = bare.ball = false;
  cloth::Params obstacles = cloth::presetParams(cloth::Preset::sphere, size);
  cloth::Params self = bare;
  self.selfCollision = true;
  self.thickness = cloth::presetParams(cloth::Preset::pile, size).thickness;
  const double b = frameMs(cloth::Preset::sphere, bare, frames);
  const double o = frameMs(cloth::Preset::sphere, obstacles, frames);
  const double s = frameMs(cloth::Preset::sphere, self, frames);
  std::printf(
      "size %d, %d threads, median frame: nothing %.3f ms, ground + ball %.3f ms (x%.2f), "
      "self-collision %.3f ms (x%.2f)\n",
      size, threads(), b, o, o / b, s, s / b);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  auto arg = [&](int k, int otherwise) { return argc > k ? std::atoi(argv[k]) : otherwise; };
  if (what == "penetration" && argc > 2) return penetration(arg(2, 64), arg(3, 600));
  if (what == "crossings" && argc > 3) {
    std::vector<int> at;
    for (int k = 3; k < argc; ++k) at.push_back(std::atoi(argv[k]));
    return crossings(arg(2, 64), at);
  }
  if (what == "friction" && argc > 3)
    return friction(static_cast<float>(std::atof(argv[2])), static_cast<float>(std::atof(argv[3])),
                    arg(4, 600));
  if (what == "cost" && argc > 2) return cost(arg(2, 128), arg(3, 300));
  std::fprintf(stderr,
               "usage: obstacleQuality penetration SIZE [FRAMES] | crossings SIZE FRAME... | "
               "friction STATIC KINETIC [FRAMES] | cost SIZE [FRAMES]\n");
  return 2;
}
