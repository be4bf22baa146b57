// The one window and its OpenGL 3.3 core context, and the few window services the frame
// loop uses (clock, Escape key, close request, buffer swap).
#pragma once

#include <string>

struct GLFWwindow;

namespace Tarvo {

class WindowTarget;

enum class SwapSync { DriverDefault, On, Off };

struct WindowOptions {
    bool windowed = false;
    // Invisible windows serve offline rendering and tests: the context is all they need.
    bool visible = true;
    // No window at all: an off-screen context that needs no display server (Linux, EGL),
    // for offline rendering on servers. Keys never read as pressed, and nothing closes it.
    bool headless = false;
    // Lets the user resize a window (the studio); the frame keeps its size and is scaled.
    bool resizable = false;
    // The monitor, counted from 1 in the windowing library's order (the primary first);
    // 0 is the primary.
    int display = 0;
    SwapSync swapSync = SwapSync::DriverDefault;
};

// Opens the window, loads the GL entry points and sets the input behaviour. False after
// any failure, with the failure's message printed on standard error. width x height is the
// frame size: a window of that size, or full screen at the monitor's own resolution with
// the frame scaled to fit (see WindowTarget).
bool initWindow(int width, int height, bool windowed, std::string title);
bool initWindow(int width, int height, const WindowOptions& options, std::string title);

GLFWwindow* currentWindow();
// Where frames go and how they reach the window; null before a window is open.
WindowTarget* windowTarget();
double windowTime();          // seconds since the windowing library started
bool escapePressed();         // sticky: a press between two queries still counts once
bool windowOpen();            // false once the window was asked to close
// Shows the frame (scaled into the window when the sizes differ) and processes the
// window's pending events; then follows the framebuffer's size for the next frame.
void swapBuffers();
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
