// The size of the window the engine draws to. The runtime records it when it opens the
// window; until then (tools and tests that build engine objects without a window of the
// show's) it is unknown and reads as 1 x 1, so targets sized from it are still valid.
// The size is the frame's: the window's framebuffer may differ, in which case frames go to
// the framebuffer named here and are scaled into the window when shown (WindowTarget).
#pragma once

namespace Tarvo {

void setWindowSize(int width, int height);
// Forgets the size, as when the window that had it is gone.
void clearWindowSize();

bool windowSizeKnown();
int windowWidth();
int windowHeight();

// The framebuffer that stands for the window when the bound-target stack empties: 0 (the
// window itself) unless the window's frames are being scaled.
void setWindowFramebuffer(unsigned framebuffer);
unsigned windowFramebuffer();

} // namespace Tarvo
