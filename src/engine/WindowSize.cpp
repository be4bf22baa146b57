#include "engine/WindowSize.h"

namespace Tarvo {

namespace {
// Zero means unknown: a window always has a positive size.
int knownWidth = 0;
int knownHeight = 0;
unsigned framebufferName = 0;
} // namespace

void setWindowSize(int width, int height)
{
    if (width <= 0 || height <= 0) {
        clearWindowSize();
        return;
    }
    knownWidth = width;
    knownHeight = height;
}

void clearWindowSize()
{
    knownWidth = 0;
    knownHeight = 0;
}

bool windowSizeKnown()
{
    return knownWidth > 0;
}

int windowWidth()
{
    return windowSizeKnown() ? knownWidth : 1;
}

int windowHeight()
{
    return windowSizeKnown() ? knownHeight : 1;
}

void setWindowFramebuffer(unsigned framebuffer)
{
    framebufferName = framebuffer;
}

unsigned windowFramebuffer()
{
    return framebufferName;
}

} // namespace Tarvo
