// Timings of the cloth against the GL recording stand-in, recording off:
//   step/<phase>  the simulation part of one frame (contact, stage and update
//                 passes), in free fall (frames 1-15, every node free),
//                 draping (frames 16-200) and at rest (frames 2001-2200);
//   draw/<phase>  one whole draw (view, camera capture, step, the net);
//   makeApp       start-up: the cloth, its 3600-vertex mesh and 7139 indices.
// Every iteration is one frame, timed on its own; when a phase runs out the
// cloth is wound back to the start of the phase outside the timing. The time
// column is the mean per frame, the counter frame_us_median the median (for
// makeApp, ms_median); allocs_per_frame counts heap allocations inside the
// timed frames.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/drapeApp.h"
#include "bench/allocCounter.h"
#include "testkit/glRecorder.h"
#include "zeShape/zeNiceShapes.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Phase {
  int first;  // first frame of the phase, counting from 1 after construction
  int last;   // last frame of the phase
};
constexpr Phase kFalling{1, 15};
constexpr Phase kDraping{16, 200};
constexpr Phase kAtRest{2001, 2200};

drapeApp* newCloth() {
  return static_cast<drapeApp*>(makeApp());
}

// The program keeps its one cloth for good; the benchmarks make many and
// throw them away. Both objects are of exactly these types.
void discard(drapeApp* app) {
  zeMeshShape* mesh = app->blanky;
  mesh->~zeMeshShape();
  ::operator delete(mesh);
  app->~drapeApp();
  ::operator delete(app);
}

// The cloth as it stands before frame `first` of a phase, made once.
const drapeApp& startOf(const Phase& phase) {
  static drapeApp* falling = nullptr;
  static drapeApp* draping = nullptr;
  static drapeApp* resting = nullptr;
  drapeApp*& slot =
      phase.first == kFalling.first ? falling : (phase.first == kDraping.first ? draping : resting);
  if (!slot) {
    glrec::reset();
    glrec::state().recording = false;
    slot = newCloth();
    for (int frame = 1; frame < phase.first; ++frame) {
      glLoadIdentity();
      slot->draw();
    }
  }
  return *slot;
}

// The time of every iteration: the manual time of the benchmark, and their
// median as a counter. On a shared machine the mean also carries the frames
// during which the process lost the processor; the median does not.
class FrameTimes {
 public:
  explicit FrameTimes(const benchmark::State& state) {
    seconds_.reserve(static_cast<size_t>(state.max_iterations));
  }
  void add(benchmark::State& state, Clock::duration elapsed) {
    const double s = std::chrono::duration<double>(elapsed).count();
    state.SetIterationTime(s);
    if (seconds_.size() < seconds_.capacity()) seconds_.push_back(s);
  }
  void report(benchmark::State& state, const char* name, double scale) {
    if (seconds_.empty()) return;
    auto middle = seconds_.begin() + seconds_.size() / 2;
    std::nth_element(seconds_.begin(), middle, seconds_.end());
    state.counters[name] = *middle * scale;
  }

 private:
  std::vector<double> seconds_;
};

// Winds the cloth back to a saved state; each object keeps its own mesh.
void restore(drapeApp* app, const drapeApp& saved) {
  zeMeshShape* own = app->blanky;
  *app = saved;
  app->blanky = own;
}

template <typename Frame>
void runPhase(benchmark::State& state, const Phase& phase, Frame frame) {
  const drapeApp& start = startOf(phase);
  drapeApp* app = newCloth();
  restore(app, start);
  glrec::reset();
  glrec::state().recording = false;
  const int length = phase.last - phase.first + 1;
  int inPhase = 0;
  uint64_t allocations = 0;
  int contact = 0;
  FrameTimes times(state);
  for (auto _ : state) {
    if (inPhase == length) {
      restore(app, start);
      inPhase = 0;
    }
    glLoadIdentity();  // as the standard frame does before every draw
    const uint64_t before = alloccount::allocations();
    const auto t0 = Clock::now();
    frame(app);
    const auto t1 = Clock::now();
    allocations += alloccount::allocations() - before;
    times.add(state, t1 - t0);
    ++inPhase;
  }
  for (const clothknob& knob : app->thread) contact += knob.on_surf;
  times.report(state, "frame_us_median", 1e6);
  state.counters["allocs_per_frame"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
  state.counters["nodes_in_contact"] = contact;
  discard(app);
}

void stepFrame(drapeApp* app) {
  app->step();
}

void drawFrame(drapeApp* app) {
  app->draw();
}

void BM_StepFalling(benchmark::State& state) {
  runPhase(state, kFalling, stepFrame);
}
void BM_StepDraping(benchmark::State& state) {
  runPhase(state, kDraping, stepFrame);
}
void BM_StepAtRest(benchmark::State& state) {
  runPhase(state, kAtRest, stepFrame);
}

void BM_DrawFalling(benchmark::State& state) {
  runPhase(state, kFalling, drawFrame);
}
void BM_DrawAtRest(benchmark::State& state) {
  runPhase(state, kAtRest, drawFrame);
}

void BM_MakeApp(benchmark::State& state) {
  glrec::reset();
  glrec::state().recording = false;
  uint64_t allocations = 0;
  FrameTimes times(state);
  for (auto _ : state) {
    const uint64_t before = alloccount::allocations();
    const auto t0 = Clock::now();
    zeApp* app = makeApp();
    const auto t1 = Clock::now();
    allocations += alloccount::allocations() - before;
    times.add(state, t1 - t0);
    discard(static_cast<drapeApp*>(app));
  }
  times.report(state, "ms_median", 1e3);
  state.counters["allocs"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// 1000 frames of the step from construction (the fall and most of the
// drape): the heap allocations counted across them, which must be none.
void BM_Step1000FramesAllocations(benchmark::State& state) {
  uint64_t allocations = 0;
  for (auto _ : state) {
    drapeApp* app = newCloth();
    const auto t0 = Clock::now();
    const uint64_t before = alloccount::allocations();
    for (int frame = 0; frame < 1000; ++frame) app->step();
    allocations += alloccount::allocations() - before;
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - t0).count());
    discard(app);
  }
  state.counters["heap_allocs"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_StepFalling)->Name("step/falling")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepDraping)->Name("step/draping")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepAtRest)->Name("step/at_rest")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawFalling)->Name("draw/falling")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawAtRest)->Name("draw/at_rest")->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MakeApp)->Name("makeApp")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Step1000FramesAllocations)
    ->Name("step/1000_frames")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
