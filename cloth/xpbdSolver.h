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

#include "cloth/selfCollision.h"
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
  // What a frame's obstacle and self-collision passes need.
  struct ContactPlan {
    bool obstacles;      // any obstacle to keep out of
    bool selfCollision;  // nodes kept apart
    float thickness;
    float reach;    // of the neighbour search, once a frame
    float maxMove;  // of a predicted move in one small step; 0 for no limit
    float staticFriction, kineticFriction;
  };
  static void stepJob(void* context, int worker, WorkerPool& pool);
  static void solveColour(const Cloth& cloth, const XpbdSolver& solver, const ColourPlan& plan,
                          bool cuts, zeVec3f* x, int firstRow, int endRow);
  void placeTethers(const Cloth& cloth);
  // The passes after the constraints (xpbdContacts.cpp), each for the rows
  // of one worker's band.
  void pullTethers(zeVec3f* x, int first, int end) const;
  static void findNeighbours(Cloth& cloth, const ContactPlan& plan, const zeVec3f* x, int worker,
                             WorkerPool& pool, int firstRow, int endRow);
  static void collide(Cloth& cloth, const ContactPlan& plan, int step, WorkerPool& pool, zeVec3f* x,
                      const zeVec3f* x0, int firstRow, int endRow);

  std::vector<float> free_;  // per node: 1 free, 0 pinned (as the pins were at the frame's start)
  bool tethersPlaced_ = false;        // for the pins as they are
  static constexpr int kTethers = 2;  // per node, to its nearest pins
  std::vector<int> anchor_;           // per node, kTethers: the pins it is tethered to, or -1
  std::vector<float> reach_;          // per node, kTethers: its rest distance from each
  std::vector<int> pins_;             // the pinned nodes, while placing tethers
  bool anyTether_ = false;
  SelfCollision self_;              // sized when self-collision is first on
  std::vector<zeVec3f> separated_;  // the self-collision pass's output
};

}  // namespace cloth
