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

// Where windows open, for a message that says why none did: the X11 or Wayland display
// the environment names ("display :0"), "" on such a system when it names none, and "the desktop"
// on Windows, which always has one.
std::string displayName();

} // namespace Tarvo
