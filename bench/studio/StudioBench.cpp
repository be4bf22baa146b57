// vantor-studio's figures, measured on the studio itself in this process: reload latency
// from the save to the end of the first frame that shows it (timeline and shader), seek
// latency from a command's arrival to the music being at its row, the cost of one seek on
// the stream, and the file watcher's cost per frame by notification and by polling.
// Saves and commands come from a second thread at random moments, as a person's would, so
// the wait for the next frame is in the figures.
//
// Usage (needs a display): studio_bench [--scene NAME] [--size WxH] [--saves N]
// Runs in a scratch copy of ./data (the timeline and shaders copied, everything else
// linked), so it never writes the repository's files. Figures on standard output.
#include <GL/glew.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "StudioBenchSupport.h"
#include "audio/BassTimer.h"
#include "engine/ShaderProgram.h"
#include "runtime/Demo.h"
#include "studio/FileWatcher.h"
#include "studio/Studio.h"
#include "studio/Transport.h"

namespace {

namespace fs = std::filesystem;
using studio::Clock;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Spread {
    double min = 0, median = 0, max = 0;
};

Spread spread(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Saves the file n times with alternating contents, each once the studio has shown the
// last, after a random pause of up to span milliseconds (two frames or more, so a save
// falls anywhere in a frame); returns when all are shown or the studio stops.
class Saver {
public:
    Saver(fs::path path, int count)
        : path(std::move(path)), count(count), original(readText(this->path)),
          comment(this->path.extension() == ".txt" ? "#" : "//")
    {
    }

    void run(const std::atomic<int>& shown, const std::atomic<bool>& stop, int span)
    {
        std::mt19937 random(12345);
        std::uniform_int_distribution<int> pause(1, span);
        for (int i = 0; i < count && !stop; ++i) {
            while (shown.load() < i && !stop)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
            saved[static_cast<size_t>(i)] = Clock::now();
            std::ofstream(path, std::ios::binary) << original << "\n" << comment << " save " << i << "\n";
        }
    }

    fs::path path;
    int count;
    std::string original;
    std::string comment; // a line each save adds, in the file's own comment syntax
    std::vector<Clock::time_point> saved = std::vector<Clock::time_point>(static_cast<size_t>(count));
};

} // namespace

int main(int argc, char** argv)
{
    studio::StudioOptions options = studiobench::benchOptions();
    int saves = 20;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--saves")
            saves = std::max(1, std::atoi(argv[i + 1]));
        else
            studiobench::readSceneOption(argv[i], argv[i + 1], options);
    }
    const fs::path root =
        studiobench::scratchData(fs::current_path() / "data", "studio-bench", {"timeline.txt", "shaders", "scenes"});
    fs::current_path(root);
    FILE* quiet = std::fopen("/dev/null", "w");
    studio::Studio studio(options, quiet, quiet);
    // The engine's start-up log is not the bench's.
    std::fflush(stdout);
    const int results = dup(STDOUT_FILENO);
    dup2(fileno(quiet), STDOUT_FILENO);
    if (!studio.start()) {
        std::fprintf(stderr, "studio_bench: the studio cannot start here (a display and ./data are needed)\n");
        return 1;
    }
    std::fflush(stdout);
    dup2(results, STDOUT_FILENO);

    std::vector<double> frames;
    auto frame = [&] {
        const Clock::time_point start = Clock::now();
        studio.beginFrame();
        studio.drawFrame();
        frames.push_back(ms(Clock::now() - start));
    };
    for (int i = 0; i < 20; ++i)
        frame();
    // Saves and commands come at random moments over two frames or more.
    const int span = std::max(70, static_cast<int>(2.0 * spread(frames).median));

    // Reloads: each save against the end of the frame that first shows it.
    auto reloads = [&](const fs::path& file) {
        Saver saver(file, saves);
        std::atomic<int> shown{0};
        std::atomic<bool> stop{false};
        std::thread writer([&] { saver.run(shown, stop, span); });
        std::vector<double> latency;
        std::vector<double> work;
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30 + saves * 5);
        while (shown < saves && Clock::now() < deadline) {
            frame();
            for (const studio::FrameReload& reload : studio.frameReloads()) {
                if (shown < saves) {
                    latency.push_back(ms(reload.shown - saver.saved[static_cast<size_t>(shown++)]));
                    work.push_back(ms(reload.done - reload.seen));
                }
            }
        }
        stop = true;
        writer.join();
        return std::make_pair(spread(latency), spread(work));
    };
    const auto [timeline, timelineWork] = reloads("data/timeline.txt");
    const auto [shader, shaderWork] = reloads("data/shaders/postproc.fs");

    // Seeks from the command's arrival (pushed at a random moment, as standard input's
    // thread pushes it) to the music at the row, found between the frame's halves.
    std::vector<double> seekLatency;
    {
        const double end = studio.transport().endRow();
        std::atomic<double> target{-1.0};
        std::atomic<bool> stop{false};
        std::thread commander([&] {
            std::mt19937 random(777);
            for (int i = 0; i < saves && !stop; ++i) {
                while (target.load() >= 0.0 && !stop)
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(1, span)(random)));
                const double row = std::floor(std::uniform_real_distribution<double>(0.0, end * 0.9)(random));
                target = row;
                studio.commandQueue()->push("seek " + std::to_string(row));
            }
        });
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30 + saves * 5);
        while (seekLatency.size() < static_cast<size_t>(saves) && Clock::now() < deadline) {
            const Clock::time_point start = Clock::now();
            studio.beginFrame();
            const double wanted = target.load();
            // The music plays on from the row: on a busy machine it may be a little past it.
            const double row = gDemo->getTimer()->getRow();
            if (wanted >= 0.0 && row >= wanted - 0.01 && row < wanted + 1.0) {
                seekLatency.push_back(ms(Clock::now() - studio.lastCommandArrival()));
                target = -1.0;
            }
            studio.drawFrame();
            frames.push_back(ms(Clock::now() - start));
        }
        stop = true;
        commander.join();
    }
    // One seek on the stream: the position reads the new row as soon as the call returns.
    std::vector<double> seekCall;
    for (int i = 0; i < 200; ++i) {
        const double target = showtime::rowsPerBar * (i % 50);
        const Clock::time_point start = Clock::now();
        studio.transport().seek(target);
        const float row = gDemo->getTimer()->getRow();
        seekCall.push_back(ms(Clock::now() - start) * 1000.0);
        if (std::fabs(row - target) > 0.01)
            std::fprintf(stderr, "studio_bench: a seek to %g read back %g\n", target, double(row));
    }

    // The watcher alone, over the files the studio watches.
    std::vector<std::string> files = Tarvo::shaderFiles();
    files.push_back("data/timeline.txt");
    auto watchCost = [&](studio::FileWatcher::Method method, std::chrono::milliseconds interval) {
        studio::FileWatcher watcher(method, interval);
        watcher.watch(files);
        std::vector<double> perCall;
        for (int batch = 0; batch < 50; ++batch) {
            const Clock::time_point start = Clock::now();
            for (int i = 0; i < 200; ++i)
                watcher.changed();
            perCall.push_back(ms(Clock::now() - start) * 1000.0 / 200.0);
        }
        return spread(perCall);
    };
    const Spread notify = watchCost(studio::FileWatcher::Method::Notify, std::chrono::milliseconds(250));
    const Spread pollEvery = watchCost(studio::FileWatcher::Method::Poll, std::chrono::milliseconds(0));

    const Spread frameMs = spread(frames);
    std::printf("scene %s %dx%d, %d saves and seeks each\n", options.scene.c_str(), options.width, options.height,
        saves);
    std::printf("frame_ms                 min %8.3f  median %8.3f  max %8.3f\n", frameMs.min, frameMs.median,
        frameMs.max);
    std::printf("timeline_save_to_shown_ms min %8.3f  median %8.3f  max %8.3f\n", timeline.min, timeline.median,
        timeline.max);
    std::printf("shader_save_to_shown_ms  min %8.3f  median %8.3f  max %8.3f\n", shader.min, shader.median,
        shader.max);
    std::printf("timeline_reload_work_ms  min %8.3f  median %8.3f  max %8.3f\n", timelineWork.min,
        timelineWork.median, timelineWork.max);
    std::printf("shader_reload_work_ms    min %8.3f  median %8.3f  max %8.3f\n", shaderWork.min, shaderWork.median,
        shaderWork.max);
    std::printf("seek_command_to_music_ms min %8.3f  median %8.3f  max %8.3f\n", spread(seekLatency).min,
        spread(seekLatency).median, spread(seekLatency).max);
    std::printf("seek_call_us             min %8.3f  median %8.3f  max %8.3f\n", spread(seekCall).min,
        spread(seekCall).median, spread(seekCall).max);
    std::printf("watch_notify_us (%zu files) min %8.3f  median %8.3f  max %8.3f\n", files.size(), notify.min,
        notify.median, notify.max);
    std::printf("watch_poll_every_frame_us min %8.3f  median %8.3f  max %8.3f\n", pollEvery.min, pollEvery.median,
        pollEvery.max);
    std::fflush(stdout);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(root);
    return 0;
}
