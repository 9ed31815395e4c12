// The lab's picture of the cloth: the surface mesh (which the shape library
// draws and picks), drape's net of lines over it, the looks that choose
// between them, and points drawn over everything (pins, the node under the
// pointer). It follows the cloth: faces lost with cut links, positions each
// frame, lighting normals when the cloth has moved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "cloth/cloth.h"
#include "explorer/looks.h"
#include "viewkit/view/orbitCamera.h"
#include "zeShape/zeNiceShapes.h"
#include "zeShape/zeShapeArrays.h"

namespace explorer {

class ClothView {
 public:
  /// Meshes for a cloth of size x size nodes.
  explicit ClothView(int size);
  ~ClothView();
  ClothView(const ClothView&) = delete;
  ClothView& operator=(const ClothView&) = delete;

  zeMeshShape* mesh;  ///< node n is vertex n; made again when the size changes

  /// New meshes for a cloth of another size.
  void resize(int size);
  /// The cloth's nodes have moved: the lighting normals are made again
  /// before the next look that draws the surface.
  void clothMoved() { normalsStale_ = true; }
  /// The surface's faces, when links went since they were made.
  void syncFaces(const cloth::Cloth& cloth);
  /// The mesh's vertices at the cloth's positions.
  void syncPositions(const cloth::Cloth& cloth);

  /// Draws the cloth in a look, through the camera about the window point
  /// (cx, cy). Every look makes the mesh's window positions, for picking.
  void draw(const cloth::Cloth& cloth, Look look, const viewkit::OrbitCamera& camera, float cx,
            float cy);
  /// The largest strain of the cloth's links at the last draw in the
  /// strain look.
  float largestStrain() const { return largestStrain_; }
  /// Points over everything, unlit, at the nodes as last drawn.
  void drawPoints(const int* nodes, size_t count, float size, const float colour[3]) const;

  /// Sends the surface and the net in calls of at most `vertices`
  /// consecutive vertices, interleaved, for GL implementations such as the
  /// browser's emulation.
  void drawInShortCalls(int32_t vertices);

 private:
  void buildNet(const cloth::Cloth& cloth);
  void paintStrains(const cloth::Cloth& cloth);
  void paintPlain();
  void drawSurface(Look look);
  void drawNet(const cloth::Cloth& cloth, const viewkit::OrbitCamera& camera, float cx, float cy);

  zeShapeArrays meshArrays_;
  zeMeshShape* net_;  // drape's net as indexed lines over a copy of the positions
  zeShapeArrays netArrays_;
  long netCuts_;   // the cloth's cut links when the net's index list was made
  long faceCuts_;  // the cloth's cut links when the mesh's faces were made
  bool normalsStale_;
  std::vector<float> strains_;  // per node, for the strain look
  bool strainPainted_ = false;  // the mesh's colours are the strain look's
  float largestStrain_ = 0;
};

}  // namespace explorer
