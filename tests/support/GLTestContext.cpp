#include "support/GLTestContext.h"

#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define VANTOR_LEAK_CHECKED 1
#endif
#endif

#include "engine/GlState.h"
#include "engine/Loading.h"
#include "engine/WindowSize.h"
#include "runtime/ContextHints.h"
#include "runtime/HeadlessContext.h"
#include "support/GlObjectLedger.h"

namespace testsupport {

namespace {

void reportGlfwError(int code, const char* description)
{
    std::fprintf(stderr, "GL test context: GLFW error 0x%x: %s\n", code, description);
}

// A virtual display shared by many test processes now and then refuses a connection for a
// moment; a few tries, each said in the log, tell that apart from having no display.
bool startGlfw()
{
    const bool displayNamed = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    const int tries = displayNamed ? 5 : 1;
    for (int attempt = 1; attempt <= tries; ++attempt) {
        if (glfwInit())
            return true;
        std::fprintf(stderr, "GL test context: GLFW cannot start (try %d of %d)\n", attempt, tries);
        std::this_thread::sleep_for(std::chrono::milliseconds(200 * attempt));
    }
    return false;
}

// Without a display, the context is drawn off-screen (EGL) where the system can; with
// one, it is an invisible window, as before.
bool displayNamed()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

bool openHeadless(int width, int height)
{
    std::string why;
    if (!Tarvo::openHeadlessContext(width, height, why)) {
        std::fprintf(stderr, "GL test context: no display and no off-screen context (%s); run under xvfb-run\n",
                     why.c_str());
        return false;
    }
    if (!Tarvo::loadGlEntryPoints()) {
        std::fprintf(stderr, "GL test context: GLEW cannot load the entry points\n");
        return false;
    }
    return true;
}

GLFWwindow* openWindow(int width, int height)
{
    glfwSetErrorCallback(reportGlfwError);
    if (!startGlfw()) {
        std::fprintf(stderr, "GL test context: no display (run under xvfb-run)\n");
        return nullptr;
    }
    Tarvo::hintCoreContext();
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "Vantor test", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "GL test context: no OpenGL 3.3 core window\n");
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    if (!Tarvo::loadGlEntryPoints()) {
        std::fprintf(stderr, "GL test context: GLEW cannot load the entry points\n");
        return nullptr;
    }
    return window;
}

// In a sanitizer build the leak check runs before the display closes: closing it unloads
// the driver, after which a report can no longer name the library an allocation came from
// and the suppressions for the driver cannot match. The context then goes before the
// process does.
void closeGl()
{
#if defined(VANTOR_LEAK_CHECKED)
    __lsan_do_leak_check();
#endif
    glfwTerminate();
}

} // namespace

void closeGlAtExit()
{
    std::atexit(closeGl);
}

bool GLTestContext::ensure(int width, int height)
{
    static bool opened = false;
    if (opened)
        return true;
    opened = displayNamed() ? openWindow(width, height) != nullptr : openHeadless(width, height);
    if (!opened)
        return false;
    closeGlAtExit();
    // The loading the demo instance would own: one image cache for the process.
    static Tarvo::Loading loading;
    loading.makeCurrent();

    // The state the demo instance sets once at start-up, which every pass relies on.
    GLuint vertexArray = 0;
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    Tarvo::setFixedGlState();
    glViewport(0, 0, width, height);
    Tarvo::setWindowSize(width, height);
    // Everything created from here on belongs to a test and must be deleted by its owner.
    GlObjectLedger::install();
    return true;
}

std::vector<std::uint8_t> readPixels(int x, int y, int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::vector<std::uint8_t> readPixel(int x, int y)
{
    return readPixels(x, y, 1, 1);
}

std::vector<float> readTexture(GLuint texture, int width, int height)
{
    std::vector<float> pixels(static_cast<size_t>(width) * height * 4);
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return pixels;
}

} // namespace testsupport
