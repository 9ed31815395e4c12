// The one hash and the one line that pin a cloth's state: FNV-1a 64 fed
// byte by byte, and "cloth digest <frames> <16 lower-case hex digits>".
// Header-only, so that a program that does not link the cloth component
// (drape's page, the benchmarks) digests its own cloth the same way.
#pragma once

#include <cinttypes>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace cloth {

/// FNV-1a 64: each byte is xored into the hash, which is then multiplied by
/// the prime.
struct Fnv1a {
  static constexpr uint64_t basis = 14695981039346656037ull;  ///< the hash of nothing
  static constexpr uint64_t prime = 1099511628211ull;         ///< the multiplier

  uint64_t value = basis;  ///< the hash of the bytes so far

  /// One byte.
  void byte(uint8_t b) { value = (value ^ b) * prime; }
  /// A float's four bytes, least significant first whatever the host order.
  void floatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    for (int shift = 0; shift < 32; shift += 8) byte(static_cast<uint8_t>(bits >> shift));
  }
};

/// "cloth digest <frames> <digest as 16 lower-case hex digits>".
inline std::string digestLine(long frames, uint64_t digest) {
  char line[64];
  std::snprintf(line, sizeof line, "cloth digest %ld %016" PRIx64, frames, digest);
  return line;
}

}  // namespace cloth
