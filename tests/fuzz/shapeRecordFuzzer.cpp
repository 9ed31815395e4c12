// libFuzzer entry: arbitrary bytes through the shape record reader.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/shapeFuzzChecks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  shapefuzz::silenceStdout();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string error = shapefuzz::checkShapeRecord(data, size);
  if (!error.empty()) {
    std::fprintf(stderr, "shape record check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
