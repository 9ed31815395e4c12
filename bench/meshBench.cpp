// Big meshes in the shape library, against the GL recording stand-in with
// recording off (so the times are the library's processor time, not the
// driver's), on an N x N mesh bent into waves, picking on as drawn by
// default:
//   mesh_draw/N           zeShape::draw: transform, window positions, normal
//                         generation and one call per vertex attribute;
//   mesh_arrays/N         zeShapeArrays::draw on the same mesh (prepared once
//                         outside the timing): transform and window positions
//                         for picking, a few client-array calls;
//   mesh_arrays_nopick/N  the same with picking off;
//   mesh_calculateNormals/N, mesh_calculateMeshNormals/N  the two normal
//                         generations on the same mesh;
//   mesh_build/N          zeMeshShape(N, N), and mesh_build_appending/N the
//                         same mesh grown with addPoint and addIndex, as it
//                         was built before. Both build once untimed first,
//                         so the iterations reuse its memory.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "bench/allocCounter.h"
#include "testkit/glRecorder.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShapeArrays.h"
#include "zeShape/zeTransforms.h"

namespace {

using Clock = std::chrono::steady_clock;

double since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

bool firstBuild() {
  const char* v = std::getenv("ZE_MESH_FIRST_BUILD");
  return v != nullptr && v[0] == '1';
}

std::unique_ptr<zeMeshShape> wavyMesh(int n) {
  glrec::reset();
  glrec::state().recording = false;
  glrec::state().viewport[2] = 1920;
  glrec::state().viewport[3] = 1080;
  zeMatrixHeight = 0;
  zeTransformsInit();
  zeTransformsCaptureCamera();
  std::unique_ptr<zeMeshShape> mesh(new zeMeshShape(n, n));
  for (int v = 0; v < mesh->listLength; ++v) {
    zeVec3f& p = mesh->vertexList[v];
    p.set(p.x / n - 0.5f, p.y / n - 0.5f,
          0.05f * std::sin(20.0f * p.x / n) * std::cos(13.0f * p.y / n));
  }
  mesh->Rotation.set(-50.0f, 1.0f, 0.0f, 0.0f);
  return mesh;
}

void BM_Draw(benchmark::State& state) {
  auto mesh = wavyMesh(static_cast<int>(state.range(0)));
  mesh->draw();
  for (auto _ : state) {
    const auto t0 = Clock::now();
    mesh->draw();
    state.SetIterationTime(since(t0));
  }
}

void arrays(benchmark::State& state, bool picking) {
  auto mesh = wavyMesh(static_cast<int>(state.range(0)));
  mesh->enablePicking = picking;
  mesh->calculateMeshNormals();
  zeShapeArrays prepared;
  prepared.draw(*mesh);
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = alloccount::allocations();
    const auto t0 = Clock::now();
    prepared.draw(*mesh);
    state.SetIterationTime(since(t0));
    allocations += alloccount::allocations() - before;
  }
  state.counters["heap_allocs"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}
void BM_Arrays(benchmark::State& state) {
  arrays(state, true);
}
void BM_ArraysNoPicking(benchmark::State& state) {
  arrays(state, false);
}

void BM_CalculateNormals(benchmark::State& state) {
  auto mesh = wavyMesh(static_cast<int>(state.range(0)));
  mesh->draw();  // world positions for calculateNormals
  for (auto _ : state) {
    const auto t0 = Clock::now();
    mesh->calculateNormals();
    state.SetIterationTime(since(t0));
    benchmark::DoNotOptimize(mesh->normalList[1]);
  }
}

void BM_MeshNormals(benchmark::State& state) {
  auto mesh = wavyMesh(static_cast<int>(state.range(0)));
  uint64_t allocations = 0;
  for (auto _ : state) {
    const uint64_t before = alloccount::allocations();
    const auto t0 = Clock::now();
    mesh->calculateMeshNormals();
    state.SetIterationTime(since(t0));
    allocations += alloccount::allocations() - before;
    benchmark::DoNotOptimize(mesh->normalList[1]);
  }
  state.counters["heap_allocs"] =
      benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

void BM_Build(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (!firstBuild()) zeMeshShape warm(n, n);  // the memory every iteration builds in
  for (auto _ : state) {
    const auto t0 = Clock::now();
    zeMeshShape mesh(n, n);
    benchmark::DoNotOptimize(mesh.indexList);
    state.SetIterationTime(since(t0));
  }
}

void buildAppending(zeShape& mesh, int n) {
  for (int k = 0; k < n * n; ++k) mesh.addPoint(0.0f, 0.0f, 0.0f);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      mesh.setVertex(i * n + j, static_cast<float>(i), static_cast<float>(j), 0.0f);
      mesh.setVertexColor(i * n + j, 1.0f, 1.0f, 1.0f, 1.0f);
    }
  for (int i = 0; i < n - 1; ++i) {
    for (int j = 0; j < n; ++j) {
      mesh.addIndex(i * n + j);
      mesh.addIndex((i + 1) * n + j);
    }
    mesh.addIndex(-1);
  }
}

void BM_BuildAppending(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  {
    zeShape warm(true, true, true);
    if (!firstBuild()) buildAppending(warm, n);
  }
  for (auto _ : state) {
    const auto t0 = Clock::now();
    zeShape mesh(true, true, true);
    buildAppending(mesh, n);
    benchmark::DoNotOptimize(mesh.indexList);
    state.SetIterationTime(since(t0));
  }
}

}  // namespace

BENCHMARK(BM_Draw)
    ->Name("mesh_draw")
    ->Arg(256)
    ->Arg(512)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Arrays)
    ->Name("mesh_arrays")
    ->Arg(256)
    ->Arg(512)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArraysNoPicking)
    ->Name("mesh_arrays_nopick")
    ->Arg(512)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalculateNormals)
    ->Name("mesh_calculateNormals")
    ->Arg(512)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeshNormals)
    ->Name("mesh_calculateMeshNormals")
    ->Arg(512)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Build)
    ->Name("mesh_build")
    ->Arg(512)
    ->Arg(1024)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAppending)
    ->Name("mesh_build_appending")
    ->Arg(512)
    ->Arg(1024)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The allocator keeps what the mesh builds free, so every iteration builds
// in memory the kernel has already handed over: the times are the code's own
// work, not the first touch of fresh pages, which a process's first build
// also pays (ZE_MESH_FIRST_BUILD=1: each build benchmark times that one
// build alone; bench/run.sh runs it in fresh processes).
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
