/// @file
/// Drawing a shape from OpenGL 1.1 client-side vertex arrays: the shape's
/// own vertexList, normalList and colorList go to OpenGL as they are stored,
/// the transform stack's matrix goes on OpenGL's modelview for the call, and
/// the primitives are one index list prepared ahead, so a draw costs a few
/// calls instead of several per vertex. The triangles, lines and points sent
/// are those zeShape::draw sends; normals are never regenerated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "zeShape/zeShape.h"

/// A shape's primitives as one prepared index list, drawn with OpenGL client arrays.
class zeShapeArrays {
 public:
  /// Builds the index list for the shape's current index list (or vertex count) and drawStyle.
  void prepare(const zeShape& shape);
  // Prepares again first when the shape's counts, mode or index list block changed.
  /// Draws the shape's primitives as zeShape::draw sends them, with its stored normals.
  void draw(zeShape& shape);
  /// What draw does before it draws, and nothing more: the shape's space and,
  /// with picking on, its world and window positions (for a shape that is
  /// picked on but not shown).
  void locate(zeShape& shape);
  /// Number of entries in the prepared index list.
  size_t indexCount() const { return wide_.size() + narrow_.size(); }
  /// True when the prepared list holds 32-bit entries (more than 65,536 vertices), else 16-bit.
  bool wideIndices() const { return !wide_.empty(); }
  /// With a window of n vertices (1 to 65,536; 0, the default, for none),
  /// each glDrawElements of points, lines, triangles or quads names at most
  /// n consecutive vertices, from a first vertex the arrays are pointed at,
  /// with 16-bit indices: for GL implementations that copy client arrays
  /// into bounded buffers at each call and take 16-bit indices only (the
  /// browser's GL emulation). The primitives drawn stay the same. Takes
  /// effect at the next prepare.
  void setVertexWindow(int32_t vertices) { window_ = vertices; }
  /// Interleaved, each draw copies the shape's lists into one array of
  /// whole vertices (position, normal, texture coordinate, colour, as used)
  /// and points OpenGL there: for GL implementations that handle separate
  /// arrays slowly or copy as many vertices as a call has indices (the
  /// browser's GL emulation). Off by default.
  void setInterleaved(bool interleaved) { interleaved_ = interleaved; }

 private:
  struct Batch {
    uint32_t mode;  // OpenGL primitive mode of this glDrawElements
    size_t first;   // first entry in the index list
    int32_t count;  // entries
    uint32_t base;  // vertex the arrays start at for this call
  };
  void addRun(uint32_t mode);
  bool windowBatches(uint32_t mode);
  void pointArrays(const zeShape& shape, uint32_t base);
  const void* source(const zeShape& shape, int attribute, uint32_t base, int& stride) const;
  void interleave(const zeShape& shape, bool normals, bool texture, bool colors);
  bool current(const zeShape& shape) const;

  std::vector<uint32_t> wide_;
  std::vector<uint16_t> narrow_;
  std::vector<uint32_t> run_;  // scratch: the vertices of one primitive while preparing
  std::vector<Batch> batches_;
  int32_t window_ = 0;
  bool interleaved_ = false;
  std::vector<float> interleave_;  // whole vertices, when interleaved
  int floatsPerVertex_ = 0;
  int offset_[4] = {};  // floats from a vertex's start to each attribute
  bool prepared_ = false;
  // What the prepared list was built from.
  uint32_t drawStyle_ = 0;
  bool indexed_ = false;
  int32_t vertices_ = 0;
  int32_t entries_ = 0;
  const int32_t* indexList_ = nullptr;
};
