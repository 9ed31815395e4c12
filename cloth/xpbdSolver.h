// The cloth's second solver: extended position-based dynamics (XPBD) in
// small steps, on the cloth's own state.
//
// Each small step predicts every free node's position from its velocity,
// gravity and the wind, lifts it onto the terrain when that is on, makes one
// pass over the constraints (cloth/constraints.h) colour by colour with
// XPBD's compliance (the multipliers start at zero in every step, so one
// pass needs none kept), pulls nodes back within their tethers, and takes
// the velocities from the positions, damped. A node carries the mass of the
// sheet over h x h (unit areal density, as the springs), pinned nodes none
// of its inverse.
//
// The colours are solved in a fixed order, each split among the workers by
// bands of base rows with a barrier between colours; no two links of a
// colour share a node, so the bits are the same on any number of threads.
#pragma once

#include <vector>

#include "zeu/zeVec3f.h"

namespace cloth {

class Cloth;
class WorkerPool;

/// The XPBD solver's own state: the tethers, placed when the pins change.
class XpbdSolver {
 public:
  explicit XpbdSolver(int nodes);
  /// Advances the cloth one frame of its steps per frame.
  static void frame(Cloth& cloth);

 private:
  struct ColourPlan;
  struct Job;
  static void stepJob(void* context, int worker, WorkerPool& pool);
  static void solveColour(const Cloth& cloth, const XpbdSolver& solver, const ColourPlan& plan,
                          bool cuts, zeVec3f* x, int firstRow, int endRow);
  void placeTethers(const Cloth& cloth);

  std::vector<float> free_;  // per node: 1 free, 0 pinned (as the pins were at the frame's start)
  bool tethersPlaced_ = false;        // for the pins as they are
  static constexpr int kTethers = 2;  // per node, to its nearest pins
  std::vector<int> anchor_;           // per node, kTethers: the pins it is tethered to, or -1
  std::vector<float> reach_;          // per node, kTethers: its rest distance from each
  std::vector<int> pins_;             // the pinned nodes, while placing tethers
  bool anyTether_ = false;
};

}  // namespace cloth
