// Whether a picture size fits what the current OpenGL context can draw: every scene renders
// into 16-bit float textures and depth renderbuffers of the window's size, with viewports
// of it, and beyond the context's limits those would fail one GL call at a time.
#pragma once

#include <string>

namespace Tarvo {

// Empty when width x height fits the current context; otherwise why not, naming the
// limit ("... is larger than this OpenGL allows: 16384x16384 (texture 16384, ...)").
std::string sizeBeyondGlLimits(int width, int height);

} // namespace Tarvo
