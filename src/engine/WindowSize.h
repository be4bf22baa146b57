// The size of the window the engine draws to. The runtime records it when it opens the
// window; until then (tools and tests that build engine objects without a window of the
// show's) it is unknown and reads as 1 x 1, so targets sized from it are still valid.
#pragma once

namespace Tarvo {

void setWindowSize(int width, int height);
// Forgets the size, as when the window that had it is gone.
void clearWindowSize();

bool windowSizeKnown();
int windowWidth();
int windowHeight();

} // namespace Tarvo
