// Standard output, split for the capture: its results (a video stream, benchmark figures)
// keep the original stream, byte for byte, and everything else the program prints there
// (the engine's start-up log) moves to standard error.
#pragma once

#include <cstdio>

namespace capture {

// An encoder that stops reading must end the capture with a message, not a signal.
void ignoreBrokenPipes();

bool stdoutIsTerminal();

// Gives the original standard output back as a binary stream (Windows would otherwise
// turn each "\n" byte of a frame into "\r\n") and points standard output at standard
// error, line-buffered so that the moved log keeps its order with the capture's own
// lines. Null when the streams cannot be set up.
std::FILE* takeStdoutForResults();

} // namespace capture
