#include "support/DemoTestContext.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/Demo.h"
#include "support/GLTestContext.h"
#include "support/GlObjectLedger.h"

namespace testsupport {

bool DemoTestContext::ensure(int width, int height, const std::string& syncBasePath)
{
    if (gDemo)
        return true;
    Tarvo::DemoOptions options;
    options.windowed = true;
    options.visible = false;
    // Without a display the demo draws off-screen, like the capture.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    options.headless = !(display && *display) && !(wayland && *wayland);
    options.musicPath.clear();
    options.syncBasePath = syncBasePath;
    try {
        gDemo = new Tarvo::aDemo(width, height, options);
    } catch (const Tarvo::StartupError& error) {
        std::fprintf(stderr, "GL test context: %s\n", error.what());
        return false;
    }
    closeGlAtExit();
    // The demo instance and what it made live for the whole process, as in the show;
    // everything created from here on belongs to a test.
    GlObjectLedger::install();
    return true;
}

void DemoTestContext::reloadTracks()
{
    if (gDemo)
        gDemo->openTracks(Tarvo::DemoOptions().syncBasePath);
}

} // namespace testsupport
