// The XPBD solver's passes after the constraints: tethers, then the nodes
// kept apart from each other, then out of the obstacles. Each pass changes
// only the nodes of the worker's own rows, from what no worker writes during
// it, so the bits do not depend on how the rows are split.
#include <cmath>

#include "cloth/cloth.h"
#include "cloth/workerPool.h"
#include "cloth/xpbdSolver.h"

namespace cloth {

void XpbdSolver::pullTethers(zeVec3f* x, int first, int end) const {
  for (int n = first; n < end; ++n) {
    for (int t = 0; t < kTethers; ++t) {
      const size_t k = static_cast<size_t>(n) * kTethers + t;
      const int a = anchor_[k];
      if (a < 0) break;
      const zeVec3f d(x[n].x - x[a].x, x[n].y - x[a].y, x[n].z - x[a].z);
      const float squared = (d.x * d.x + d.y * d.y) + d.z * d.z;
      const float reach = reach_[k];
      if (squared <= reach * reach) continue;
      const float length = std::sqrt(squared);
      const float f = (length - reach) / length;
      x[n] = zeVec3f(x[n].x - d.x * f, x[n].y - d.y * f, x[n].z - d.z * f);
    }
  }
}

namespace {

// Pairs closer on the sheet than this many thicknesses are left to the links
// between them (at the pile's thickness: the neighbours along a link and
// across a square), which hold them apart better than a push could.
constexpr float kSkipBelow = 1.5f;

}  // namespace

// Once a frame, from the positions at its start: one worker hashes them,
// then each finds the neighbours of its own rows.
void XpbdSolver::findNeighbours(Cloth& c, const ContactPlan& plan, const zeVec3f* x, int worker,
                                WorkerPool& pool, int firstRow, int endRow) {
  XpbdSolver& s = *c.xpbd_;
  if (worker == 0) s.self_.hash(x, plan.reach);
  pool.barrier();
  const int N = c.size_;
  s.self_.findNeighbours(x, plan.reach, c.rest_, kSkipBelow * plan.thickness, firstRow * N,
                         endRow * N);
  pool.barrier();
}

void XpbdSolver::collide(Cloth& c, const ContactPlan& plan, int step, WorkerPool& pool, zeVec3f* x,
                         const zeVec3f* x0, int firstRow, int endRow) {
  XpbdSolver& s = *c.xpbd_;
  const int first = firstRow * c.size_, end = endRow * c.size_;
  const float* inverseMass = s.free_.data();
  if (plan.selfCollision) {
    // Reads every node, writes the worker's own into the spare buffer.
    zeVec3f* out = s.separated_.data();
    s.self_.separate(x, inverseMass, plan.thickness, first, end, out);
    pool.barrier();
    for (int n = first; n < end; ++n) x[n] = out[n];
  }
  if (plan.obstacles)
    c.obstacles_.keepOut(x, x0, inverseMass, c.contact_.data(), first, end, plan.thickness,
                         plan.staticFriction, plan.kineticFriction, step, c.substeps_);
}

}  // namespace cloth
