// The strain look: the surface coloured by how far each node's links are
// stretched or squeezed, on a fixed scale from 0 to 10 %, with the scale
// drawn over the picture.
#pragma once

#include "zeu/zeVec4f.h"

namespace explorer {

/// The strain at the top of the scale (and above): 10 %.
constexpr float kStrainScaleTop = 0.10f;

/// The colour of a strain on the scale: blue at 0, through cyan, green and
/// yellow, to red at the top of the scale and beyond.
void strainColour(float strain, float rgb[3]);

/// Colours count vertices from their nodes' strains.
void paintStrains(const float* strains, int count, zeVec4f* colours);

/// The scale as a bar over the picture, its lower-left corner at window
/// pixel (left, bottom), with "0 %" and "10 %" at its ends and the largest
/// strain above it; drawn unlit, in one unit a pixel, leaving the GL state
/// as it found it.
void drawStrainScale(float left, float bottom, float largest);

}  // namespace explorer
