#include "support/DemoTestContext.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/Demo.h"

namespace testsupport {

bool DemoTestContext::ensure(int width, int height, const std::string& syncBasePath)
{
    if (gDemo)
        return true;
    Tarvo::DemoOptions options;
    options.windowed = true;
    options.visible = false;
    options.musicPath.clear();
    options.syncBasePath = syncBasePath;
    try {
        gDemo = new Tarvo::aDemo(width, height, options);
    } catch (const Tarvo::StartupError& error) {
        std::fprintf(stderr, "GL test context: %s\n", error.what());
        return false;
    }
    // The context goes before the process does, so the renderer's threads are gone when
    // the leak checker of a sanitizer build stops the world.
    std::atexit(glfwTerminate);
    return true;
}

void DemoTestContext::reloadTracks()
{
    if (gDemo)
        gDemo->openTracks(Tarvo::DemoOptions().syncBasePath);
}

} // namespace testsupport
