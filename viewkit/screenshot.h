/// @file
/// Pictures of the window as PNG files (libpng), written through
/// writeFileAtomically: a failed write leaves nothing behind and an existing
/// file is never replaced.
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

/// Reads the window's back buffer (width x height pixels from the lower-left
/// corner) and writes it to `path`. Call it after drawing a frame and before
/// the buffers are swapped. Allocates the pixel buffer for this one call.
bool saveWindowPng(const std::string& path, int width, int height, std::string& error);

class VideoRecorder;

/// Reads the lower-left recorder.width() x recorder.height() pixels of the back buffer of a
/// window of windowWidth x windowHeight into the recorder's next frame, or counts the frame as
/// dropped when the recorder has no room. Where the window has become smaller than the video the
/// frame is black. Call it after drawing a frame and before the buffers are swapped.
void recordWindowFrame(VideoRecorder& recorder, int windowWidth, int windowHeight);

}  // namespace viewkit
