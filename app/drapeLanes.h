// SSE2 helpers for the cloth's hot loops: a zeVec3f held in the low three
// lanes of a register. Code built on them performs, lane by lane, exactly the
// single-precision operations of the plain float code, in the same order, so
// both give the same bits. Builds without SSE2, or with DRAPE_PLAIN_FLOATS,
// use the plain code.
#pragma once

#if defined(__SSE2__) && !defined(DRAPE_PLAIN_FLOATS)
#define DRAPE_LANES 1

#include <emmintrin.h>

#include "zeu/zeVec3f.h"

namespace drapeLanes {

// (x, y, z, 0) from a vector, reading its three floats only.
inline __m128 load3(const zeVec3f& v) {
  const __m128 xy = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(&v.x));
  return _mm_movelh_ps(xy, _mm_load_ss(&v.z));
}

// Stores the low three lanes, leaving nothing else written.
inline void store3(zeVec3f& v, __m128 a) {
  _mm_storel_pi(reinterpret_cast<__m64*>(&v.x), a);
  _mm_store_ss(&v.z, _mm_movehl_ps(a, a));
}

}  // namespace drapeLanes

#endif
