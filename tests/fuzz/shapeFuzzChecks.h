// Checks shared by the libFuzzer targets and the GoogleTest smoke run: each
// takes one arbitrary input and returns an empty string when the shape
// library behaved, or a description of what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace shapefuzz {

// The bytes are a stream of shape records (or anything else). They are read,
// record after record, into a fresh shape and into a shape that already holds
// data. Every read must either take a whole valid record, leaving the shape
// equal to it field for field and writing back the same bytes, or reject the
// record and leave the shape exactly as it was.
std::string checkShapeRecord(const uint8_t* data, size_t size);

// The bytes describe a shape and a camera (format in shapeGeometryCheck.cpp):
// any flags, primitive mode, placement, coordinates including NaN and
// infinities, and index entries including ones that name no vertex. The
// shape is built with the list operations, then drawn, given normals and
// picked. Nothing may read outside a list; draw must keep the vertex
// positions and the transform stack depth; the region tests must agree
// with a direct evaluation.
std::string checkShapeGeometry(const uint8_t* data, size_t size);

// Quiets the shape library's messages on standard output.
void silenceStdout();

}  // namespace shapefuzz
