/// @file
/// SSE2 helpers for float hot loops: a zeVec3f held in the low three lanes of
/// a register. Code built on them performs, lane by lane, exactly the
/// single-precision operations of the plain float code, in the same order,
/// so both give the same bits. Where SSE2 is there and ZE_PLAIN_FLOATS is not
/// defined, this header defines ZE_LANES and the helpers; otherwise neither,
/// and users take their plain float code.
#pragma once

#if defined(__SSE2__) && !defined(ZE_PLAIN_FLOATS)
/// Defined when the helpers below exist.
#define ZE_LANES 1

#include <emmintrin.h>

#include "zeu/zeVec3f.h"

/// The SSE2 helpers.
namespace zeLanes {

/// (x, y, z, 0) from a vector, reading its three floats only.
inline __m128 load3(const zeVec3f& v) {
  const __m128 xy = _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(&v.x));
  return _mm_movelh_ps(xy, _mm_load_ss(&v.z));
}

/// Stores the low three lanes, leaving nothing else written.
inline void store3(zeVec3f& v, __m128 a) {
  _mm_storel_pi(reinterpret_cast<__m64*>(&v.x), a);
  _mm_store_ss(&v.z, _mm_movehl_ps(a, a));
}

}  // namespace zeLanes

#endif
