// The cloth digest: the hash over the exact bytes named for it, so the page
// and the native tool agree only when the states agree bit for bit.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "app/drapeApp.h"
#include "tests/app/clothFixture.h"
#include "web/drape/clothDigest.h"

namespace {

// FNV-1a 64 over a byte string, spelled out independently.
std::uint64_t fnv(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (std::uint8_t b : bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return h;
}

void appendFloat(std::vector<std::uint8_t>& bytes, float v) {
  std::uint8_t raw[4];
  std::memcpy(raw, &v, 4);  // the test hosts are little-endian
  bytes.insert(bytes.end(), raw, raw + 4);
}

TEST(ClothDigest, HashesPositionVelocityAndContactOfEveryNodeInOrder) {
  EXPECT_EQ(clothDigest(nullptr, 0), kClothDigestBasis);

  std::vector<clothknob> nodes = clothtest::flatSheet();
  nodes[7].vel = zeVec3f(-1.99f, 0.5f, -0.0f);
  nodes[3599].on_surf = true;
  std::vector<std::uint8_t> bytes;
  for (const clothknob& n : nodes) {
    for (float v : {n.pos.x, n.pos.y, n.pos.z, n.vel.x, n.vel.y, n.vel.z}) appendFloat(bytes, v);
    bytes.push_back(n.on_surf ? 1 : 0);
  }
  ASSERT_EQ(bytes.size(), 3600u * 25u);
  const std::uint64_t digest = clothDigest(nodes.data(), 3600);
  EXPECT_EQ(digest, fnv(bytes));

  // Every field counts: a sign bit, the contact flag, the node order.
  std::vector<clothknob> other = nodes;
  other[7].vel.z = 0.0f;
  EXPECT_NE(clothDigest(other.data(), 3600), digest);
  other = nodes;
  other[3599].on_surf = false;
  EXPECT_NE(clothDigest(other.data(), 3600), digest);
  other = nodes;
  std::swap(other[0], other[1]);
  EXPECT_NE(clothDigest(other.data(), 3600), digest);
}

TEST(ClothDigest, LineHasFramesAndSixteenHexDigits) {
  EXPECT_EQ(clothDigestLine(600, 0x00ab00000000cdefull), "cloth digest 600 00ab00000000cdef");
  EXPECT_EQ(clothDigestLine(0, kClothDigestBasis), "cloth digest 0 cbf29ce484222325");
}

}  // namespace
