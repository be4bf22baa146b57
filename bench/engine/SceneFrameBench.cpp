// The main scene's frame on the real driver beside its floor: a chain of plain copy passes
// with the same passes, binds, clears and targets (recorded from the frame itself, see
// PassTrace), and the ratio of the two. Then each pass on its own, real against copy, so
// the passes that cost far more than moving their pixels show.
//
// Usage: sceneframe_bench [width height [frames [row]]]. Without a size it runs 960x540
// and 1920x1080, each in a process of its own (the window size is fixed per process).
// The show's data must have been built (data/ under the source folder, or under the folder
// VANTOR_ROOT names, so that another build's data can be measured by the same program);
// the row picks the frame (camera, glow width and the rest follow the show's tracks there).
#include <GL/glew.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CopyChain.h"
#include "PassTrace.h"
#include "engine/PostScene.h"
#include "engine/ShaderProgram.h"
#include "runtime/Demo.h"
#include "runtime/Frame.h"
#include "scenes/SceneUno.h"
#include "support/BenchSupport.h"
#include "sync/ShowTime.h"
#include "sync/Sync.h"

namespace {

using Clock = std::chrono::steady_clock;
using framebench::CopyChain;
using framebench::Pass;
using framebench::PassTrace;

constexpr int warmupFrames = 2;
constexpr int defaultFrames = 5;
constexpr double defaultRow = 1280.0; // the main section: under the bridge, glow and blur on
constexpr double frameMs = 1000.0 / 60.0;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One frame as the show draws it at a fixed row: tracks, window clear, the scene.
void drawFrame(float row)
{
    gDemo->setFrameTime(frameMs);
    Tarvo::drawFrame(*gDemo, Tarvo::FrameRow::at(row), [row] { return showtime::secondsAt(row); });
}

std::string baseName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

// Program names to the fragment file each was built from. The loader keeps that record and
// hands it out when it builds a program again, so every program is rebuilt once, in place,
// from the files it already came from.
std::map<GLuint, std::string> programNames()
{
    std::map<GLuint, std::string> names;
    for (const std::string& file : Tarvo::shaderFiles()) {
        if (file.size() < 3 || file.compare(file.size() - 3, 3, ".fs") != 0)
            continue;
        for (const Tarvo::ShaderRebuild& rebuilt : Tarvo::rebuildShadersUsing(file))
            names[rebuilt.program] = baseName(rebuilt.fragmentPath);
    }
    return names;
}

std::map<GLuint, std::string> targetNames(Tarvo::PostScene& scene)
{
    std::map<GLuint, std::string> names{{0, "window"}};
    names[scene.getSceneFbo()->getFramebuffer()] = "scene";
    names[scene.getCompositeFbo().getFramebuffer()] = "composite";
    names[scene.getPostFbo().getFramebuffer()] = "post";
    if (auto* uno = dynamic_cast<OrvelDemo::SceneUno*>(&scene))
        for (int i = 1; i <= 11; ++i)
            names[uno->getFbo(i).getFramebuffer()] = "fbo" + std::to_string(i);
    return names;
}

std::string describe(const Pass& pass, const std::map<GLuint, std::string>& programs)
{
    if (!pass.draws())
        return "(clear only)";
    // The geometry pass uses many programs; name each once.
    std::vector<std::string> seen;
    for (GLuint program : pass.programs) {
        auto found = programs.find(program);
        const std::string name = found != programs.end() ? found->second : "program " + std::to_string(program);
        if (std::find(seen.begin(), seen.end(), name) == seen.end())
            seen.push_back(name);
    }
    std::string text;
    for (const std::string& name : seen)
        text += (text.empty() ? "" : "+") + name;
    return text;
}

double median(const std::vector<double>& values)
{
    return benchsupport::percentile(values, 50);
}

std::string spread(const std::vector<double>& times)
{
    char text[64];
    std::snprintf(text, sizeof text, "%8.1f (%.0f..%.0f)", median(times), *std::min_element(times.begin(), times.end()),
        *std::max_element(times.begin(), times.end()));
    return text;
}

void printFrameTimes(const char* what, const std::vector<double>& wall, const std::vector<double>& cpu)
{
    std::printf("  %-11s wall %-22s cpu %s ms\n", what, spread(wall).c_str(), spread(cpu).c_str());
}

// The whole frame inside one GL_TIME_ELAPSED query, against the wall clock, to show
// whether the driver's own timer can stand in for waiting at every bind.
void checkTimerQuery(float row)
{
    GLuint query = 0;
    glGenQueries(1, &query);
    glFinish();
    const Clock::time_point start = Clock::now();
    glBeginQuery(GL_TIME_ELAPSED, query);
    drawFrame(row);
    glEndQuery(GL_TIME_ELAPSED);
    GLuint64 elapsed = 0;
    glGetQueryObjectui64v(query, GL_QUERY_RESULT, &elapsed);
    const double wall = msSince(start);
    glDeleteQueries(1, &query);
    std::printf("GL_TIME_ELAPSED over one frame: %.1f ms (wall clock to the result %.1f ms)\n",
        static_cast<double>(elapsed) / 1e6, wall);
}

int runOne(const benchsupport::SizeArguments& size)
{
    const int width = size.width, height = size.height, frames = size.frames;
    const auto row = static_cast<float>(size.extra);
    const char* overridden = std::getenv("VANTOR_ROOT");
    const char* root = overridden && *overridden ? overridden : VANTOR_SOURCE_DIR;
    if (!benchsupport::enterFolder(root, "sceneframe_bench"))
        return 1;
    const auto scratch = benchsupport::scratchFolder("vantor-frame-bench");

    Tarvo::DemoOptions options;
    options.windowed = true;
    options.visible = false;
    options.soundOn = 0;
    options.musicPath.clear();
    std::map<GLuint, std::string> programs;
    std::map<GLuint, std::string> targets;
    std::vector<Pass> frame;
    std::unique_ptr<CopyChain> copies;
    {
        benchsupport::QuietStdout quiet;
        try {
            gDemo = new Tarvo::aDemo(width, height, options);
        } catch (const std::exception&) {
            std::fprintf(stderr, "no OpenGL window (run it under a display: scripts/with-display.sh)\n");
            std::filesystem::remove_all(scratch);
            return 1;
        }
        gDemo->createScene();
        programs = programNames();
        targets = targetNames(*gDemo->getScene());
        for (int i = 0; i < warmupFrames; ++i)
            drawFrame(row);
        PassTrace trace;
        trace.begin(false);
        drawFrame(row);
        trace.end();
        frame = trace.passes();
        copies = std::make_unique<CopyChain>(frame, scratch.string());
        for (int i = 0; i < warmupFrames; ++i)
            copies->run(false);
        glFinish();
    }
    std::filesystem::remove_all(scratch);

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::set<GLuint> distinct;
    for (const Pass& pass : frame)
        distinct.insert(pass.framebuffer);
    double load[3] = {0.0, 0.0, 0.0};
    getloadavg(load, 3);
    std::printf("main scene %dx%d at row %g, %d frames, %s; load average %.2f %.2f %.2f\n", width, height,
        static_cast<double>(row), frames, renderer ? renderer : "?", load[0], load[1], load[2]);
    std::printf("%zu binds (each clears), %d drawing passes, %zu distinct targets (window included)\n",
        frame.size(), PassTrace::drawingPasses(frame), distinct.size());

    // Whole frames, the driver left to overlap passes as it likes; real and copy frames
    // alternate so that a change in the machine's load falls on both.
    std::vector<double> realWall, copyWall, realCpu, copyCpu;
    for (int i = 0; i < frames; ++i) {
        framebench::PassClock clock;
        drawFrame(row);
        const framebench::PassTime real = clock.lap();
        copies->run(false);
        const framebench::PassTime copy = clock.lap();
        realWall.push_back(real.wall);
        realCpu.push_back(real.cpu);
        copyWall.push_back(copy.wall);
        copyCpu.push_back(copy.cpu);
    }
    std::printf("whole frames (medians, range in brackets), wall clock and process CPU time:\n");
    printFrameTimes("frame", realWall, realCpu);
    printFrameTimes("copy chain", copyWall, copyCpu);
    std::printf("  %-11s wall %8.2f               cpu %8.2f\n", "ratio", median(realWall) / median(copyWall),
        median(realCpu) / median(copyCpu));

    // Pass by pass, waiting for the driver at every bind.
    const std::size_t count = frame.size();
    std::vector<std::vector<double>> realPassWall(count), copyPassWall(count), realPassCpu(count), copyPassCpu(count);
    for (int i = 0; i < frames; ++i) {
        PassTrace trace;
        trace.begin(true);
        drawFrame(row);
        trace.end();
        if (trace.passes().size() != count) {
            std::fprintf(stderr, "the frame changed its passes between frames (%zu, then %zu)\n", count,
                trace.passes().size());
            return 1;
        }
        const std::vector<framebench::PassTime> copyTimes = copies->run(true);
        for (std::size_t p = 0; p < count; ++p) {
            realPassWall[p].push_back(trace.passes()[p].time.wall);
            realPassCpu[p].push_back(trace.passes()[p].time.cpu);
            copyPassWall[p].push_back(copyTimes[p].wall);
            copyPassCpu[p].push_back(copyTimes[p].cpu);
        }
    }
    double sums[4] = {0.0, 0.0, 0.0, 0.0};
    std::printf("per pass, waiting for the driver at every bind (medians; ms):\n");
    std::printf("  %3s %-10s %9s %3s %-40s %8s %8s %6s %8s %8s %6s\n", "#", "target", "size", "out", "drawn with",
        "wall", "copy", "ratio", "cpu", "copy", "ratio");
    for (std::size_t p = 0; p < count; ++p) {
        const Pass& pass = frame[p];
        const double t[4] = {median(realPassWall[p]), median(copyPassWall[p]), median(realPassCpu[p]),
            median(copyPassCpu[p])};
        for (int k = 0; k < 4; ++k)
            sums[k] += t[k];
        auto name = targets.find(pass.framebuffer);
        const std::string size = std::to_string(pass.width) + "x" + std::to_string(pass.height);
        std::printf("  %3zu %-10s %9s %3d %-40s %8.2f %8.2f %6.2f %8.2f %8.2f %6.2f\n", p,
            name != targets.end() ? name->second.c_str() : ("fb" + std::to_string(pass.framebuffer)).c_str(),
            size.c_str(), pass.draws() ? pass.outputs : 0, describe(pass, programs).c_str(), t[0], t[1],
            t[1] > 0 ? t[0] / t[1] : 0.0, t[2], t[3], t[3] > 0 ? t[2] / t[3] : 0.0);
    }
    std::printf("  %-66s %8.1f %8.1f %6.2f %8.1f %8.1f %6.2f\n", "sum of passes", sums[0], sums[1],
        sums[0] / sums[1], sums[2], sums[3], sums[2] / sums[3]);
    checkTimerQuery(row);
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runSizes(argc, argv, defaultFrames, defaultRow, "row", runOne);
}
