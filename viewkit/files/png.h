/// @file
/// Pictures as PNG files (libpng): 8-bit RGB pixels as OpenGL reads them.
#pragma once

#include <cstdio>
#include <string>

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

/// Writes an 8-bit RGB picture as PNG to `out`. `rgb` holds `height` rows of
/// `width` pixels, tightly packed, bottom row first (as glReadPixels gives
/// them); the PNG has the top row first. On failure returns false with the
/// reason in `error`.
bool writePng(FILE* out, int width, int height, const unsigned char* rgb, std::string& error);

}  // namespace viewkit
