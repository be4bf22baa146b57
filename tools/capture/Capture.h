// The offline renderer's run: the demo instance in an invisible window with a decode-only
// music stream, a fixed-step clock instead of the music clock, and each frame read back
// before the swap and handed to an encoder thread.
#pragma once

#include <chrono>
#include <cstdio>

#include "capture/CaptureOptions.h"

namespace capture {

// Renders what options ask for. Machine-readable output (a stream on "-", benchmark
// figures) goes to out; everything else to standard error. Returns the exit status:
// 0 done, 1 failed. started is when the program began, for the start-up figure.
int runCapture(const CaptureOptions& options, FILE* out, std::chrono::steady_clock::time_point started);

} // namespace capture
