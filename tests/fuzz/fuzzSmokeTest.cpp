// The fuzz checks as an ordinary test, built by any compiler: every seed,
// mutations of each seed, random inputs, and every input kept in the
// regression folders because it once broke the shape library.
#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/clothFuzzChecks.h"
#include "tests/fuzz/explorerFuzzChecks.h"
#include "tests/fuzz/shapeFuzzChecks.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Check = std::string (*)(const uint8_t*, size_t);

std::vector<std::pair<std::string, Bytes>> filesIn(const std::string& dir) {
  std::vector<std::pair<std::string, Bytes>> out;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return out;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == ".." || name == "README") continue;
    std::ifstream f(dir + "/" + name, std::ios::binary);
    out.emplace_back(name, Bytes(std::istreambuf_iterator<char>(f), {}));
  }
  closedir(d);
  return out;
}

// Sends the shape library's messages to /dev/null while it lives.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    shapefuzz::silenceStdout();
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

// One random edit of the kinds that matter for records: bit flips, bytes,
// cuts, appended bytes, a second copy, and extreme values at the count
// fields.
Bytes mutate(const Bytes& seed, std::mt19937& rng) {
  Bytes b = seed;
  auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };
  switch (pick(7)) {
    case 0:
      if (!b.empty()) b[pick(b.size())] ^= static_cast<uint8_t>(1u << pick(8));
      break;
    case 1:
      if (!b.empty()) b[pick(b.size())] = static_cast<uint8_t>(rng());
      break;
    case 2:
      if (!b.empty()) b.resize(pick(b.size()));
      break;
    case 3:
      for (size_t n = pick(64); n > 0; --n) b.push_back(static_cast<uint8_t>(rng()));
      break;
    case 4:
      b.insert(b.end(), seed.begin(), seed.end());
      break;
    case 5:
    case 6: {
      const size_t at = pick(2) ? 74 : 79;  // vertex count, index count
      const uint32_t values[] = {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0u, 1u, 0x10000u};
      const uint32_t v = values[pick(6)];
      if (b.size() >= at + 4)
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
      break;
    }
  }
  return b;
}

// Runs the check over seeds, mutations and random inputs; returns the
// number of inputs and records each failure.
size_t runAll(Check check, const std::string& kind, const std::string& seedDir,
              const std::string& regressionDir, int mutationsPerSeed, int randomInputs) {
  std::vector<std::pair<std::string, Bytes>> inputs = filesIn(seedDir);
  EXPECT_FALSE(inputs.empty()) << "no seeds in " << seedDir;
  for (auto& r : filesIn(regressionDir)) inputs.push_back(std::move(r));
  std::mt19937 rng(20240611u);
  const size_t given = inputs.size();
  for (size_t i = 0; i < given; ++i)
    for (int m = 0; m < mutationsPerSeed; ++m)
      inputs.emplace_back(inputs[i].first + " mutated", mutate(inputs[i].second, rng));
  for (int r = 0; r < randomInputs; ++r) {
    Bytes b(std::uniform_int_distribution<size_t>(0, 600)(rng));
    for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
    inputs.emplace_back("random", std::move(b));
  }

  int failures = 0;
  std::vector<std::string> errors;
  {
    QuietStdout quiet;
    for (const auto& [name, bytes] : inputs) {
      const std::string error = check(bytes.data(), bytes.size());
      if (error.empty()) continue;
      // Keep the input so it can be replayed and added to the regressions.
      const std::string path = "smoke-failure-" + kind + "-" + std::to_string(failures++);
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
      errors.push_back(name + " (" + std::to_string(bytes.size()) + " bytes, saved as " + path +
                       "): " + error);
    }
  }
  for (const std::string& e : errors) ADD_FAILURE() << e;
  return inputs.size();
}

TEST(ShapeFuzzSmoke, RecordReaderTakesWholeRecordsOrNothing) {
  const size_t n = runAll(shapefuzz::checkShapeRecord, "record", SEED_DIR "/record",
                          REGRESSION_DIR "/record", 150, 2000);
  EXPECT_GT(n, 5000u);
}

TEST(ShapeFuzzSmoke, GeometryStaysInsideItsLists) {
  const size_t n = runAll(shapefuzz::checkShapeGeometry, "geometry", SEED_DIR "/geometry",
                          REGRESSION_DIR "/geometry", 100, 3000);
  EXPECT_GT(n, 5000u);
}

TEST(ClothFuzzSmoke, ObjColliderReaderGivesClosedMeshesOrOneLine) {
  const size_t n =
      runAll(clothfuzz::checkObjMesh, "obj", CORPUS_DIR "/obj", REGRESSION_DIR "/obj", 300, 500);
  EXPECT_GT(n, 1000u);
}

TEST(ExplorerFuzzSmoke, SceneReaderGivesClothsThatRunAndRewriteAlikeOrOneLine) {
  const size_t n = runAll(explorerfuzz::checkScene, "scene", CORPUS_DIR "/scene",
                          REGRESSION_DIR "/scene", 150, 300);
  EXPECT_GT(n, 500u);
}

TEST(ExplorerFuzzSmoke, CommandLineAndAddressGiveValidOptionsOrOneLine) {
  const size_t n = runAll(explorerfuzz::checkCommandLine, "commandline", CORPUS_DIR "/commandline",
                          REGRESSION_DIR "/commandline", 300, 1000);
  EXPECT_GT(n, 2000u);
}

}  // namespace
