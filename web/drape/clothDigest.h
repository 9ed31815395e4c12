// One line that pins the whole cloth state: FNV-1a 64 over every node's
// position and velocity (little-endian float bytes) and its contact flag.
#pragma once

#include <cstdint>
#include <string>

struct clothknob;

constexpr std::uint64_t kClothDigestBasis = 14695981039346656037ull;
constexpr std::uint64_t kClothDigestPrime = 1099511628211ull;

// Nodes in order; per node pos x, y, z, vel x, y, z (4 bytes each, least
// significant first) and then on_surf as one byte, 0 or 1.
std::uint64_t clothDigest(const clothknob* nodes, int count);

// "cloth digest <frames> <16 lower-case hex digits>".
std::string clothDigestLine(int frames, std::uint64_t digest);
