// EGL set-up for drawing without a display. Only this file knows EGL; the window module
// calls it when asked for a headless context.
#include "runtime/HeadlessContext.h"

#if defined(VANTOR_EGL)
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <utility>
#endif

namespace Tarvo {

#if defined(VANTOR_EGL)

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLSurface surface = EGL_NO_SURFACE;

bool hasExtension(const char* list, const char* name)
{
    if (!list)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + length, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

// Mesa's surfaceless platform picks a GPU's render node or its software renderer by
// itself; drivers without it (NVIDIA's) offer their GPUs as EGL devices instead.
EGLDisplay openDisplay(std::string& why)
{
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        why = "EGL has no platform displays (EGL_EXT_platform_base)";
        return EGL_NO_DISPLAY;
    }
    EGLint major = 0;
    EGLint minor = 0;
    if (hasExtension(client, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor))
            return d;
    }
    const auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (hasExtension(client, "EGL_EXT_platform_device") && queryDevices) {
        EGLDeviceEXT devices[8];
        EGLint count = 0;
        if (queryDevices(8, devices, &count)) {
            for (EGLint i = 0; i < count; ++i) {
                EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
                if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor))
                    return d;
            }
        }
    }
    why = "EGL offers neither Mesa's surfaceless platform nor a device to draw on";
    return EGL_NO_DISPLAY;
}

} // namespace

bool openHeadlessContext(int width, int height, std::string& error)
{
    display = openDisplay(error);
    if (display == EGL_NO_DISPLAY)
        return false;
    // The configurations the window asks for, in the same order, so both draw the same
    // pixels: multisampled with a 32-bit depth buffer first (the window's hint of one
    // sample gets the driver's smallest multisampled format), else plain with 24 bits.
    EGLConfig config = nullptr;
    EGLint found = 0;
    for (const auto& [samples, depth] : {std::pair{1, 32}, std::pair{0, 24}}) {
        const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
                                     EGL_DEPTH_SIZE, depth, EGL_STENCIL_SIZE, 0, EGL_SAMPLE_BUFFERS, samples > 0,
                                     EGL_SAMPLES, samples, EGL_NONE};
        if (eglChooseConfig(display, attributes, &config, 1, &found) && found > 0)
            break;
    }
    if (found < 1) {
        error = "EGL has no RGBA configuration with a depth buffer for off-screen drawing";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL cannot create desktop OpenGL contexts here";
        return false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE, EGL_TRUE, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        error = "EGL gives no OpenGL 3.3 core context";
        return false;
    }
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, size);
    if (surface == EGL_NO_SURFACE) {
        error = "EGL cannot make a " + std::to_string(width) + "x" + std::to_string(height) + " off-screen surface";
        return false;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        error = "EGL cannot make the context current";
        return false;
    }
    return true;
}

bool headlessContextOpen()
{
    return surface != EGL_NO_SURFACE;
}

void swapHeadlessContext()
{
    if (surface != EGL_NO_SURFACE)
        eglSwapBuffers(display, surface);
}

#else

bool openHeadlessContext(int, int, std::string& error)
{
    error = "this build draws without a window only on Linux with EGL";
    return false;
}

bool headlessContextOpen()
{
    return false;
}

void swapHeadlessContext()
{
}

#endif

} // namespace Tarvo
