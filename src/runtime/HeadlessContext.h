// An OpenGL 3.3 core context without a window or a display server, for offline rendering
// on servers: EGL on Linux (Mesa's surfaceless platform, or the first EGL device of a GPU
// driver that has no surfaceless platform), drawing into an off-screen surface that serves
// as the window's framebuffer, back buffer included. Builds without EGL (Windows) report
// that it is not available.
#pragma once

#include <string>

namespace Tarvo {

// Makes the context current with a width x height surface. False, with why in error,
// when no such context can be had here.
bool openHeadlessContext(int width, int height, std::string& error);
bool headlessContextOpen();
// Ends a frame on the surface (the pixels stay readable until the next frame draws).
void swapHeadlessContext();

} // namespace Tarvo
