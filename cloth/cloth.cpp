#include "cloth/cloth.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "cloth/wind.h"
#include "cloth/workerPool.h"
#include "cloth/xpbdSolver.h"
#include "zeu/zeLanes.h"

#ifdef ZE_LANES
using zeLanes::load3;
using zeLanes::store3;
#endif

namespace cloth {

namespace {

constexpr int kMaxSubsteps = 64;
constexpr double kSpan = 59.0;  // the sheet runs from -29 to 30 along x and y
constexpr double kLow = -29.0;
constexpr float kStartHeight = 30.0f;
constexpr double kRipple = 0.05;  // of an upright sheet, across its plane

}  // namespace

// What one step needs beyond the derived constants: the wind of that step.
struct Cloth::StepPlan {
  zeVec3f wind;  // velocity change of one step for a node facing the wind
};

namespace {

// The state one frame's job works on.
struct FrameJob {
  Cloth* cloth;
  int substeps;
  int first;  // buffer holding the positions at the frame's start
};

}  // namespace

Cloth::Cloth(Preset preset, const Params& params, int threads)
    : Cloth(preset, params, threads, std::make_shared<Terrain>()) {}

Cloth::Cloth(Preset preset, const Params& params, int threads,
             std::shared_ptr<const Collider> collider)
    : preset_(preset),
      params_(params),
      size_(std::clamp(params.size, kMinSize, kMaxSize)),
      collider_(std::move(collider)) {
  params_.size = size_;
  count_ = size_ * size_;
  for (std::vector<zeVec3f>& p : pos_) p.resize(static_cast<size_t>(count_));
  vel_.assign(static_cast<size_t>(count_), zeVec3f());
  contact_.assign(static_cast<size_t>(count_), 0);
  pinned_.assign(static_cast<size_t>(count_), 0);
  right_.assign(static_cast<size_t>(count_), 1);
  up_.assign(static_cast<size_t>(count_), 1);
  const double spacing = kSpan / (size_ - 1);
  const PresetInfo& info = presetInfo(preset);
  for (int n = 0; n < count_; ++n) {
    const int c = n % size_, r = n / size_;
    zeVec3f& p = pos_[0][n];
    p.x = static_cast<float>(kLow + c * spacing);
    p.y = static_cast<float>(kLow + r * spacing);
    p.z = kStartHeight;
    if (info.upright) {
      // Turned up about the x axis through the sheet's middle, with a slight
      // ripple across it so that it buckles out of its plane as it lands.
      p.z = static_cast<float>(info.lowest + r * spacing);
      p.y = static_cast<float>(0.5 + kRipple * std::sin(r * spacing * 0.37 + c * spacing * 0.11));
    }
    if (c == size_ - 1) right_[n] = 0;
    if (r == size_ - 1) up_[n] = 0;
  }
  for (int n : presetPins(preset, size_)) pinned_[static_cast<size_t>(n)] = 1;
  derive();
  setThreads(threads);
}

Cloth::~Cloth() = default;

int Cloth::threads() const {
  return pool_->size();
}

void Cloth::setThreads(int threads) {
  threads = std::clamp(threads, kMinThreads, kMaxThreads);
  if (pool_ && pool_->size() == threads) return;
  pool_.reset();
  pool_ = std::make_unique<WorkerPool>(threads);
  torn_.assign(static_cast<size_t>(threads), 0);
}

bool Cloth::setParams(const Params& params) {
  Params next = params;
  next.size = size_;
  std::string what;
  if (!paramsValid(next, what)) return false;
  params_ = next;
  derive();
  return true;
}

void Cloth::setCollider(std::shared_ptr<const Collider> collider) {
  collider_ = std::move(collider);
  derive();
}

void Cloth::setMeshes(std::vector<std::shared_ptr<const MeshObstacle>> meshes) {
  obstacles_.meshes = std::move(meshes);
}

// Mass and springs scale with the spacing h: a node carries the sheet's mass
// over h x h (unit areal density), and the spring constant stays the same,
// which keeps the sheet's stretch under a given load, and the speed of waves
// along it, the same at every size. The smaller masses of a fine sheet ring
// faster, so a frame takes as many steps as keep the fastest spring mode
// within one radian per step.
void Cloth::derive() {
  const double spacing = kSpan / (size_ - 1);
  rest_ = static_cast<float>(spacing);
  springFactor_ = static_cast<float>(params_.stiffness / (spacing * spacing));
  const double frameTime = params_.stepsPerFrame * params_.timeStep;
  const double fastest = 2.0 * std::sqrt(static_cast<double>(springFactor_));
  const int needed = static_cast<int>(std::ceil(fastest * frameTime));
  substeps_ = std::clamp(std::max(params_.stepsPerFrame, needed), 1, kMaxSubsteps);
  // XPBD is stable at any step: it takes the steps asked for.
  if (params_.solver == kSolverXpbd) substeps_ = std::clamp(params_.stepsPerFrame, 1, kMaxSubsteps);
  dt_ = frameTime / substeps_;
  dtPosition_ = static_cast<float>(dt_);
  gravity_ = zeVec3f(0.0f, 0.0f, -static_cast<float>(params_.gravity * dt_));
  keep_ = static_cast<float>(std::pow(static_cast<double>(params_.damping), dt_ / 0.01));
  obstacles_.place(params_, dynamic_cast<const HeightField*>(collider_.get()));
}

void Cloth::advance() {
  if (params_.solver == kSolverXpbd) return XpbdSolver::frame(*this);
  FrameJob job{this, substeps_, current_};
  pool_->run(&Cloth::stepJob, &job);
  if (substeps_ % 2 == 1) current_ ^= 1;
  stepCount_ += substeps_;
  for (long& t : torn_) {
    cut_ += t;
    t = 0;
  }
  ++frame_;
}

// One frame on one worker: its band of rows, step by step. Within a step the
// contact pass (which lifts nodes in place) is finished everywhere before any
// spring is evaluated; the move reads one position buffer and writes the
// other, so no worker's writes are seen by another's reads in the same pass.
void Cloth::stepJob(void* context, int worker, WorkerPool& pool) {
  const FrameJob& job = *static_cast<const FrameJob*>(context);
  Cloth& c = *job.cloth;
  const int workers = pool.size();
  const int firstRow = static_cast<int>(static_cast<long>(c.size_) * worker / workers);
  const int endRow = static_cast<int>(static_cast<long>(c.size_) * (worker + 1) / workers);
  for (int s = 0; s < job.substeps; ++s) {
    StepPlan plan;
    if (c.params_.wind)
      plan.wind = windOfStep(c.params_, static_cast<double>(c.stepCount_ + s) * c.dt_, c.dt_);
    const int from = (job.first + s) & 1;
    if (c.params_.terrain) c.contactRows(from, firstRow, endRow);
    pool.barrier();
    if (c.params_.tearing) {
      c.tearRows(from, firstRow, endRow, c.torn_[worker]);
      pool.barrier();
    }
    c.moveRows(from, firstRow, endRow, plan);
  }
}

// The collider puts the nodes inside it back onto its surface; they stay in
// contact for good. On ground that stops what lands, a node that touches
// also loses its velocity: one that slid on would be lifted in one step onto
// the top of a block it reached, and the springs to its neighbours would
// fling them.
void Cloth::contactRows(int from, int firstRow, int endRow) {
  if (!collider_) return;
  const ContactBand band{
      pos_[from].data(), vel_.data(),    contact_.data(),     pinned_.data(),
      firstRow * size_,  endRow * size_, params_.groundStops,
  };
  collider_->collide(band);
}

// Each node owns its links to the right and up, so each link is decided by
// one worker, from positions no one writes during this pass.
void Cloth::tearRows(int from, int firstRow, int endRow, long& torn) {
  const zeVec3f* pos = pos_[from].data();
  const float limit = params_.tearStretch * rest_;
  const float limitSquared = limit * limit;
  for (int n = firstRow * size_; n < endRow * size_; ++n) {
    if (right_[n] && (pos[n + 1] - pos[n]).lengthSquared() > limitSquared) {
      right_[n] = 0;
      ++torn;
    }
    if (up_[n] && (pos[n + size_] - pos[n]).lengthSquared() > limitSquared) {
      up_[n] = 0;
      ++torn;
    }
  }
}

namespace {

// The spring towards one neighbour: (length - rest) times the unit vector
// towards it, written as d - (d / length) * rest, and added to the running
// sum in neighbour order. A neighbour on the node itself has no direction
// and adds nothing.
inline void addSpring(const zeVec3f& p, const zeVec3f& q, float rest, zeVec3f& sum, bool& any) {
  const zeVec3f d(q.x - p.x, q.y - p.y, q.z - p.z);
  const float dist = std::sqrt((d.x * d.x + d.y * d.y) + d.z * d.z);
  if (dist == 0.0f) return;
  const zeVec3f t(d.x - (d.x / dist) * rest, d.y - (d.y / dist) * rest, d.z - (d.z / dist) * rest);
  if (any) {
    sum = zeVec3f(sum.x + t.x, sum.y + t.y, sum.z + t.z);
  } else {
    sum = t;
    any = true;
  }
}

}  // namespace

// The move of one step. A free node gains its spring increment (weighted as
// the four equal stages of drape's Runge-Kutta combination: the stages read
// the same positions, so they are equal), gravity and, with wind on, the
// wind on its face; a node in contact gains gravity alone; then the velocity
// is damped and the position advances. Pinned nodes stay where they are.
void Cloth::moveRows(int from, int firstRow, int endRow, const StepPlan& plan) {
  const zeVec3f* in = pos_[from].data();
  zeVec3f* out = pos_[from ^ 1].data();
  const int N = size_;
  const bool wind = params_.wind;
  for (int r = firstRow; r < endRow; ++r) {
    for (int c = 0; c < N; ++c) {
      const int n = r * N + c;
      const zeVec3f& p = in[n];
      if (pinned_[n]) {
        out[n] = p;
        continue;
      }
      zeVec3f& v = vel_[n];
      if (contact_[n]) {
#ifdef ZE_LANES
        // Gravity, damping and the move side by side in one register: the
        // same single-precision operations per component.
        const __m128 vel = _mm_mul_ps(_mm_add_ps(load3(v), load3(gravity_)), _mm_set1_ps(keep_));
        store3(v, vel);
        store3(out[n], _mm_add_ps(load3(p), _mm_mul_ps(vel, _mm_set1_ps(dtPosition_))));
        continue;
#else
        v = zeVec3f(v.x + gravity_.x, v.y + gravity_.y, v.z + gravity_.z);
#endif
      } else {
        zeVec3f sum;
        bool any = false;
        if (c > 0 && right_[n - 1]) addSpring(p, in[n - 1], rest_, sum, any);
        if (right_[n]) addSpring(p, in[n + 1], rest_, sum, any);
        if (r > 0 && up_[n - N]) addSpring(p, in[n - N], rest_, sum, any);
        if (up_[n]) addSpring(p, in[n + N], rest_, sum, any);
        const zeVec3f force(sum.x * springFactor_, sum.y * springFactor_, sum.z * springFactor_);
        // The increment of one step, formed in double and narrowed per
        // component, then the stage combination k/6 + k/3 + k/3 + k/6.
        const zeVec3f k(static_cast<float>(force.x * dt_), static_cast<float>(force.y * dt_),
                        static_cast<float>(force.z * dt_));
        zeVec3f gain((((k.x / 6.0f + k.x / 3.0f) + k.x / 3.0f) + k.x / 6.0f) + gravity_.x,
                     (((k.y / 6.0f + k.y / 3.0f) + k.y / 3.0f) + k.y / 6.0f) + gravity_.y,
                     (((k.z / 6.0f + k.z / 3.0f) + k.z / 3.0f) + k.z / 6.0f) + gravity_.z);
        if (wind) addWind(in, n, c, r, N, plan.wind, gain);
        v = zeVec3f(v.x + gain.x, v.y + gain.y, v.z + gain.z);
      }
      v = zeVec3f(v.x * keep_, v.y * keep_, v.z * keep_);
      out[n] = zeVec3f(p.x + v.x * dtPosition_, p.y + v.y * dtPosition_, p.z + v.z * dtPosition_);
    }
  }
}

bool Cloth::linkRight(int node) const {
  return right_[node] != 0;
}
bool Cloth::linkUp(int node) const {
  return up_[node] != 0;
}

bool Cloth::cutRight(int node) {
  if (!right_[node]) return false;
  right_[node] = 0;
  ++cut_;
  return true;
}

bool Cloth::cutUp(int node) {
  if (!up_[node]) return false;
  up_[node] = 0;
  ++cut_;
  return true;
}

void Cloth::setPinned(int node, bool pinned) {
  pinned_[node] = pinned ? 1 : 0;
  pinsChanged_ = true;
  if (pinned) {
    contact_[node] = 0;
    vel_[node] = zeVec3f();
  }
}

void Cloth::unpinAll() {
  std::fill(pinned_.begin(), pinned_.end(), 0);
  pinsChanged_ = true;
}

void Cloth::placeNode(int node, const zeVec3f& p) {
  pos_[current_][node] = p;
  vel_[node] = zeVec3f();
  contact_[node] = 0;
}

void Cloth::setNode(int node, const zeVec3f& pos, const zeVec3f& vel, bool contact) {
  pos_[current_][node] = pos;
  vel_[node] = vel;
  contact_[node] = contact ? 1 : 0;
}

}  // namespace cloth
