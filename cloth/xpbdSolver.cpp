#include "cloth/xpbdSolver.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "cloth/cloth.h"
#include "cloth/collider.h"
#include "cloth/constraints.h"
#include "cloth/wind.h"
#include "cloth/workerPool.h"
#include "cloth/xpbdLanes.h"

namespace cloth {

namespace {

constexpr double kSpan = 59.0;  // the sheet's side, as in cloth.cpp

constexpr int kMaxColours = 16;

// The self-collision search reaches this many thicknesses.
constexpr float kReach = 2.0f;

// Pulls a and b towards the rest length: C = |b - a| - rest, moved by
// C / (wa + wb + softness) along the link, the free ends only.
inline void project(zeVec3f& a, zeVec3f& b, bool freeA, bool freeB, float rest, float softness) {
  const zeVec3f d(b.x - a.x, b.y - a.y, b.z - a.z);
  const float length = std::sqrt((d.x * d.x + d.y * d.y) + d.z * d.z);
  const float weights = static_cast<float>(freeA) + static_cast<float>(freeB);
  if (length == 0.0f || weights == 0.0f) return;
  const float s = (length - rest) / (length * (weights + softness));
  const zeVec3f m(d.x * s, d.y * s, d.z * s);
  if (freeA) a = zeVec3f(a.x + m.x, a.y + m.y, a.z + m.z);
  if (freeB) b = zeVec3f(b.x - m.x, b.y - m.y, b.z - m.z);
}

}  // namespace

// What the links of one colour need: the colour, its rest length and its
// compliance over the node mass and the step squared (XPBD's alpha~ times
// the mass, which every free node shares).
struct XpbdSolver::ColourPlan {
  Colour colour;
  float rest;
  float softness;
};

struct XpbdSolver::Job {
  Cloth* cloth;
  XpbdSolver* solver;
  int substeps;
  int first;  // buffer holding the positions at the frame's start
  bool tethers;
  float invDt;
  int colourCount;
  ColourPlan plans[kMaxColours];
  ContactPlan contacts;
};

XpbdSolver::XpbdSolver(int nodes)
    : free_(static_cast<size_t>(nodes), 1.0f),
      anchor_(static_cast<size_t>(nodes) * kTethers, -1),
      reach_(static_cast<size_t>(nodes) * kTethers, 0.0f) {
  pins_.reserve(static_cast<size_t>(nodes));
}

// Each free node is tethered to the two pins nearest to it on the flat sheet,
// at their distances on it (Kim et al. 2012): in an uncut sheet no path along
// the cloth is shorter, so a tether never pulls a sheet at rest. Two, not
// one: the edge between two pins at their rest distance apart is held
// straight only by tethers to both.
void XpbdSolver::placeTethers(const Cloth& c) {
  const int N = c.size_;
  pins_.clear();
  for (int n = 0; n < c.count_; ++n)
    if (c.pinned_[n]) pins_.push_back(n);
  anyTether_ = !pins_.empty();
  const double spacing = kSpan / (N - 1);
  for (int n = 0; n < c.count_; ++n) {
    int* anchor = &anchor_[static_cast<size_t>(n) * kTethers];
    float* reach = &reach_[static_cast<size_t>(n) * kTethers];
    long best[kTethers];
    for (int t = 0; t < kTethers; ++t) {
      anchor[t] = -1;
      best[t] = -1;
    }
    if (c.pinned_[n]) continue;
    const int r = n / N, col = n % N;
    for (int p : pins_) {
      const long dr = p / N - r, dc = p % N - col;
      long d2 = dr * dr + dc * dc;
      int a = p;
      // Insertion into the short sorted list, the earlier pin first on ties.
      for (int t = 0; t < kTethers; ++t) {
        if (best[t] < 0 || d2 < best[t]) {
          std::swap(best[t], d2);
          std::swap(anchor[t], a);
          if (a < 0) break;
        }
      }
    }
    for (int t = 0; t < kTethers; ++t)
      reach[t] =
          static_cast<float>(spacing * std::sqrt(static_cast<double>(best[t] < 0 ? 0 : best[t])));
  }
}

void XpbdSolver::frame(Cloth& c) {
  if (!c.xpbd_) c.xpbd_ = std::make_unique<XpbdSolver>(c.count_);
  XpbdSolver& s = *c.xpbd_;
  // A tether across a cut would pull what the cut set free: a sheet that
  // has lost a link keeps none.
  const bool tethers = c.params_.tethers && c.cut_ == 0;
  if (c.pinsChanged_) {
    for (int n = 0; n < c.count_; ++n) s.free_[n] = c.pinned_[n] ? 0.0f : 1.0f;
    s.tethersPlaced_ = false;
    c.pinsChanged_ = false;
  }
  if (tethers && !s.tethersPlaced_) {
    s.placeTethers(c);
    s.tethersPlaced_ = true;
  }
  Job job;
  job.cloth = &c;
  job.solver = &s;
  job.substeps = c.substeps_;
  job.first = c.current_;
  job.tethers = tethers && s.anyTether_;
  job.invDt = static_cast<float>(1.0 / c.dt_);
  const double spacing = kSpan / (c.size_ - 1);
  const Params& p = c.params_;
  ContactPlan& plan = job.contacts;
  plan.obstacles = !c.obstacles_.empty();
  plan.selfCollision = p.selfCollision;
  plan.thickness = p.thickness;
  plan.reach = kReach * p.thickness;
  // With self-collision a node moves at most (reach - thickness) / 2 in a
  // frame, so that no pair farther apart than the reach at the frame's start
  // comes within the thickness before the next search; otherwise at most the
  // thickness in one small step, so that nothing passes through an obstacle.
  plan.maxMove = plan.selfCollision
                     ? (plan.reach - p.thickness) * 0.5f / static_cast<float>(c.substeps_)
                 : plan.obstacles ? p.thickness
                                  : 0.0f;
  // A ground that stops what lands holds every contact.
  plan.staticFriction = p.groundStops ? 1e30f : p.staticFriction;
  plan.kineticFriction = p.kineticFriction;
  if (plan.selfCollision && s.separated_.size() != static_cast<size_t>(c.count_)) {
    s.self_.resize(c.size_);
    s.separated_.resize(static_cast<size_t>(c.count_));
  }
  const double massOverStep = spacing * spacing / (c.dt_ * c.dt_);
  const Colour* colours = cloth::colours(job.colourCount);
  for (int k = 0; k < job.colourCount; ++k) {
    const Colour& colour = colours[k];
    const float compliance = colour.kind == LinkKind::stretch ? c.params_.stretchCompliance
                             : colour.kind == LinkKind::shear ? c.params_.shearCompliance
                                                              : c.params_.bendCompliance;
    job.plans[k] = ColourPlan{colour, static_cast<float>(spacing * restSpacings(colour)),
                              static_cast<float>(compliance * massOverStep)};
  }
  c.pool_->run(&XpbdSolver::stepJob, &job);
  c.obstacles_.settle();
  if (c.substeps_ % 2 == 1) c.current_ ^= 1;
  c.stepCount_ += c.substeps_;
  for (long& t : c.torn_) {
    c.cut_ += t;
    t = 0;
  }
  ++c.frame_;
}

namespace {

// Whether the link of a colour from base node n is there: a stretch link
// until it is cut; a shear diagonal while its quad keeps all four edges; a
// bending link while both links it spans are there. What crosses a cut
// goes with it, so nothing pulls across it.
inline bool intact(const Colour& k, const uint8_t* right, const uint8_t* up, int n, int N) {
  switch (k.kind) {
    case LinkKind::stretch:
      return k.dc == 1 ? right[n] : up[n];
    case LinkKind::shear: {
      const int q = k.dc == 1 ? n : n - 1;  // the quad's lower left node
      return right[q] && right[q + N] && up[q] && up[q + 1];
    }
    case LinkKind::bend:
      return k.dc == 2 ? right[n] && right[n + 1] : up[n] && up[n + N];
  }
  return false;
}

}  // namespace

// One colour's links in the worker's band of base rows.
void XpbdSolver::solveColour(const Cloth& c, const XpbdSolver& s, const ColourPlan& plan, bool cuts,
                             zeVec3f* x, int firstRow, int endRow) {
  const int N = c.size_;
  const uint8_t* pinned = c.pinned_.data();
  const uint8_t* right = c.right_.data();
  const uint8_t* up = c.up_.data();
  const Colour& colour = plan.colour;
  const int offset = colour.dr * N + colour.dc;
  auto one = [&](int a) {
    if (intact(colour, right, up, a, N))
      project(x[a], x[a + offset], !pinned[a], !pinned[a + offset], plan.rest, plan.softness);
  };
#ifdef XPBD_LANES
  using xpbdLanes::Group;
  const float* free = s.free_.data();
  // Four links at a time: the lanes whose link is there, from the bases'
  // offsets in the group.
  auto live = [&](int a, int k0, int k1, int k2, int k3) {
    if (!cuts) return _mm_castsi128_ps(_mm_set1_epi32(-1));
    auto m = [&](int k) { return intact(colour, right, up, a + k, N) ? -1 : 0; };
    return _mm_castsi128_ps(_mm_setr_epi32(m(k0), m(k1), m(k2), m(k3)));
  };
  const int cHi = colour.dc > 0 ? N - colour.dc : N;
  forEachRow(colour, N, firstRow, endRow, [&](int r) {
    const int row = r * N;
    if (colour.dr != 0) {  // bases cLo .. cHi - 1, far ends a row or two up
      int col = colour.dc < 0 ? -colour.dc : 0;
      for (; col + 8 <= cHi; col += 8) {
        const int a = row + col;
        xpbdLanes::projectTwo<Group::rows>(&x[a], &x[a + offset], free + a, free + a + offset, 4,
                                           live(a, 0, 1, 2, 3), live(a + 4, 0, 1, 2, 3), plan.rest,
                                           plan.softness);
      }
      for (; col + 4 <= cHi; col += 4) {
        const int a = row + col;
        xpbdLanes::project<Group::rows>(&x[a], &x[a + offset], free + a, free + a + offset,
                                        live(a, 0, 1, 2, 3), plan.rest, plan.softness);
      }
      for (; col < cHi; ++col) one(row + col);
    } else if (colour.colBlock == 1) {  // bases 2j + parity, far ends one to the right
      int col = colour.colParity;
      for (; col + 14 < cHi; col += 16) {
        const int a = row + col;
        xpbdLanes::projectTwo<Group::alternate>(&x[a], nullptr, free + a, nullptr, 8,
                                                live(a, 0, 2, 4, 6), live(a + 8, 0, 2, 4, 6),
                                                plan.rest, plan.softness);
      }
      for (; col + 6 < cHi; col += 8) {
        const int a = row + col;
        xpbdLanes::project<Group::alternate>(&x[a], nullptr, free + a, nullptr, live(a, 0, 2, 4, 6),
                                             plan.rest, plan.softness);
      }
      for (; col < cHi; col += 2) one(row + col);
    } else {  // bases in pairs 4j + 2 parity, + 1, far ends two to the right
      int col = 2 * colour.colParity;
      for (; col + 13 < cHi; col += 16) {
        const int a = row + col;
        xpbdLanes::projectTwo<Group::pairs>(&x[a], nullptr, free + a, nullptr, 8,
                                            live(a, 0, 1, 4, 5), live(a + 8, 0, 1, 4, 5), plan.rest,
                                            plan.softness);
      }
      for (; col + 5 < cHi; col += 8) {
        const int a = row + col;
        xpbdLanes::project<Group::pairs>(&x[a], nullptr, free + a, nullptr, live(a, 0, 1, 4, 5),
                                         plan.rest, plan.softness);
      }
      for (; col < cHi; col += 4) {
        one(row + col);
        if (col + 1 < cHi) one(row + col + 1);
      }
    }
  });
#else
  (void)s;
  (void)cuts;
  forEachBase(colour, N, firstRow, endRow, [&](int r, int col) { one(r * N + col); });
#endif
}

void XpbdSolver::stepJob(void* context, int worker, WorkerPool& pool) {
  const Job& job = *static_cast<const Job*>(context);
  Cloth& c = *job.cloth;
  const XpbdSolver& s = *job.solver;
  const int N = c.size_;
  const int workers = pool.size();
  const int firstRow = static_cast<int>(static_cast<long>(N) * worker / workers);
  const int endRow = static_cast<int>(static_cast<long>(N) * (worker + 1) / workers);
  const uint8_t* pinned = c.pinned_.data();
  zeVec3f* vel = c.vel_.data();
  const float dt = c.dtPosition_;
  const bool wind = c.params_.wind;
  const ContactPlan& contacts = job.contacts;
  const float maxMove = contacts.maxMove, maxMoveSquared = maxMove * maxMove;
  if (contacts.selfCollision)
    findNeighbours(c, contacts, c.pos_[job.first].data(), worker, pool, firstRow, endRow);
  for (int step = 0; step < job.substeps; ++step) {
    const int from = (job.first + step) & 1;
    const zeVec3f* x0 = c.pos_[from].data();
    zeVec3f* x = c.pos_[from ^ 1].data();
    zeVec3f windGain;
    if (wind)
      windGain = windOfStep(c.params_, static_cast<double>(c.stepCount_ + step) * c.dt_, c.dt_);

    // Prediction, reading the step's start and writing the other buffer.
    for (int r = firstRow; r < endRow; ++r) {
      for (int col = 0; col < N; ++col) {
        const int n = r * N + col;
        const zeVec3f& p = x0[n];
        if (pinned[n]) {
          x[n] = p;
          continue;
        }
        zeVec3f v = vel[n];
        v = zeVec3f(v.x + c.gravity_.x, v.y + c.gravity_.y, v.z + c.gravity_.z);
        if (wind) addWind(x0, n, col, r, N, windGain, v);
        if (maxMove > 0.0f) {
          const float moveSquared = ((v.x * v.x + v.y * v.y) + v.z * v.z) * (dt * dt);
          if (moveSquared > maxMoveSquared) {
            const float f = maxMove / std::sqrt(moveSquared);
            v = zeVec3f(v.x * f, v.y * f, v.z * f);
          }
        }
        vel[n] = v;
        x[n] = zeVec3f(p.x + v.x * dt, p.y + v.y * dt, p.z + v.z * dt);
      }
    }
    pool.barrier();

    // One pass over the constraints, colour by colour. Links cut or torn
    // up to the last step are looked at only when there are any.
    bool cuts = c.cut_ > 0;
    for (long t : c.torn_) cuts = cuts || t > 0;
    for (int k = 0; k < job.colourCount; ++k) {
      solveColour(c, s, job.plans[k], cuts, x, firstRow, endRow);
      pool.barrier();
    }

    // Tethers: each free node within its reach of its pin (pins do not move
    // within a step, so this pass reads nothing another worker writes).
    if (job.tethers) {
      s.pullTethers(x, firstRow * N, endRow * N);
      pool.barrier();
    }
    if (contacts.selfCollision || contacts.obstacles) {
      collide(c, contacts, step, pool, x, x0, firstRow, endRow);
      pool.barrier();
    }

    // Velocities from the positions, damped; then what is stretched past the
    // limit tears (each node owns its links to the right and up).
    const float keep = c.keep_;
    const float limit = c.params_.tearStretch * c.rest_;
    const float limitSquared = limit * limit;
    long& torn = c.torn_[worker];
    for (int n = firstRow * N; n < endRow * N; ++n) {
      if (pinned[n]) continue;
      const float vx = (x[n].x - x0[n].x) * job.invDt, vy = (x[n].y - x0[n].y) * job.invDt,
                  vz = (x[n].z - x0[n].z) * job.invDt;
      vel[n] = zeVec3f(vx * keep, vy * keep, vz * keep);
    }
    if (c.params_.tearing) {
      for (int n = firstRow * N; n < endRow * N; ++n) {
        if (c.right_[n] && (x[n + 1] - x[n]).lengthSquared() > limitSquared) {
          c.right_[n] = 0;
          ++torn;
        }
        if (c.up_[n] && (x[n + N] - x[n]).lengthSquared() > limitSquared) {
          c.up_[n] = 0;
          ++torn;
        }
      }
    }
  }
}

}  // namespace cloth
