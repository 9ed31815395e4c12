// The obstacles a cloth on the constraint solver meets: the ground plane,
// balls, boxes, closed meshes (through their distance grids) and drape's
// terrain as a height field, several at once. Each small step every node is
// kept `thickness` away from each of them, in a fixed order, with static
// and kinetic friction against the obstacle's own motion. A node's result
// depends on that node alone, so any split of the nodes among threads
// gives the same bits.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cloth/collider.h"
#include "cloth/colliderShapes.h"
#include "cloth/distanceGrid.h"
#include "cloth/params.h"
#include "zeu/zeVec3f.h"

namespace cloth {

/// A ball that may move: where it is now and where it was at the start of
/// the frame (its move is spread evenly over the frame's small steps).
struct MovingBall {
  SphereShape shape;
  zeVec3f previousCentre;
};

/// A closed mesh as read from a file, with its distance grid.
struct MeshObstacle {
  std::string file;    ///< the file it was read from, as given
  std::string digest;  ///< FNV-1a of the file's bytes, 16 hex digits
  TriangleMesh mesh;
  DistanceGrid grid;
};

/// Reads the closed mesh of the OBJ file at path, digests its bytes and
/// builds its distance grid; null, with what is wrong in `error`, when the
/// file cannot be read or is not a closed mesh.
std::shared_ptr<const MeshObstacle> loadMeshObstacle(const std::string& path, std::string& error);
/// The same from the bytes of such a file, called `name`.
std::shared_ptr<const MeshObstacle> meshObstacleFromText(const std::string& name,
                                                         const std::string& bytes,
                                                         std::string& error);

class Obstacles {
 public:
  bool ground = false;
  GroundShape groundShape;
  std::vector<MovingBall> balls;  ///< the first eight are met
  std::vector<BoxShape> boxes;
  std::vector<std::shared_ptr<const MeshObstacle>> meshes;
  /// A height field (drape's terrain), or nullptr for none.
  const HeightField* terrain = nullptr;

  /// Nothing to meet.
  bool empty() const {
    return !ground && balls.empty() && boxes.empty() && meshes.empty() && terrain == nullptr;
  }

  /// Keeps nodes [first, end) of x at least `thickness` out of every
  /// obstacle: x is where the small step `step` of `steps` in the frame
  /// put them, before where they were at its start. Nodes whose inverse
  /// mass is 0 (pinned, held) are left. Sets contact[n] to 1 for a node that
  /// touched, 0 for one that did not. A node that was inside the thickness
  /// of a ball, box, mesh or the ground at the step's start comes out a
  /// hundredth of the thickness a step, not at once (which would throw it).
  void keepOut(zeVec3f* x, const zeVec3f* before, const float* inverseMass, unsigned char* contact,
               int first, int end, float thickness, float staticFriction, float kineticFriction,
               int step, int steps) const;

  /// Sets every ball's previous centre to where it is (at a frame's end).
  void settle();

  /// Takes the ground, the ball and the box from the parameters, and the
  /// terrain (when params.terrain) from `field`; the meshes stay. A ball
  /// that was there already keeps its previous centre, so that a ball moved
  /// between frames sweeps through the next frame's steps. Allocates only
  /// when the ball or box first appears.
  void place(const Params& params, const HeightField* field);
};

}  // namespace cloth
