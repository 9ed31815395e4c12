// The browser build's platform layer, as the programs on it see it: one
// layer for every page, which knows nothing of the program it runs.
#pragma once

#include <string>

// What the page shows when the frames its address asks for (?frames=N) have
// been drawn: given N, one line such as a digest of the program's state.
using zeWebFrameReport = std::string (*)(int frames);

// A program that answers ?frames=N sets its report once, before its first
// frame; without one the address's frame count is left to the program.
void zeWebSetFrameReport(zeWebFrameReport report);

// Shows line as the page's result and stops the program's frames; the page
// keeps the last frame drawn.
void zeWebFinishWith(const std::string& line);
