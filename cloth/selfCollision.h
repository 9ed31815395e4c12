// Keeping a sheet's nodes apart from each other: a spatial hash finds, once
// a frame, the nodes near each node; then each small step moves every node
// out of the neighbours it is closer to than the thickness. Each node's move
// is gathered from its own neighbours in a fixed order from positions no one
// writes during the pass (no atomics, no sums whose order depends on the
// threads), so any thread count and the browser give the same bits.
#pragma once

#include <cstdint>
#include <vector>

#include "zeu/zeVec3f.h"

namespace cloth {

class SelfCollision {
 public:
  /// The most neighbours a node keeps (the nearest ones, by index order of
  /// the cells they are found in, are kept when there are more).
  static constexpr int kMaxNeighbours = 32;

  /// Makes room for a sheet of size x size nodes; nothing is allocated later.
  void resize(int size);

  /// Builds the hash of the positions (one thread; cells of `reach`).
  void hash(const zeVec3f* pos, float reach);
  /// Finds the neighbours of nodes [first, end): the nodes within reach of
  /// each, leaving out those whose distance at rest (spacing `rest` on the
  /// grid) is below `skipBelow`. May run on several threads for disjoint
  /// ranges after hash().
  void findNeighbours(const zeVec3f* pos, float reach, float rest, float skipBelow, int first,
                      int end);

  /// For nodes [first, end) of `in`, the position moved out of every
  /// neighbour nearer than `thickness`, shared by inverse mass, into `out`.
  /// Reads only `in`, so disjoint ranges may run on several threads.
  void separate(const zeVec3f* in, const float* inverseMass, float thickness, int first, int end,
                zeVec3f* out) const;

  /// The neighbours of a node found last.
  int neighbourCount(int node) const { return count_[static_cast<size_t>(node)]; }
  const int32_t* neighbours(int node) const {
    return &near_[static_cast<size_t>(node) * kMaxNeighbours];
  }

 private:
  uint32_t cellOf(int ix, int iy, int iz) const;
  int size_ = 0;
  float cell_ = 1;
  uint32_t mask_ = 0;             // slots - 1
  std::vector<int32_t> start_;    // per hash cell, where its nodes begin in entries_
  std::vector<int32_t> entries_;  // node indices, grouped by cell, ascending within one
  std::vector<uint32_t> cellOfNode_;
  std::vector<int32_t> near_;   // kMaxNeighbours slots per node
  std::vector<uint8_t> count_;  // used slots per node
};

}  // namespace cloth
