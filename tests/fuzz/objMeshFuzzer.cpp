// libFuzzer entry: arbitrary bytes as an OBJ collider.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/clothFuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string error = clothfuzz::checkObjMesh(data, size);
  if (!error.empty()) {
    std::fprintf(stderr, "OBJ collider check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
