/// @file
/// Text drawn over a finished frame: a GLUT bitmap font, unlit, above
/// everything (no depth test), in window pixels with the origin at the
/// bottom-left corner. For status lines and key help in a corner of the
/// window; any application can use it from its draw.
#pragma once

/// Height of one text line in pixels, spacing included.
constexpr int ZEU_OVERLAY_LINE_HEIGHT = 18;
/// Width of one character in pixels (the font is fixed-width).
constexpr int ZEU_OVERLAY_CHAR_WIDTH = 9;

/// Draws `text` (lines separated by '\n') in the colour (r, g, b), the first
/// line's top at window row `top`, every line starting at column `left`.
/// Leaves the projection and modelview matrices, the current colour and the
/// enabled capabilities as it found them. Allocates nothing.
void zeuOverlayText(float left, float top, const char* text, float r, float g, float b);

/// Starts drawing over the frame in window pixels (origin at the bottom-left
/// corner), unlit and above everything: pushes the enable and current
/// attributes and both matrices. Each call is closed by zeuEndOverlay().
void zeuBeginOverlay();
/// Restores what zeuBeginOverlay() changed.
void zeuEndOverlay();
