// vantor-studio's editing figures.
//
//   studio_edit_bench --save KEYS
//     A generated timeline of KEYS keys (100 tracks, comments between them): loading it
//     into the document, one key set (with the re-index and the keys given to the track
//     store), and a save (the text joined and written atomically); five runs, median and
//     range. Needs no display.
//   studio_edit_bench [--scene NAME] [--size WxH] [--presses N]
//     The studio in this process (needs a display), in a scratch copy of ./data: a value
//     typed and Enter pressed in the track view, the key events delivered as the window
//     delivers them during the swap; the time from the Enter to the end of the frame
//     that shows the new key, and the edit's own cost inside that frame.
// Figures on standard output.
#include <unistd.h>

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "StudioBenchSupport.h"
#include "base/AtomicFile.h"
#include "runtime/Window.h"
#include "studio/KeyInput.h"
#include "studio/Studio.h"
#include "studio/StudioEditor.h"
#include "studio/TimelineDocument.h"
#include "studio/Transport.h"
#include "sync/Sync.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string spread(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.2f ms (%.2f to %.2f)", values[values.size() / 2], values.front(), values.back());
    return text;
}

std::string generated(int keys)
{
    const int tracks = 100;
    std::string text = "# A generated timeline: " + std::to_string(keys) + " keys in " + std::to_string(tracks) + " tracks.\n";
    for (int t = 0; t < tracks; ++t) {
        text += "\n# track " + std::to_string(t) + "\ntrack t" + std::to_string(t) + "\n";
        for (int k = 0; k < keys / tracks; ++k) {
            char line[64];
            std::snprintf(line, sizeof line, "%-8d %9.4f  linear\n", k * 4, (k % 97) * 0.25 - 12.0);
            text += line;
        }
    }
    return text;
}

// Wall clock and this process's processor time of one step: on a shared machine the
// second says what the step costs, the first what a person waited.
struct Timed {
    std::vector<double> wall, cpu;
    template <typename Step> void measure(Step step)
    {
        const Clock::time_point t0 = Clock::now();
        const std::clock_t c0 = std::clock();
        step();
        cpu.push_back(1000.0 * double(std::clock() - c0) / CLOCKS_PER_SEC);
        wall.push_back(ms(Clock::now() - t0));
    }
    std::string text() const { return spread(wall) + ", processor " + spread(cpu); }
};

int saveBench(int keys)
{
    const std::string text = generated(keys);
    const fs::path folder = benchsupport::scratchFolder("vantor-edit-bench");
    const std::string path = (folder / "timeline.txt").string();
    std::unique_ptr<Sync> sync(Sync::create((folder / "sync").string(), nullptr));
    Timed load, edit, push, save;
    bool ok = true;
    for (int run = 0; run < 5 && ok; ++run) {
        studio::TimelineDocument doc;
        std::vector<std::string> errors;
        std::string why;
        load.measure([&] { ok = doc.load(text, path, errors); });
        edit.measure([&] { ok = ok && doc.setKey("t50", 2002, 1.5, -1, why); });
        push.measure([&] { sync->replaceKeys(doc.timeline()); });
        save.measure([&] {
            const std::string joined = doc.joined();
            ok = ok && Tarvo::writeFileAtomically(path, joined.data(), joined.size(), why);
        });
        if (!ok)
            std::fprintf(stderr, "studio_edit_bench: %s\n", errors.empty() ? why.c_str() : errors.front().c_str());
    }
    fs::remove_all(folder);
    if (!ok)
        return 1;
    std::printf("timeline of %d keys, %zu bytes, 5 runs: median (min to max), wall clock then processor\n", keys,
        text.size());
    std::printf("  load into the document:                      %s\n", load.text().c_str());
    std::printf("  one key set (the lines spliced, re-indexed): %s\n", edit.text().c_str());
    std::printf("  its keys into the running tracks:            %s\n", push.text().c_str());
    std::printf("  save (joined, written atomically):           %s\n", save.text().c_str());
    return 0;
}

int pressBench(const studio::StudioOptions& base, int presses)
{
    const fs::path root = studiobench::scratchData("data", "edit-bench", {"timeline.txt", "scenes"});
    if (chdir(root.c_str()) != 0)
        return 1;
    studio::StudioOptions options = base;
    options.paused = true;
    options.remember = false;
    options.hasRow = true;
    options.row = 1000.0;
    // A track the scene's picture reads: the test card's fade, the main scene's camera.
    options.tracks = {options.scene == "testcard" ? "cardfade" : "camX"};
    std::FILE* quiet = std::fopen("/dev/null", "w");
    studio::Studio studio(options, quiet, stderr);
    if (!studio.start())
        return 1;
    GLFWwindow* window = Tarvo::currentWindow();
    auto frame = [&] {
        studio.beginFrame();
        studio.drawFrame();
    };
    studio::KeyInput::onKey(window, GLFW_KEY_TAB, 0, GLFW_PRESS, 0);
    for (int i = 0; i < 3; ++i)
        frame();
    std::vector<double> shown, inFrame, frames;
    for (int i = 0; i < presses; ++i) {
        const Clock::time_point before = Clock::now();
        frame();
        frames.push_back(ms(Clock::now() - before));
        // The key events arrive during the swap, between frames, as GLFW delivers them.
        const std::string value = std::to_string(i % 7) + ".5";
        for (const char c : value)
            studio::KeyInput::onChar(window, static_cast<unsigned char>(c));
        studio::KeyInput::onKey(window, GLFW_KEY_ENTER, 0, GLFW_PRESS, 0);
        const Clock::time_point pressed = Clock::now();
        studio.beginFrame();
        inFrame.push_back(ms(Clock::now() - pressed));
        studio.drawFrame();
        shown.push_back(ms(Clock::now() - pressed));
        studio::KeyInput::onKey(window, GLFW_KEY_DOWN, 0, GLFW_PRESS, 0);
    }
    std::printf("%s %dx%d, %d presses: median (min to max)\n", options.scene.c_str(), options.width, options.height,
        presses);
    std::printf("  frame time:                                          %s\n", spread(frames).c_str());
    std::printf("  Enter to the end of the frame showing the key:       %s\n", spread(shown).c_str());
    std::printf("  the frame's input, edit and track update before drawing: %s\n", spread(inFrame).c_str());
    std::printf("  (a key pressed at a random moment waits half a frame more on average)\n");
    std::fclose(quiet);
    fs::remove_all(root);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    studio::StudioOptions options = studiobench::benchOptions();
    int presses = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--save")
            return saveBench(std::max(100, std::atoi(argv[i + 1])));
        if (name == "--presses")
            presses = std::max(1, std::atoi(argv[i + 1]));
        else
            studiobench::readSceneOption(name, argv[i + 1], options);
    }
    return pressBench(options, presses);
}
