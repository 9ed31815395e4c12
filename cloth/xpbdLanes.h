// SSE2 lanes for the XPBD solver: four links of one colour side by side, from
// four consecutive base nodes to four consecutive far nodes. Lane by lane the
// arithmetic is that of the plain projection in xpbdSolver.cpp, operation for
// operation, and a lane that the plain code would leave alone keeps its bits,
// so both give the same results. Builds without SSE2, or with
// ZE_PLAIN_FLOATS, use the plain code alone.
#pragma once

#if defined(__SSE2__) && !defined(ZE_PLAIN_FLOATS)
#define XPBD_LANES 1

#include <emmintrin.h>

#include "zeu/zeVec3f.h"

namespace cloth {
namespace xpbdLanes {

struct Four {
  __m128 x, y, z;
};

// Four consecutive nodes, 12 floats, as x, y and z registers.
inline Four load(const zeVec3f* p) {
  const float* f = &p->x;
  const __m128 v0 = _mm_loadu_ps(f), v1 = _mm_loadu_ps(f + 4), v2 = _mm_loadu_ps(f + 8);
  // v0 = x0 y0 z0 x1, v1 = y1 z1 x2 y2, v2 = z2 x3 y3 z3
  Four r;
  r.x =
      _mm_shuffle_ps(v0, _mm_shuffle_ps(v1, v2, _MM_SHUFFLE(1, 1, 2, 2)), _MM_SHUFFLE(2, 0, 3, 0));
  r.y = _mm_shuffle_ps(_mm_shuffle_ps(v0, v1, _MM_SHUFFLE(0, 0, 1, 1)),
                       _mm_shuffle_ps(v1, v2, _MM_SHUFFLE(2, 2, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0));
  r.z = _mm_shuffle_ps(_mm_shuffle_ps(v0, v1, _MM_SHUFFLE(1, 1, 2, 2)),
                       _mm_shuffle_ps(v2, v2, _MM_SHUFFLE(3, 3, 0, 0)), _MM_SHUFFLE(2, 0, 2, 0));
  return r;
}

// The inverse of load.
inline void store(zeVec3f* p, const Four& a) {
  float* f = &p->x;
  const __m128 xy01 = _mm_unpacklo_ps(a.x, a.y), xy23 = _mm_unpackhi_ps(a.x, a.y);
  const __m128 v0 = _mm_shuffle_ps(xy01, _mm_shuffle_ps(a.z, a.x, _MM_SHUFFLE(1, 1, 0, 0)),
                                   _MM_SHUFFLE(2, 0, 1, 0));
  const __m128 v1 = _mm_shuffle_ps(_mm_shuffle_ps(a.y, a.z, _MM_SHUFFLE(1, 1, 1, 1)), xy23,
                                   _MM_SHUFFLE(1, 0, 2, 0));
  const __m128 v2 =
      _mm_shuffle_ps(_mm_shuffle_ps(a.z, a.x, _MM_SHUFFLE(3, 3, 2, 2)),
                     _mm_shuffle_ps(a.y, a.z, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0));
  _mm_storeu_ps(f, v0);
  _mm_storeu_ps(f + 4, v1);
  _mm_storeu_ps(f + 8, v2);
}

inline __m128 choose(__m128 mask, __m128 yes, __m128 no) {
  return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
}

// The links p[k] - q[k], k = 0..3: freeA and freeB hold 1 or 0 per lane (the
// end moves or not), live is all ones in the lanes whose link is there.
inline void solve(Four& p, Four& q, __m128 freeA, __m128 freeB, __m128 live, float rest,
                  float softness) {
  const __m128 dx = _mm_sub_ps(q.x, p.x), dy = _mm_sub_ps(q.y, p.y), dz = _mm_sub_ps(q.z, p.z);
  const __m128 length = _mm_sqrt_ps(
      _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz)));
  const __m128 weights = _mm_add_ps(freeA, freeB);
  const __m128 zero = _mm_setzero_ps();
  const __m128 s = _mm_div_ps(_mm_sub_ps(length, _mm_set1_ps(rest)),
                              _mm_mul_ps(length, _mm_add_ps(weights, _mm_set1_ps(softness))));
  const __m128 ok =
      _mm_and_ps(live, _mm_and_ps(_mm_cmpneq_ps(length, zero), _mm_cmpneq_ps(weights, zero)));
  const __m128 moveA = _mm_and_ps(ok, _mm_cmpneq_ps(freeA, zero));
  const __m128 moveB = _mm_and_ps(ok, _mm_cmpneq_ps(freeB, zero));
  const __m128 mx = _mm_mul_ps(dx, s), my = _mm_mul_ps(dy, s), mz = _mm_mul_ps(dz, s);
  p.x = choose(moveA, _mm_add_ps(p.x, mx), p.x);
  p.y = choose(moveA, _mm_add_ps(p.y, my), p.y);
  p.z = choose(moveA, _mm_add_ps(p.z, mz), p.z);
  q.x = choose(moveB, _mm_sub_ps(q.x, mx), q.x);
  q.y = choose(moveB, _mm_sub_ps(q.y, my), q.y);
  q.z = choose(moveB, _mm_sub_ps(q.z, mz), q.z);
}

// How the four links of a group sit on eight nodes of a row, or on two rows.
enum class Group {
  rows,       // a .. a + 3 to b .. b + 3
  alternate,  // a, a + 2, a + 4, a + 6 to a + 1, a + 3, a + 5, a + 7
  pairs,      // a, a + 1, a + 4, a + 5 to a + 2, a + 3, a + 6, a + 7
};

// The group's near ends into p and far ends into q (b is used by rows
// alone), and free, one per node, as the ends' weights.
template <Group G>
inline void gather(const zeVec3f* a, const zeVec3f* b, const float* freeA, const float* freeB,
                   Four& p, Four& q, __m128& wa, __m128& wb) {
  if (G == Group::rows) {
    p = load(a);
    q = load(b);
    wa = _mm_loadu_ps(freeA);
    wb = _mm_loadu_ps(freeB);
    return;
  }
  const Four lo = load(a), hi = load(a + 4);
  const __m128 flo = _mm_loadu_ps(freeA), fhi = _mm_loadu_ps(freeA + 4);
  if (G == Group::alternate) {
    constexpr int even = _MM_SHUFFLE(2, 0, 2, 0), odd = _MM_SHUFFLE(3, 1, 3, 1);
    p = Four{_mm_shuffle_ps(lo.x, hi.x, even), _mm_shuffle_ps(lo.y, hi.y, even),
             _mm_shuffle_ps(lo.z, hi.z, even)};
    q = Four{_mm_shuffle_ps(lo.x, hi.x, odd), _mm_shuffle_ps(lo.y, hi.y, odd),
             _mm_shuffle_ps(lo.z, hi.z, odd)};
    wa = _mm_shuffle_ps(flo, fhi, even);
    wb = _mm_shuffle_ps(flo, fhi, odd);
  } else {
    p = Four{_mm_movelh_ps(lo.x, hi.x), _mm_movelh_ps(lo.y, hi.y), _mm_movelh_ps(lo.z, hi.z)};
    q = Four{_mm_movehl_ps(hi.x, lo.x), _mm_movehl_ps(hi.y, lo.y), _mm_movehl_ps(hi.z, lo.z)};
    wa = _mm_movelh_ps(flo, fhi);
    wb = _mm_movehl_ps(fhi, flo);
  }
}

// The inverse of gather for the positions.
template <Group G>
inline void scatter(zeVec3f* a, zeVec3f* b, const Four& p, const Four& q) {
  if (G == Group::rows) {
    store(a, p);
    store(b, q);
  } else if (G == Group::alternate) {
    store(a, Four{_mm_unpacklo_ps(p.x, q.x), _mm_unpacklo_ps(p.y, q.y), _mm_unpacklo_ps(p.z, q.z)});
    store(a + 4,
          Four{_mm_unpackhi_ps(p.x, q.x), _mm_unpackhi_ps(p.y, q.y), _mm_unpackhi_ps(p.z, q.z)});
  } else {
    store(a, Four{_mm_movelh_ps(p.x, q.x), _mm_movelh_ps(p.y, q.y), _mm_movelh_ps(p.z, q.z)});
    store(a + 4, Four{_mm_movehl_ps(q.x, p.x), _mm_movehl_ps(q.y, p.y), _mm_movehl_ps(q.z, p.z)});
  }
}

// One group of four links: live is all ones in the lanes whose link is there.
template <Group G>
inline void project(zeVec3f* a, zeVec3f* b, const float* freeA, const float* freeB, __m128 live,
                    float rest, float softness) {
  Four p, q;
  __m128 wa, wb;
  gather<G>(a, b, freeA, freeB, p, q, wa, wb);
  solve(p, q, wa, wb, live, rest, softness);
  scatter<G>(a, b, p, q);
}

// Two groups at once, gathered before either is solved, so that the one's
// square roots and divisions overlap the other's (the groups share no node).
template <Group G>
inline void projectTwo(zeVec3f* a, zeVec3f* b, const float* freeA, const float* freeB, int next,
                       __m128 live1, __m128 live2, float rest, float softness) {
  Four p1, q1, p2, q2;
  __m128 wa1, wb1, wa2, wb2;
  gather<G>(a, b, freeA, freeB, p1, q1, wa1, wb1);
  gather<G>(a + next, b ? b + next : b, freeA + next, freeB ? freeB + next : freeB, p2, q2, wa2,
            wb2);
  solve(p1, q1, wa1, wb1, live1, rest, softness);
  solve(p2, q2, wa2, wb2, live2, rest, softness);
  scatter<G>(a, b, p1, q1);
  scatter<G>(a + next, b ? b + next : b, p2, q2);
}

}  // namespace xpbdLanes
}  // namespace cloth

#endif
