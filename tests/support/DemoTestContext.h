// The demo instance (gDemo, without music) in an invisible window, for tests of the
// runtime and the scenes, which read the row and the tracks through it.
#pragma once

#include <string>

#include "support/GLTestContext.h"

namespace testsupport {

class DemoTestContext {
public:
    // Creates gDemo with this window size and track base on the first call in a process;
    // later calls reuse it. Returns false when no context can be had.
    static bool ensure(int width = 64, int height = 64,
        const std::string& syncBasePath = "./data/science/sync");
    // Gives the demo instance a fresh store for "./data/science/sync" under the current
    // folder, so a case that writes its own tracks is not served those an earlier case of
    // the same process loaded. Does nothing before the first ensure.
    static void reloadTracks();
};

} // namespace testsupport

#define REQUIRE_DEMO_CONTEXT(w, h) REQUIRE_CONTEXT(testsupport::DemoTestContext::ensure((w), (h)))
