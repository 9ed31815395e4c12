// Counting where a sheet passes through itself, independently of the cloth's
// own code: the pairs of its triangles that share no corner and intersect,
// by exact-sign tests on doubles (an edge of one triangle through the other).
#pragma once

#include <array>
#include <vector>

#include "zeu/zeVec3f.h"

namespace quality {

/// True when the triangles abc and def intersect: an edge of one passes
/// through the other (touching counts; triangles lying in one plane do not).
bool trianglesCross(const zeVec3f& a, const zeVec3f& b, const zeVec3f& c, const zeVec3f& d,
                    const zeVec3f& e, const zeVec3f& f);

/// The triangles of an n x n grid sheet: two per square, (c, r), (c+1, r),
/// (c+1, r+1) and (c, r), (c+1, r+1), (c, r+1).
std::vector<std::array<int, 3>> sheetTriangles(int n);

/// The pairs of triangles sharing no corner that cross, over positions.
long countCrossings(const zeVec3f* positions, const std::vector<std::array<int, 3>>& triangles);

}  // namespace quality
