// The peer for our cloth's step: Bullet's soft-body cloth (bench/bulletClothScene.h)
// at N x N = 60, 128, 256 and 512, one Bullet step per frame of 1/60 s.
//
// bullet/step/N runs one sheet from the start of its fall for kRunFrames
// frames, each iteration one frame timed on its own: the sheet reaches the box
// near frame 51 and lies on it after, so every size times the same frames
// with the same share of free fall and contact. The world is made outside the
// timing, and so is its first step, in which Bullet builds its trees once.
// The time column is the mean per step, as Bullet runs: with the few steps
// after the sheet first meets the box, in which Bullet fills the cells of its
// distance field for the box (a one-off cost that grows with the area the
// sheet covers, not its nodes: it weighs most at 60). The counters are
//   ns_per_node    that mean over the nodes, in nanoseconds;
//   falling_ms     the median step with no node touching the box;
//   contact_ms     the median step with nodes on the box;
//   steady_ns_per_node  the mean step over the nodes had every step of either
//                  kind taken its kind's median: the same mix without the
//                  one-off costs, nor the steps in which the process lost the
//                  processor;
//   contact_frames the steps with nodes on the box;
//   first_step_ms  the untimed first step;
//   lowest_z       the lowest node after the run.
// Before the benchmarks the program checks that the sheet really falls: at
// N = 60, after 300 steps, every node has to lie on the box.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/bulletClothScene.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRunFrames = 80;

double seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// The median of the values, 0 when there are none.
double median(std::vector<double> values) {
  if (values.empty()) return 0;
  auto middle = values.begin() + values.size() / 2;
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

void BM_BulletStep(benchmark::State& state) {
  bulletcloth::Scene scene(static_cast<int>(state.range(0)));
  const auto first0 = Clock::now();
  scene.step();
  const double first = seconds(Clock::now() - first0);

  std::vector<double> falling, contact;
  falling.reserve(kRunFrames);
  contact.reserve(kRunFrames);
  double total = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    scene.step();
    const double s = seconds(Clock::now() - t0);
    state.SetIterationTime(s);
    total += s;
    (scene.contacts() > 0 ? contact : falling).push_back(s);
  }
  // A sheet that passed through the box would be timed in free fall.
  if (scene.lowestHeight() < bulletcloth::kBoxTop - 1.0f) {
    state.SkipWithError("the sheet has sunk through the box");
    return;
  }
  const double steps = static_cast<double>(falling.size() + contact.size());
  if (steps == 0) return;
  state.counters["ns_per_node"] = total / steps / scene.nodes() * 1e9;
  state.counters["falling_ms"] = median(falling) * 1e3;
  state.counters["contact_ms"] = median(contact) * 1e3;
  state.counters["steady_ns_per_node"] =
      (median(falling) * falling.size() + median(contact) * contact.size()) / steps /
      scene.nodes() * 1e9;
  state.counters["contact_frames"] = static_cast<double>(contact.size());
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
