/// @file
/// The window captured: pictures as PNG files (libpng), written through
/// writeFileAtomically so that a failed write leaves nothing behind and an
/// existing file is never replaced, and frames for a VideoRecorder.
#pragma once

#include <string>

/// Viewer kit of the zeu framework: camera, pointer, picking, files.
namespace viewkit {

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
