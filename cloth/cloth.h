// A square sheet of N x N nodes on springs that falls onto drape's terrain
// (or whatever collider it is given): the cloth as a component of its own,
// at any size from 8 x 8 to 512 x 512, stepped on a pool of threads.
//
// Node n sits at column n % N and row n / N; columns run along x, rows along
// y, and the sheet spans x, y from -29 to 30 at height 30 at every size. Each
// node is tied to its four grid neighbours by links that can be cut. A step
// lets the collider put nodes that are inside it back onto its surface (they
// stay in contact), evaluates the springs of every free node against the positions of the
// step's start, and moves every node that is not pinned.
//
// The arithmetic of a step is the same whatever the number of threads: each
// node's new state depends only on the previous state, and nothing is summed
// across nodes. At 60 x 60 with drape's parameters a frame performs, node by
// node, exactly the float operations of drape's own frame, so the two give
// the same bits.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "cloth/collider.h"
#include "cloth/obstacles.h"
#include "cloth/params.h"
#include "zeu/zeVec3f.h"

namespace cloth {

class WorkerPool;
class XpbdSolver;

/// The cloth: its nodes, links, parameters and the threads that step it.
class Cloth {
 public:
  /// A flat sheet at height 30 with the preset's pins, at rest, at frame 0,
  /// over drape's terrain. params.size must lie within kMinSize..kMaxSize.
  /// threads is clamped to 1..64.
  Cloth(Preset preset, const Params& params, int threads = 1);
  /// The same over the given collider; null for nothing to collide with.
  Cloth(Preset preset, const Params& params, int threads, std::shared_ptr<const Collider> collider);
  ~Cloth();
  Cloth(const Cloth&) = delete;
  Cloth& operator=(const Cloth&) = delete;

  /// Advances one frame: the parameters' steps per frame (more when the
  /// springs at this size need smaller steps to stay stable). With
  /// params().solver kSolverXpbd, cloth/xpbdSolver.h steps it instead.
  void advance();

  /// Nodes along each side.
  int size() const { return size_; }
  /// Nodes in all, size() * size().
  int nodeCount() const { return count_; }
  /// Frames advanced since construction.
  long frame() const { return frame_; }
  /// The preset the cloth was built from.
  Preset preset() const { return preset_; }
  /// The parameters in force.
  const Params& params() const { return params_; }
  /// Changes the parameters from the next step on; the size stays (it is
  /// fixed at construction). False, with nothing changed, when a value is
  /// out of range.
  bool setParams(const Params& params);
  /// Steps actually taken per frame.
  int stepsPerFrame() const { return substeps_; }
  /// Distance between neighbouring nodes at rest.
  float restLength() const { return rest_; }

  /// What the cloth collides with; null when nothing.
  const Collider* collider() const { return collider_.get(); }
  /// Collides with collider (null: nothing) from the next step on; nodes in
  /// contact stay in contact.
  void setCollider(std::shared_ptr<const Collider> collider);

  /// What the XPBD solver keeps the cloth out of: the ground, ball and box
  /// of the parameters, the terrain, and the meshes given below.
  const Obstacles& obstacles() const { return obstacles_; }
  /// Closed meshes to keep the cloth out of (XPBD solver), replacing any.
  void setMeshes(std::vector<std::shared_ptr<const MeshObstacle>> meshes);

  /// The worker threads (the calling one included).
  int threads() const;
  /// Replaces the pool by one of threads workers (1..64); the state and the
  /// results are unaffected.
  void setThreads(int threads);

  /// Node positions, velocities and contact flags, in node order.
  const zeVec3f* positions() const { return pos_[current_].data(); }
  const zeVec3f* velocities() const { return vel_.data(); }
  bool inContact(int node) const { return contact_[node] != 0; }
  bool pinned(int node) const { return pinned_[node] != 0; }

  /// Pins or frees a node. A pinned node does not move and is out of contact.
  void setPinned(int node, bool pinned);
  /// Frees every node.
  void unpinAll();
  /// Puts a node at p at rest (for dragging a node by hand); it leaves contact.
  void placeNode(int node, const zeVec3f& p);

  /// The link from node to its column + 1 neighbour (right) or its row + 1
  /// neighbour (up); false when cut or when there is no such neighbour.
  bool linkRight(int node) const;
  bool linkUp(int node) const;
  /// Cuts a link; false when it was already cut or does not exist.
  bool cutRight(int node);
  bool cutUp(int node);
  /// Links cut or torn since construction.
  long cutLinks() const { return cut_; }

  /// Sets a node's whole state (for restoring a saved cloth).
  void setNode(int node, const zeVec3f& pos, const zeVec3f& vel, bool contact);
  /// Sets the frame counter (for restoring a saved cloth).
  void setFrame(long frame) { frame_ = frame; }
  /// Steps taken since construction: the clock the wind's gusts follow.
  long stepCount() const { return stepCount_; }
  /// Sets the step count (for restoring a saved cloth, whose gusts go on
  /// from where they were).
  void setStepCount(long steps) { stepCount_ = steps; }

 private:
  friend class XpbdSolver;  // the second solver steps the same state
  struct StepPlan;
  static void stepJob(void* context, int worker, WorkerPool& pool);
  void derive();
  void contactRows(int from, int firstRow, int endRow);
  void tearRows(int from, int firstRow, int endRow, long& torn);
  void moveRows(int from, int firstRow, int endRow, const StepPlan& plan);

  Preset preset_;
  Params params_;
  int size_;
  int count_;
  long frame_ = 0;
  long stepCount_ = 0;
  long cut_ = 0;

  // Derived from the parameters and the size.
  float rest_;          // spacing at rest
  float springFactor_;  // stiffness per node mass
  double dt_;           // time of one step
  float dtPosition_;    // the same, as the float the positions advance by
  zeVec3f gravity_;     // velocity change of one step
  float keep_;          // velocity kept over one step
  int substeps_;

  std::vector<zeVec3f> pos_[2];  // current and next positions
  int current_ = 0;
  std::vector<zeVec3f> vel_;
  std::vector<uint8_t> contact_;
  std::vector<uint8_t> pinned_;
  std::vector<uint8_t> right_;  // link to column + 1 intact
  std::vector<uint8_t> up_;     // link to row + 1 intact
  std::unique_ptr<WorkerPool> pool_;
  std::shared_ptr<const Collider> collider_;
  std::vector<long> torn_;  // per worker, for the last step
  // Made by the first frame the XPBD solver takes.
  std::unique_ptr<XpbdSolver> xpbd_;
  // The pins changed since the XPBD solver last placed its tethers.
  bool pinsChanged_ = true;
  Obstacles obstacles_;
};

/// FNV-1a 64 over every node in order: position x, y, z and velocity x, y, z
/// (each float's four bytes, least significant first), then the contact flag
/// as one byte (0 or 1). Equal cloths give equal digests.
uint64_t digest(const Cloth& cloth);

}  // namespace cloth
