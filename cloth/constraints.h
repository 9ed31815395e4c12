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

/// Calls f(r) for every row in firstRow..endRow - 1 that holds bases of the
/// colour's links on an N x N grid.
template <typename F>
inline void forEachRow(const Colour& k, int size, int firstRow, int endRow, F f) {
  const int rHi = endRow < size - k.dr ? endRow : size - k.dr;
  for (int r = firstRow; r < rHi; ++r)
    if (k.rowBlock == 0 || (r / k.rowBlock) % 2 == k.rowParity) f(r);
}

/// Calls f(r, cBegin, cEnd) for every run of bases of the colour's links
/// whose base row lies in firstRow..endRow - 1, on an N x N grid, row by
/// row: in a row the bases are runs of colBlock columns, every other run
/// (the whole row when colBlock is 0), and only those whose far end lies on
/// the grid.
template <typename F>
inline void forEachRun(const Colour& k, int size, int firstRow, int endRow, F f) {
  const int cLo = k.dc < 0 ? -k.dc : 0;
  const int cHi = k.dc > 0 ? size - k.dc : size;
  const int run = k.colBlock == 0 ? cHi : k.colBlock;
  const int first = k.colBlock == 0 ? cLo : k.colParity * k.colBlock;
  forEachRow(k, size, firstRow, endRow, [&](int r) {
    for (int start = first; start < cHi; start += 2 * run) {
      const int end = start + run < cHi ? start + run : cHi;
      f(r, start > cLo ? start : cLo, end);
    }
  });
}

/// Calls f(r, c) for the base of every link of the colour, as forEachRun.
template <typename F>
inline void forEachBase(const Colour& k, int size, int firstRow, int endRow, F f) {
  forEachRun(k, size, firstRow, endRow, [&](int r, int begin, int end) {
    for (int c = begin; c < end; ++c) f(r, c);
  });
}

}  // namespace cloth
