// The peer for our cloth's step: Bullet's soft-body cloth (bench/bulletClothScene.h)
// at N x N = 60, 128, 256 and 512, one Bullet step per frame of 1/60 s.
//
// bullet/step/N runs one sheet from the start of its fall for kRunFrames
// frames, each iteration one frame timed on its own: the sheet reaches the box
// near frame 51 and lies on it after, so every size times the same frames
// with the same share of free fall and contact. The world is made outside the
// timing, and so is its first step, in which Bullet builds its trees once.
// The time column is the mean per step; the counters are
//   ns_per_node    the mean step over the nodes, in nanoseconds;
//   falling_ms     the mean step with no node touching the box;
//   contact_ms     the mean step with nodes on the box;
//   contact_frames the frames of the latter kind;
//   first_step_ms  the untimed first step;
//   lowest_z       the lowest node after the run.
// Before the benchmarks the program checks that the sheet really falls: at
// N = 60, after 300 steps, every node has to lie on the box.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "bench/bulletClothScene.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRunFrames = 80;

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_BulletStep(benchmark::State& state) {
  bulletcloth::Scene scene(static_cast<int>(state.range(0)));
  const auto first0 = Clock::now();
  scene.step();
  const double first = seconds(Clock::now() - first0);

  double falling = 0, contact = 0;
  int contactFrames = 0, fallingFrames = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    scene.step();
    const double s = seconds(Clock::now() - t0);
    state.SetIterationTime(s);
    if (scene.contacts() > 0) {
      contact += s;
      ++contactFrames;
    } else {
      falling += s;
      ++fallingFrames;
    }
  }
  const double nodes = scene.nodes();
  const double steps = fallingFrames + contactFrames;
  if (steps > 0) state.counters["ns_per_node"] = (falling + contact) / steps / nodes * 1e9;
  state.counters["falling_ms"] = fallingFrames ? falling / fallingFrames * 1e3 : 0.0;
  state.counters["contact_ms"] = contactFrames ? contact / contactFrames * 1e3 : 0.0;
  state.counters["contact_frames"] = contactFrames;
  state.counters["first_step_ms"] = first * 1e3;
  state.counters["lowest_z"] = scene.lowestHeight();
}

// The sheet at N = 60 after 300 steps: every node has to be on the box (no
// higher than a unit above its top, and not sunk into it by more than Bullet's
// contact margin), or the timings are of something else.
bool sheetLandsOnBox() {
  constexpr int kSide = 60, kSteps = 300;
  bulletcloth::Scene scene(kSide);
  for (int frame = 0; frame < kSteps; ++frame) scene.step();
  const float low = scene.lowestHeight();
  const float high = scene.highestHeight();
  const bool onBox = low >= bulletcloth::kBoxTop - 0.25f && high <= bulletcloth::kBoxTop + 1.0f;
  std::fprintf(stderr,
               "bulletCloth: N = %d after %d steps: nodes from z = %.3f to %.3f, %d on the box "
               "(top at z = %.1f)%s\n",
               kSide, kSteps, low, high, scene.contacts(), bulletcloth::kBoxTop,
               onBox ? "" : ": NOT lying on the box");
  return onBox;
}

}  // namespace

BENCHMARK(BM_BulletStep)
    ->Name("bullet/step")
    ->Arg(60)
    ->Arg(128)
    ->Arg(256)
    ->Arg(512)
    ->Iterations(kRunFrames)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!sheetLandsOnBox()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
