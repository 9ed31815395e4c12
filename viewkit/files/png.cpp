// PNG encoding only; no OpenGL here, so it links into anything.
#include "viewkit/files/png.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace viewkit {

namespace {

// libpng reports errors through this, which must not return.
void onPngError(png_structp png, png_const_charp message) {
  char* text = static_cast<char*>(png_get_error_ptr(png));
  std::strncpy(text, message, 127);
  text[127] = '\0';
  std::longjmp(png_jmpbuf(png), 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Everything between setjmp and a possible longjmp is plain data, so no
// destructor is skipped.
bool encode(FILE* out, int width, int height, const unsigned char* rgb, char* message) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, message, onPngError, onPngWarning);
  if (png == nullptr) {
    std::strcpy(message, "out of memory");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    std::strcpy(message, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t stride = static_cast<size_t>(width) * 3;
  for (int row = height - 1; row >= 0; --row)
    png_write_row(png, const_cast<png_bytep>(rgb + stride * static_cast<size_t>(row)));
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool writePng(FILE* out, int width, int height, const unsigned char* rgb, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "empty picture";
    return false;
  }
  char message[128] = "";
  if (!encode(out, width, height, rgb, message)) {
    error = message[0] != '\0' ? message : "PNG encoding failed";
    return false;
  }
  if (std::ferror(out)) {
    error = "write failed";
    return false;
  }
  return true;
}

}  // namespace viewkit
