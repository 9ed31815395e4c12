#include "cloth/selfCollision.h"

#include <algorithm>
#include <cmath>

namespace cloth {

namespace {

inline int cellCoordinate(float v, float cell) {
  return static_cast<int>(std::floor(v / cell));
}

}  // namespace

void SelfCollision::resize(int size) {
  size_ = size;
  const size_t count = static_cast<size_t>(size) * size;
  // Slots: a power of two of at least twice the nodes, so that a slot is a
  // mask away from the cell's hash.
  size_t slots = 1;
  while (slots < 2 * count) slots *= 2;
  mask_ = static_cast<uint32_t>(slots - 1);
  start_.assign(slots + 1, 0);
  entries_.assign(count, 0);
  cellOfNode_.assign(count, 0);
  near_.assign(count * kMaxNeighbours, 0);
  count_.assign(count, 0);
}

// Linear in the cell's x, so that the three cells of a row that a search
// looks at are neighbouring slots, whose nodes lie together in entries_.
uint32_t SelfCollision::cellOf(int ix, int iy, int iz) const {
  const uint32_t h = static_cast<uint32_t>(ix) + static_cast<uint32_t>(iy) * 92837111u +
                     static_cast<uint32_t>(iz) * 689287499u;
  return h & mask_;
}

// A counting sort of the nodes by cell: entries of one cell in node order.
void SelfCollision::hash(const zeVec3f* pos, float reach) {
  cell_ = reach;
  const int count = size_ * size_;
  std::fill(start_.begin(), start_.end(), 0);
  for (int n = 0; n < count; ++n) {
    const zeVec3f& p = pos[n];
    const uint32_t c =
        cellOf(cellCoordinate(p.x, cell_), cellCoordinate(p.y, cell_), cellCoordinate(p.z, cell_));
    cellOfNode_[static_cast<size_t>(n)] = c;
    ++start_[c + 1];
  }
  for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
  // Filled from the back, each node put just before its cell's end, which
  // leaves each cell's run ascending and start_[c + 1] at cell c's start.
  for (int n = count - 1; n >= 0; --n) {
    const uint32_t c = cellOfNode_[static_cast<size_t>(n)];
    entries_[static_cast<size_t>(--start_[c + 1])] = n;
  }
  // Back to start_[c] = where cell c begins, start_[c + 1] where it ends.
  const size_t cells = start_.size() - 1;
  for (size_t c = 0; c < cells; ++c) start_[c] = start_[c + 1];
  start_[cells] = count;
}

void SelfCollision::findNeighbours(const zeVec3f* pos, float reach, float rest, float skipBelow,
                                   int first, int end) {
  const float reach2 = reach * reach;
  // Grid offsets (dc, dr) whose rest distance is under skipBelow are those
  // with dc^2 + dr^2 under this many squared spacings.
  const float skipSpacings2 = (skipBelow / rest) * (skipBelow / rest);
  for (int n = first; n < end; ++n) {
    const zeVec3f& p = pos[n];
    const int cx = cellCoordinate(p.x, cell_), cy = cellCoordinate(p.y, cell_),
              cz = cellCoordinate(p.z, cell_);
    const int col = n % size_, row = n / size_;
    int32_t* out = &near_[static_cast<size_t>(n) * kMaxNeighbours];
    int found = 0;
    // The nodes of slots [from, to): the three cells of one row at once.
    auto scan = [&](uint32_t from, uint32_t to) {
      for (int32_t e = start_[from]; e < start_[to]; ++e) {
        const int m = entries_[static_cast<size_t>(e)];
        if (m == n) continue;
        const zeVec3f& q = pos[m];
        const float ex = q.x - p.x, ey = q.y - p.y, ez = q.z - p.z;
        if ((ex * ex + ey * ey) + ez * ez > reach2) continue;
        const int dc = m % size_ - col, dr = m / size_ - row;
        if (static_cast<float>(dc * dc + dr * dr) < skipSpacings2) continue;
        // Distinct cells can share a hash slot: take each node once.
        bool seen = false;
        for (int k = 0; k < found && !seen; ++k) seen = out[k] == m;
        if (!seen && found < kMaxNeighbours) out[found++] = m;
      }
    };
    for (int dz = -1; dz <= 1; ++dz)
      for (int dy = -1; dy <= 1; ++dy) {
        const uint32_t c = cellOf(cx - 1, cy + dy, cz + dz);
        if (c + 2 <= mask_) {
          scan(c, c + 3);
        } else {  // the row wraps round the end of the slots
          for (uint32_t k = 0; k < 3; ++k) scan((c + k) & mask_, ((c + k) & mask_) + 1);
        }
      }
    // In node order, whatever order the cells gave them in.
    std::sort(out, out + found);
    count_[static_cast<size_t>(n)] = static_cast<uint8_t>(found);
  }
}

void SelfCollision::separate(const zeVec3f* in, const float* inverseMass, float thickness,
                             int first, int end, zeVec3f* out) const {
  const float thick2 = thickness * thickness;
  for (int n = first; n < end; ++n) {
    const zeVec3f& p = in[n];
    const float w = inverseMass[n];
    zeVec3f moved = p;
    if (w > 0.0f) {
      const int32_t* near = neighbours(n);
      for (int k = 0; k < count_[static_cast<size_t>(n)]; ++k) {
        const int m = near[k];
        const zeVec3f& q = in[m];
        const float ex = p.x - q.x, ey = p.y - q.y, ez = p.z - q.z;
        const float d2 = (ex * ex + ey * ey) + ez * ez;
        if (d2 >= thick2 || d2 == 0.0f) continue;
        const float d = std::sqrt(d2);
        // This node's share of the overlap, by inverse mass.
        const float share = w / (w + inverseMass[m]) * (thickness - d) / d;
        moved = zeVec3f(moved.x + ex * share, moved.y + ey * share, moved.z + ez * share);
      }
    }
    out[n] = moved;
  }
}

}  // namespace cloth
