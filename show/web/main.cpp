// The show in a browser page. Start-up is the show's (window, music, sync data, the main
// scene); then the page offers a start button, because browsers play sound only after a
// click, and the show's frame loop runs one pass per animation frame. With a row given
// (still mode) the page draws exactly that row without music, as the capture's --rows
// does, hands the pixels to the page and says "done ROW" in its title.
//
// The page passes its query as arguments: [--row ROW] [--size WxH] [--check-shaders] (the
// last builds every scene of the engine and reports the shader programs that did not link).
#include <emscripten.h>

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "engine/GlLimits.h"
#include "engine/ShaderProgram.h"
#include "runtime/Demo.h"
#include "runtime/Frame.h"
#include "runtime/FrameLoop.h"
#include "runtime/ShowOptions.h"
#include "scenes/SceneRegistry.h"
#include "sync/ShowTime.h"

// The page's side (shell.html): what it shows, and the click it waits for.
EM_JS(void, vantor_page_ready, (), { Module.vantorPage.ready(); });
EM_JS(int, vantor_page_started, (), { return Module.vantorPage.started ? 1 : 0; });
EM_JS(void, vantor_page_first_frame, (), { Module.vantorPage.firstFrame(); });
EM_JS(void, vantor_page_frame, (double row, double startedMs), { Module.vantorPage.frame(row, startedMs); });
EM_JS(void, vantor_page_ended, (), { Module.vantorPage.ended(); });
EM_JS(void, vantor_page_failed, (const char* why), { Module.vantorPage.failed(UTF8ToString(why)); });
EM_JS(void, vantor_page_shaders, (int scenes, const char* failed), {
    Module.vantorPage.shaders(scenes, UTF8ToString(failed));
});
EM_JS(void, vantor_page_still, (const unsigned char* rgba, int width, int height), {
    Module.vantorPage.still(HEAPU8.slice(rgba, rgba + width * height * 4), width, height);
});

namespace {

// The capture draws its rows at 60 frames a second; a still frame uses the same frame time.
constexpr int stillFps = 60;
constexpr double stillFrameTimeMs = 1000.0 / stillFps;
constexpr double initialFrameTimeMs = 16.5;

struct PageShow {
    Tarvo::WindowFrameHost host;
    std::unique_ptr<Tarvo::FrameLoop> loop;
};
PageShow* page = nullptr;

void fail(const std::string& why)
{
    std::fprintf(stderr, "vantor: %s\n", why.c_str());
    vantor_page_failed(why.c_str());
}

// One animation frame: waits for the click, then runs the show's loop a pass at a time.
void animationFrame()
{
    const double startedMs = emscripten_get_now();
    if (!page->loop) {
        if (!vantor_page_started())
            return;
        gDemo->startMusic();
        gDemo->setFrameTime(initialFrameTimeMs);
        page->loop = std::make_unique<Tarvo::FrameLoop>(*gDemo, page->host, gDemo->getSync(), std::cout);
    }
    const bool goesOn = page->loop->step();
    if (page->loop->framesDrawn() == 1)
        vantor_page_first_frame();
    vantor_page_frame(gDemo->getRow(), startedMs);
    if (goesOn)
        return;
    emscripten_cancel_main_loop();
    BASS_ChannelPause(gDemo->getStream());
    std::cout << "Terminate" << std::endl;
    vantor_page_ended();
}

// One frame at row, drawn as the capture draws it at its default 60 frames a second.
void drawRow(double row)
{
    gDemo->setFrameTime(stillFrameTimeMs);
    const float at = static_cast<float>(row);
    Tarvo::drawFrame(*gDemo, Tarvo::FrameRow::at(at), [at] { return showtime::secondsAt(static_cast<double>(at)); });
}

// The row as the capture's --rows writes it: motion blur compares each object with where
// it was the frame before, so that frame is drawn first. The pixels go to the page top row
// first, RGBA.
void drawStill(double row, int width, int height)
{
    drawRow(row - showtime::rowsPerSecond / stillFps);
    drawRow(row);
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<unsigned char> flipped(rgba.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(rgba.data() + stride * (height - 1 - y), stride, flipped.data() + stride * y);
    vantor_page_still(flipped.data(), width, height);
}

// Builds every scene of the registry on its own tracks, so that every shader they load is
// compiled and linked by this browser; the page learns which programs failed.
void checkShaders()
{
    std::string failed;
    for (const OrvelDemo::SceneEntry& entry : OrvelDemo::sceneRegistry()) {
        // Each scene reads its own tracks where it has them, the show's otherwise.
        gDemo->openTracks(entry.trackBase ? entry.trackBase : Tarvo::DemoOptions().syncBasePath);
        // Scenes stay alive: they are destroyed through their own types, which the
        // registry does not give, and the page ends after the check anyway.
        gDemo->setScene(entry.create(*gDemo));
        drawRow(100.0);
        std::cout << "Scene " << entry.name << " built" << std::endl;
    }
    for (const std::string& program : Tarvo::unlinkedPrograms())
        failed += program + "\n";
    vantor_page_shaders(static_cast<int>(OrvelDemo::sceneRegistry().size()), failed.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    bool still = false;
    double stillRow = 0.0;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--row")
            continue;
        char* end = nullptr;
        const double row = i + 1 < args.size() ? std::strtod(args[i + 1].c_str(), &end) : -1.0;
        if (!end || *end != '\0' || !(row >= 0.0 && row <= 1.0e8)) {
            fail("row: '" + (i + 1 < args.size() ? args[i + 1] : std::string()) + "' is not a row (a number from 0 to 1e8)");
            return 2;
        }
        still = true;
        stillRow = row;
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        break;
    }
    bool shaders = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--check-shaders") {
            shaders = true;
            args.erase(args.begin() + static_cast<long>(i));
            break;
        }
    }
    Tarvo::ShowOptions options;
    std::string error;
    if (Tarvo::parseShowArgs(args, options, error) != Tarvo::ShowArgs::Run) {
        fail(error.empty() ? "size: not WxH" : error);
        return 2;
    }

    std::cout << "Initializations " << argc << std::endl;
    for (int i = 0; i < argc; ++i)
        std::cout << i << ": " << argv[i] << std::endl;

    Tarvo::DemoOptions demo;
    // The page is the window: its canvas is the frame's size and the page scales it.
    demo.windowed = true;
    if (still || shaders)
        demo.musicPath.clear();
    try {
        gDemo = new Tarvo::aDemo(options.width, options.height, demo);
    } catch (const Tarvo::StartupError& startup) {
        fail(*startup.what() ? startup.what() : "no WebGL 2 context");
        return 1;
    }
    if (const std::string why = Tarvo::sizeBeyondGlLimits(options.width, options.height); !why.empty()) {
        fail("size " + why);
        return 2;
    }
    if (shaders) {
        checkShaders();
        return 0;
    }
    gDemo->createScene();

    if (still) {
        drawStill(stillRow, options.width, options.height);
        return 0;
    }
    page = new PageShow;
    vantor_page_ready();
    emscripten_set_main_loop(animationFrame, 0, 1);
    return 0;
}
