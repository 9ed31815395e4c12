// The browser build has no libpng: a picture asked for says so.
#include <cstdio>
#include <string>

#include "viewkit/files/png.h"

namespace viewkit {

bool writePng(FILE*, int, int, const unsigned char*, std::string& error) {
  error = "PNG pictures are not made in the browser (the browser's own screenshot takes one)";
  return false;
}

}  // namespace viewkit
