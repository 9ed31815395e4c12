// libFuzzer entry: arbitrary bytes as drapeExplorer's command line or the page's address.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/explorerFuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string error = explorerfuzz::checkCommandLine(data, size);
  if (!error.empty()) {
    std::fprintf(stderr, "Command line check failed: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
