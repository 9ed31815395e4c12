// The XPBD solver's constraints on the N x N grid and their fixed colouring.
//
// Every constraint is a distance link from a base node (row r, column c) to
// the node dr rows and dc columns away: stretch to the right and up
// neighbours, shear along both diagonals of a quad, and bending across two
// nodes along rows and columns. The links of one kind and direction fall
// into two colours by the parity of their base row or column (counted in
// blocks of two for the bending links, which span two nodes), so that no
// two links of a colour share a node: a colour can be solved in any order,
// by any number of workers, with the same bits.
#pragma once

namespace cloth {

/// What a link holds, each kind with its own compliance.
enum class LinkKind { stretch, shear, bend };

/// One colour: links from base (r, c) to (r + dr, c + dc) for the bases
/// whose row, counted in blocks of rowBlock, has parity rowParity (any row
/// when rowBlock is 0), and likewise for columns.
struct Colour {
  LinkKind kind;
  int dr, dc;
  int rowBlock, rowParity;
  int colBlock, colParity;
};

/// Every colour in the order the solver takes them.
const Colour* colours(int& count);

/// Rest length of a colour's links, in grid spacings (1, sqrt 2 or 2).
double restSpacings(const Colour& colour);

/// True when (r, c) is the base of a link of the colour on an N x N grid:
/// its row and column pass the colour's parity test and the far end lies on
/// the grid.
inline bool inColour(const Colour& k, int size, int r, int c) {
  if (k.rowBlock != 0 && (r / k.rowBlock) % 2 != k.rowParity) return false;
  if (k.colBlock != 0 && (c / k.colBlock) % 2 != k.colParity) return false;
  const int r2 = r + k.dr, c2 = c + k.dc;
  return r2 >= 0 && r2 < size && c2 >= 0 && c2 < size;
}

}  // namespace cloth
