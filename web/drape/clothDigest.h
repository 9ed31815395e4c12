// One line that pins the whole cloth state: FNV-1a 64 over every node's
// position and velocity (little-endian float bytes) and its contact flag,
// with the cloth component's hash and line (cloth/digest.h).
#pragma once

#include <cstdint>
#include <string>

#include "cloth/digest.h"

struct clothknob;

constexpr std::uint64_t kClothDigestBasis = cloth::Fnv1a::basis;
constexpr std::uint64_t kClothDigestPrime = cloth::Fnv1a::prime;

// Nodes in order; per node pos x, y, z, vel x, y, z (4 bytes each, least
// significant first) and then on_surf as one byte, 0 or 1.
std::uint64_t clothDigest(const clothknob* nodes, int count);

// "cloth digest <frames> <16 lower-case hex digits>".
std::string clothDigestLine(int frames, std::uint64_t digest);
