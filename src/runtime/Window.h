// The one window and its OpenGL 3.3 core context, and the few window services the frame
// loop uses (clock, Escape key, close request, buffer swap).
#pragma once

#include <string>

struct GLFWwindow;

namespace Tarvo {

struct WindowOptions {
    bool windowed = false;
    // Invisible windows serve offline rendering and tests: the context is all they need.
    bool visible = true;
    // No window at all: an off-screen context that needs no display server (Linux, EGL),
    // for offline rendering on servers. Keys never read as pressed, and nothing closes it.
    bool headless = false;
};

// Opens the window, loads the GL entry points and sets the input behaviour. False after
// any failure, with the failure's message printed on standard error.
bool initWindow(int width, int height, bool windowed, std::string title);
bool initWindow(int width, int height, const WindowOptions& options, std::string title);

GLFWwindow* currentWindow();
double windowTime();          // seconds since the windowing library started
bool escapePressed();         // sticky: a press between two queries still counts once
bool windowOpen();            // false once the window was asked to close
void swapBuffers();           // also processes the window's pending events
bool headless();              // the context has no window (WindowOptions::headless)
// Whether a swap waits for the display's refresh: 0 never, 1 every refresh.
void setSwapInterval(int interval);
// The size of the picture the last pass draws into, in pixels.
void framebufferSize(int& width, int& height);

// Where windows open, for a message that says why none did: the X11 or Wayland display
// the environment names ("display :0"), "" on such a system when it names none, and "the desktop"
// on Windows, which always has one.
std::string displayName();

} // namespace Tarvo
