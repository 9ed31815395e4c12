// Checks of drapeExplorer's own readers shared by their libFuzzer targets
// and the smoke test: each takes one arbitrary input and returns an empty
// string when the reader behaved, or a description of what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace explorerfuzz {

// The bytes as a scene file. The reader either refuses them with one line,
// or gives a cloth that runs 10 frames with every node finite, and whose
// scene, written and read again, writes the same bytes.
std::string checkScene(const uint8_t* data, size_t size);

// The bytes as a command line (words one a line), or, when they start with
// '?', as the lab page's address (values between '&' on the first line).
// A refusal is one line; an accepted one gives a size, parameters, threads
// and frames within their ranges, and every parameter value it took, written
// as the panel writes it, reads back.
std::string checkCommandLine(const uint8_t* data, size_t size);

}  // namespace explorerfuzz
