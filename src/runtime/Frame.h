// One frame, whoever draws it. The show, the capture, the studio and the benchmarks differ
// only in where the row comes from (the music, or a row the caller steps) and where the
// picture goes (swapped to the window, read back into a file, or drawn over by the studio's
// overlay first), so the frame itself is written once, here.
#pragma once

#include <functional>

namespace Tarvo {

class aDemo;

// Where a frame's row comes from.
struct FrameRow {
    // The music's position, read through the demo instance's timer (the show, the studio).
    static FrameRow fromMusic() { return {}; }
    // A row the caller steps (the capture, benchmarks); the music is not consulted.
    static FrameRow at(float row) { return {true, row}; }

    bool given = false;
    float row = 0.0f;
};

// Draws one frame into the window's back buffer: clears it, stores the row in the demo
// instance and brings the tracks to it, then runs the scene with the time that time() gives
// once the row is known (the show reads its clock again there); playing music is then
// updated. False, with nothing drawn, when the tracks stop the show (never in this system).
// The caller then sends the picture where it goes.
bool drawFrame(aDemo& demo, const FrameRow& row, const std::function<double()>& time);

} // namespace Tarvo
