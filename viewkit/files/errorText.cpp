#include "viewkit/files/errorText.h"

#include <cerrno>
#include <cstring>

namespace viewkit {

namespace {

// strerror_r comes in two kinds: the GNU one returns the text (which need
// not be in buf), the XSI one (the browser's C library) returns 0 and fills buf.
[[maybe_unused]] const char* textOf(const char* result, const char*) {
  return result;
}
[[maybe_unused]] const char* textOf(int result, const char* buf) {
  return result == 0 ? buf : nullptr;
}

}  // namespace

std::string errorText(int error) {
  if (error == 0) error = EIO;
  char buf[256] = "";
  const char* text = textOf(strerror_r(error, buf, sizeof buf), buf);
  if (text == nullptr || *text == '\0') return "error " + std::to_string(error);
  return text;
}

}  // namespace viewkit
