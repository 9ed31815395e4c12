// Spring forces on one cloth node from its four grid neighbours.
//
// This runs four times per free node and frame, so on SSE2 the four
// neighbours are taken side by side in the lanes of one register: one square
// root and three divisions for all four springs instead of four and twelve.
// Each lane performs exactly the single-precision operations, in exactly the
// order, that the plain code below it performs for one neighbour, so both
// give the same bits.
#include "app/drapeApp.h"
#include "zeu/zeLanes.h"

#ifdef ZE_LANES
using zeLanes::load3;
using zeLanes::store3;
#endif

#ifndef ZE_LANES
namespace {

// The spring law for one neighbour: (length - 1) times the unit vector
// towards it, written as del - del / dist. An absent neighbour has del zero
// and dist 1, giving zero. Two nodes at the same place have no direction
// between them: the term is zero there instead of spreading a division by
// zero over the whole cloth.
inline zeVec3f springTerm(const zeVec3f& del, float dist) {
  if (dist == 0.0f) return zeVec3f();
  return del - del / dist;
}

}  // namespace
#endif

// Stores in vstore the velocity change of one time step (0.01) that the
// springs give node i, with unit mass and stiffness 10. Only positions are
// read: ref, the stage argument, does not offset the evaluated state, so the
// four stage values of a node within one frame are equal and their weighted
// sum equals the first. The scratch fields hold this node's values after the
// call.
void drapeApp::rungef(clothknob* P, zeVec3f& vstore, zeVec3f /*ref*/, int i) {
  const int column = i % 60;
#ifdef ZE_LANES
  // One lane per neighbour: column - 1, column + 1, row - 1, row + 1. An
  // absent neighbour keeps its scratch vector times zero and the length 1.
  const __m128 p = load3(P[i].pos);
  const __m128 zero4 = _mm_setzero_ps();
  const bool has1 = column != 0;
  const bool has2 = column != 59;
  const bool has3 = i >= 60;
  const bool has4 = i < 3540;
  __m128 d1 = has1 ? _mm_sub_ps(load3(P[i - 1].pos), p) : _mm_mul_ps(load3(del1), zero4);
  __m128 d2 = has2 ? _mm_sub_ps(load3(P[i + 1].pos), p) : _mm_mul_ps(load3(del2), zero4);
  __m128 d3 = has3 ? _mm_sub_ps(load3(P[i - 60].pos), p) : _mm_mul_ps(load3(del3), zero4);
  __m128 d4 = has4 ? _mm_sub_ps(load3(P[i + 60].pos), p) : _mm_mul_ps(load3(del4), zero4);
  store3(del1, d1);
  store3(del2, d2);
  store3(del3, d3);
  store3(del4, d4);

  // Rows of x, y and z components, one neighbour per lane.
  _MM_TRANSPOSE4_PS(d1, d2, d3, d4);
  const __m128 dx = d1;
  const __m128 dy = d2;
  const __m128 dz = d3;

  // length() is sqrt((x * x + y * y) + z * z).
  const __m128 squared =
      _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz));
  __m128 dist = _mm_sqrt_ps(squared);
  if (!(has1 && has2 && has3 && has4)) {
    const __m128 present = _mm_castsi128_ps(_mm_set_epi32(-has4, -has3, -has2, -has1));
    dist = _mm_or_ps(_mm_and_ps(present, dist), _mm_andnot_ps(present, _mm_set1_ps(1.0f)));
  }
  alignas(16) float lengths[4];
  _mm_store_ps(lengths, dist);
  dist1 = lengths[0];
  dist2 = lengths[1];
  dist3 = lengths[2];
  dist4 = lengths[3];

  // del - del / dist per neighbour, zero where the neighbour sits on the node;
  // then back from rows of components to one vector per neighbour, summed in
  // neighbour order.
  const __m128 coincident = _mm_cmpeq_ps(dist, zero4);
  __m128 t1 = _mm_andnot_ps(coincident, _mm_sub_ps(dx, _mm_div_ps(dx, dist)));
  __m128 t2 = _mm_andnot_ps(coincident, _mm_sub_ps(dy, _mm_div_ps(dy, dist)));
  __m128 t3 = _mm_andnot_ps(coincident, _mm_sub_ps(dz, _mm_div_ps(dz, dist)));
  __m128 t4 = zero4;
  _MM_TRANSPOSE4_PS(t1, t2, t3, t4);
  const __m128 sum = _mm_add_ps(_mm_add_ps(_mm_add_ps(t1, t2), t3), t4);
  store3(force, _mm_mul_ps(sum, _mm_set1_ps(10.0f)));
#else
  const zeVec3f& p = P[i].pos;
  if (column == 0) {
    del1 *= 0.0f;
    dist1 = 1.0f;
  } else {
    del1 = P[i - 1].pos - p;
    dist1 = del1.length();
  }
  if (column == 59) {
    del2 *= 0.0f;
    dist2 = 1.0f;
  } else {
    del2 = P[i + 1].pos - p;
    dist2 = del2.length();
  }
  if (i < 60) {
    del3 *= 0.0f;
    dist3 = 1.0f;
  } else {
    del3 = P[i - 60].pos - p;
    dist3 = del3.length();
  }
  if (i >= 3540) {
    del4 *= 0.0f;
    dist4 = 1.0f;
  } else {
    del4 = P[i + 60].pos - p;
    dist4 = del4.length();
  }
  force = (((springTerm(del1, dist1) + springTerm(del2, dist2)) + springTerm(del3, dist3)) +
           springTerm(del4, dist4)) *
          10.0f;
#endif
  // The time step is the double 0.01 here; each product is narrowed to float.
  vstore.x = static_cast<float>(force.x * 0.01);
  vstore.y = static_cast<float>(force.y * 0.01);
  vstore.z = static_cast<float>(force.z * 0.01);
}
