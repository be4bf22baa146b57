// GLFW 3 stands in for the 2.x windowing interface the show was designed around: each
// 2.x step maps to its 3.x counterpart here, and nowhere else.
#include "runtime/Window.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "engine/GlState.h"
#include "engine/WindowSize.h"
#include "engine/WindowTarget.h"

#include "runtime/ContextHints.h"
#include "runtime/HeadlessContext.h"

namespace Tarvo {

namespace {
GLFWwindow* window = nullptr;
// Without a window the windowing library never starts, so time comes from here.
std::chrono::steady_clock::time_point headlessStart;
int headlessWidth = 0;
int headlessHeight = 0;
std::unique_ptr<WindowTarget> target;

// The monitor a full-screen show (or a window, centred on it) goes to.
GLFWmonitor* chooseMonitor(int display)
{
    int count = 0;
    GLFWmonitor** monitors = glfwGetMonitors(&count);
    if (display >= 1 && display <= count)
        return monitors[display - 1];
    if (display != 0)
        std::fprintf(stderr, "There is no display %d (%d connected); using the primary display\n", display, count);
    return glfwGetPrimaryMonitor();
}

// Follows the window's framebuffer: the frame goes to the window itself when the sizes
// match, else to the stand-in that is scaled into it. Whoever had "the window" bound keeps it.
void followFramebuffer()
{
    int w = 0;
    int h = 0;
    glfwGetFramebufferSize(window, &w, &h);
    // A minimised window has no framebuffer; its frames need not be kept.
    if (w <= 0 || h <= 0)
        return;
    const GLuint before = target->framebuffer();
    target->follow(w, h);
    const GLuint after = target->framebuffer();
    if (after == before)
        return;
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    setWindowFramebuffer(after);
    if (static_cast<GLuint>(bound) == before)
        glBindFramebuffer(GL_FRAMEBUFFER, after);
}

#ifdef __EMSCRIPTEN__
// The browser's GLFW has no sticky keys: a tap of Escape between two frames (long ones, on
// a software renderer) would go unseen, so the press is kept until the loop asks.
bool escapeLatched = false;

void latchEscape(GLFWwindow*, int key, int, int action, int)
{
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS)
        escapeLatched = true;
}
#endif

// GLFW's own reason for a failure, which its return values do not carry.
void reportGlfwError(int code, const char* description)
{
    std::fprintf(stderr, "GLFW error 0x%x: %s\n", code, description);
}

// A window opened on another display than the primary is placed in the middle of it.
void centreOn(GLFWmonitor* monitor)
{
#ifdef __EMSCRIPTEN__
    // A page places its canvas itself, and the browser's GLFW knows no work areas.
    (void)monitor;
#else
    int x = 0, y = 0, areaWidth = 0, areaHeight = 0, w = 0, h = 0;
    glfwGetMonitorWorkarea(monitor, &x, &y, &areaWidth, &areaHeight);
    glfwGetWindowSize(window, &w, &h);
    glfwSetWindowPos(window, x + std::max(0, (areaWidth - w) / 2), y + std::max(0, (areaHeight - h) / 2));
#endif
}
} // namespace

bool initWindow(int width, int height, bool windowed, std::string title)
{
    WindowOptions options;
    options.windowed = windowed;
    return initWindow(width, height, options, std::move(title));
}

namespace {

// The headless counterpart of the steps below: the same context version, its report on
// both outputs, and the entry points.
bool initHeadless(int width, int height)
{
    std::string why;
    if (!openHeadlessContext(width, height, why)) {
        std::fprintf(stderr, "Failed to open window.\n");
        std::fprintf(stderr, "No OpenGL context without a display: %s\n", why.c_str());
        return false;
    }
    headlessStart = std::chrono::steady_clock::now();
    headlessWidth = width;
    headlessHeight = height;
    // The off-screen surface is the frame's size, so frames go to it directly.
    setWindowFramebuffer(0);
    GLint major = 0;
    GLint minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    std::fprintf(stderr, "The received OpenGL version: %d.%d.%d\n", major, minor, 0);
    std::cout << major << "." << minor << "." << 0 << std::endl;
    if (!loadGlEntryPoints()) {
        std::fprintf(stderr, "Failed to initialize GLEW\n");
        return false;
    }
    return true;
}

} // namespace

bool initWindow(int width, int height, const WindowOptions& options, std::string title)
{
    if (options.headless)
        return initHeadless(width, height);
    glfwSetErrorCallback(reportGlfwError);
    if (!glfwInit()) {
        std::fprintf(stderr, "Failed to initialize GLFW\n");
        return false;
    }

    glfwWindowHint(GLFW_SAMPLES, 1);
    hintCoreContext();
    glfwWindowHint(GLFW_RESIZABLE, options.resizable ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_DEPTH_BITS, 32);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_VISIBLE, options.visible ? GLFW_TRUE : GLFW_FALSE);

    GLFWmonitor* chosen = options.visible ? chooseMonitor(options.display) : nullptr;
    GLFWmonitor* monitor = options.windowed ? nullptr : chosen;
    // Full screen keeps the monitor's own mode: no mode switch, and the frame is scaled
    // to the real screen instead of a screen of the wrong shape showing part of it.
    int windowWidth = width;
    int windowHeight = height;
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (mode) {
        windowWidth = mode->width;
        windowHeight = mode->height;
        glfwWindowHint(GLFW_REFRESH_RATE, mode->refreshRate);
    }
    // The first, ideal configuration may well be missing; only the fallback's failure is
    // worth GLFW's explanation.
    glfwSetErrorCallback(nullptr);
    window = glfwCreateWindow(windowWidth, windowHeight, title.c_str(), monitor, nullptr);
    glfwSetErrorCallback(reportGlfwError);
    if (!window) {
        // Software renderers often lack a 32-bit depth buffer or multisampling; the
        // closest configuration they have is still a working context for the show.
        glfwWindowHint(GLFW_SAMPLES, 0);
        glfwWindowHint(GLFW_DEPTH_BITS, 24);
        window = glfwCreateWindow(windowWidth, windowHeight, title.c_str(), monitor, nullptr);
    }
    if (!window) {
        std::fprintf(stderr, "Failed to open window.\n");
        glfwTerminate();
        return false;
    }
    glfwMakeContextCurrent(window);
    if (options.windowed && chosen && options.display != 0)
        centreOn(chosen);

    const int major = glfwGetWindowAttrib(window, GLFW_CONTEXT_VERSION_MAJOR);
    const int minor = glfwGetWindowAttrib(window, GLFW_CONTEXT_VERSION_MINOR);
    const int revision = glfwGetWindowAttrib(window, GLFW_CONTEXT_REVISION);
    std::fprintf(stderr, "The received OpenGL version: %d.%d.%d\n", major, minor, revision);
    std::cout << major << "." << minor << "." << revision << std::endl;

    if (!loadGlEntryPoints()) {
        std::fprintf(stderr, "Failed to initialize GLEW\n");
        return false;
    }

    if (options.swapSync != SwapSync::DriverDefault)
        glfwSwapInterval(options.swapSync == SwapSync::On ? 1 : 0);
    target = std::make_unique<WindowTarget>(width, height);
    setWindowFramebuffer(0);
    followFramebuffer();

    glfwSetWindowTitle(window, title.c_str());
#ifdef __EMSCRIPTEN__
    // The page keeps its cursor; presses are latched by the callback instead of sticky keys.
    glfwSetKeyCallback(window, latchEscape);
#else
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    int shownWidth = 0;
    int shownHeight = 0;
    glfwGetWindowSize(window, &shownWidth, &shownHeight);
    glfwSetCursorPos(window, static_cast<unsigned>(shownWidth) >> 1, static_cast<unsigned>(shownHeight) >> 1);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
#endif
    return true;
}

GLFWwindow* currentWindow()
{
    return window;
}

WindowTarget* windowTarget()
{
    return target.get();
}

double windowTime()
{
    if (headlessContextOpen())
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - headlessStart).count();
    return glfwGetTime();
}

bool escapePressed()
{
#ifdef __EMSCRIPTEN__
    const bool latched = escapeLatched;
    escapeLatched = false;
    if (latched)
        return true;
#endif
    return window && glfwGetKey(window, GLFW_KEY_ESCAPE) == GLFW_PRESS;
}

bool windowOpen()
{
    return headlessContextOpen() || (window && !glfwWindowShouldClose(window));
}

bool headless()
{
    return headlessContextOpen();
}

void setSwapInterval(int interval)
{
    if (window)
        glfwSwapInterval(interval);
}

void framebufferSize(int& width, int& height)
{
    width = headlessWidth;
    height = headlessHeight;
    if (window)
        glfwGetFramebufferSize(window, &width, &height);
}

std::string displayName()
{
#if defined(_WIN32)
    return "the desktop";
#else
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return std::string("display ") + value;
    }
    return "";
#endif
}

void swapBuffers()
{
    if (headlessContextOpen())
        swapHeadlessContext();
    if (!window)
        return;
    if (target)
        target->present();
    glfwSwapBuffers(window);
    glfwPollEvents();
    if (target)
        followFramebuffer();
}

} // namespace Tarvo
