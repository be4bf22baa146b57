// The capture's frame loop. Each frame does what a pass of the show's loop does (row,
// frame time, clear, run, swap), except that the row comes from the frame's index instead
// of the music, and the picture is read back before the swap.
#include "capture/Capture.h"

#include <GL/glew.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/FramePlan.h"
#include "capture/GpuTimer.h"
#include "capture/PngSink.h"
#include "capture/Progress.h"
#include "scenes/SceneRegistry.h"
#include "capture/WavWriter.h"
#include "capture/Y4mSink.h"
#include "audio/AudioDevice.h"
#include "audio/BassAudio.h"
#include "base/StopSignal.h"
#include "engine/GlLimits.h"
#include "engine/LoadProgress.h"
#include "engine/Loading.h"
#include "runtime/Demo.h"
#include "runtime/Frame.h"
#include "runtime/Window.h"
#include "sync/Sync.h"

namespace capture {

namespace {

using OrvelDemo::SceneEntry;
using OrvelDemo::findScene;
using Clock = std::chrono::steady_clock;

void report(const std::string& text)
{
    std::fprintf(stderr, "vantor-capture: %s\n", text.c_str());
}

double msSince(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// Headless drawing needs EGL; a window needs a display.
std::string noContextMessage(bool headless)
{
    if (headless)
        return "cannot draw without a display here (see above); give it one instead, a virtual one will do: "
               "xvfb-run -a -s \"-screen 0 1920x1080x24\" vantor-capture ...";
    return "no OpenGL 3.3 window could be opened on " + Tarvo::displayName() +
           "; it needs a graphics driver with OpenGL 3.3 (or Mesa's software renderer), or --headless";
}

// The demo instance as the capture needs it: no sound device of its own, the music
// decoded rather than played, and an invisible window of the capture's size. The exit
// status: 0 started, 2 for a size this GL cannot draw, 1 for any other failure.
int startDemo(const CaptureOptions& o, const SceneEntry& scene)
{
    // Decoding needs no output device; this keeps the capture off the sound card (a
    // caller's own choice of driver is kept).
    audio::preferSilentOutput();
    Tarvo::DemoOptions demo;
    demo.windowed = true;
    demo.visible = false;
    demo.soundOn = 0;
    // Without a display there is no window to hide: the frames are drawn off-screen.
    demo.headless = o.headless || Tarvo::displayName().empty();
    if (scene.trackBase)
        demo.syncBasePath = scene.trackBase;
    try {
        gDemo = new Tarvo::aDemo(o.width, o.height, demo);
    } catch (const Tarvo::StartupError& error) {
        report(*error.what() ? std::string(error.what()) + " " + demo.musicPath : noContextMessage(demo.headless));
        return 1;
    }
    // Beyond these the scenes' framebuffers would fail one GL call at a time.
    if (const std::string why = Tarvo::sizeBeyondGlLimits(o.width, o.height); !why.empty()) {
        report("--size " + why);
        return 2;
    }
    // The swap only ends a frame here; it must not wait for a display's refresh.
    Tarvo::setSwapInterval(0);
    int w = 0;
    int h = 0;
    Tarvo::framebufferSize(w, h);
    if (w != o.width || h != o.height) {
        report("the window's picture is " + std::to_string(w) + "x" + std::to_string(h) + ", not the " +
               std::to_string(o.width) + "x" + std::to_string(o.height) + " asked for");
        return 1;
    }
    return 0;
}

double musicRows(HSTREAM stream)
{
    const QWORD bytes = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    if (bytes == static_cast<QWORD>(-1))
        return 0.0;
    const double seconds = BASS_ChannelBytes2Seconds(stream, bytes);
    return seconds > 0.0 ? showtime::rowAt(seconds) : 0.0;
}

void renderFrame(double row, int fps)
{
    gDemo->setFrameTime(1000.0 / fps);
    Tarvo::drawFrame(*gDemo, Tarvo::FrameRow::at(sceneRow(row)), [row] { return sceneTime(row); });
}

// The window's back buffer, where the last pass of the frame has just drawn; read before
// the swap, after which its contents are undefined.
bool readWindow(int width, int height, std::vector<std::uint8_t>& bgra)
{
    bgra.resize(static_cast<size_t>(width) * height * 4);
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint previous = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    // The window's own layout comes back as a plain copy; any other costs the GL thread a
    // conversion of every pixel, which the encoders' threads do instead.
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, bgra.data());
    const GLenum error = glGetError();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (error != GL_NO_ERROR) {
        report("reading the window back failed (GL error " + std::to_string(error) + ")");
        return false;
    }
    return true;
}

bool writeMusic(const CaptureOptions& o, double endRow)
{
    StreamPcmSource source(gDemo->getStream());
    if (!source.valid()) {
        report(o.wavPath + ": the music stream gives no samples");
        return false;
    }
    const SampleSpan span = sampleSpan(o.from, endRow, source.rate());
    std::string why;
    if (!writeWav(o.wavPath, source, span, why)) {
        report(why);
        return false;
    }
    std::fprintf(stderr, "vantor-capture: %s: %llu samples at %d Hz, rows %g to %g\n", o.wavPath.c_str(),
                 static_cast<unsigned long long>(span.count), source.rate(), o.from, endRow);
    return true;
}

int bench(const CaptureOptions& o, FILE* out, Clock::time_point started)
{
    std::vector<double> times;
    times.reserve(static_cast<size_t>(o.benchFrames));
    std::vector<std::uint8_t> pixels;
    double startupMs = 0.0;
    GpuTimer gpu;
    std::vector<GpuFrame> gpuFrames;
    for (long i = 0; i < o.benchFrames; ++i) {
        if (Tarvo::stopRequested())
            return Tarvo::stopExitStatus();
        const Clock::time_point frameStart = Clock::now();
        {
            std::optional<Tarvo::LoadStep> firstFrame;
            if (i == 0)
                firstFrame.emplace(Tarvo::LoadPhase::FirstFrame);
            gpu.beginFrame();
            renderFrame(frameRow(o.from, i, o.fps), o.fps);
            gpu.endFrame();
            // The read-back waits for the GPU, so the figure is what a frame really costs.
            if (!readWindow(o.width, o.height, pixels))
                return 1;
            Tarvo::swapBuffers();
            if (gpu.available())
                gpuFrames.push_back(gpu.collect());
        }
        times.push_back(msSince(frameStart));
        if (i == 0)
            startupMs = msSince(started);
    }
    const FrameTimes t = frameTimes(times);
    std::fprintf(out, "size %dx%d\nframes %ld\nstartup_ms %.1f\n", o.width, o.height, o.benchFrames, startupMs);
    // Where start-up went, phase by phase; what is left of startup_ms is the rest of the
    // program's own work (argument parsing, scene objects, the loading picture).
    const Tarvo::LoadProgress& loaded = gDemo->getLoading().account().progress();
    for (int phase = 0; phase < Tarvo::loadPhaseCount; ++phase) {
        std::string name = Tarvo::loadPhaseName(static_cast<Tarvo::LoadPhase>(phase));
        std::replace(name.begin(), name.end(), ' ', '_');
        std::fprintf(out, "startup_%s_ms %.1f\n", name.c_str(), loaded.milliseconds[static_cast<std::size_t>(phase)]);
    }
    std::fprintf(out, "frame_ms_min %.3f\nframe_ms_median %.3f\nframe_ms_p95 %.3f\n", t.min, t.median, t.p95);
    // GPU time from timer queries, frame and passes, where the driver has them: on a GPU
    // this shows where a frame's budget goes, which the wall clock above cannot.
    if (gpu.available()) {
        const GpuSummary g = summariseGpu(gpuFrames);
        std::fprintf(out, "gpu_frame_ms_median %.3f\ngpu_frame_ms_p95 %.3f\n", g.frame.median, g.frame.p95);
        for (const GpuPass& pass : g.passes)
            std::fprintf(out, "gpu_pass %s %.3f\n", pass.name.c_str(), pass.ms);
    } else {
        report("this driver has no timer queries; no GPU times");
    }
    return std::fflush(out) == 0 ? 0 : 1;
}

std::unique_ptr<FrameSink> openSink(const CaptureOptions& o, FILE* out)
{
    if (!o.y4mPath.empty()) {
        if (o.y4mPath == "-")
            return std::make_unique<Y4mSink>(out, false, "standard output", o.width, o.height, o.fps);
        return std::make_unique<Y4mSink>(o.y4mPath, o.width, o.height, o.fps);
    }
    std::error_code error;
    std::filesystem::create_directories(o.outDir, error);
    if (error || !std::filesystem::is_directory(o.outDir)) {
        report(o.outDir + ": cannot make the folder" + (error ? " (" + error.message() + ")" : std::string()));
        return nullptr;
    }
    return std::make_unique<PngSink>(static_cast<size_t>(o.width) * o.height * 4);
}

std::string framePath(const CaptureOptions& o, long index)
{
    if (!o.rows.empty())
        return o.outDir + "/row_" + o.rows[static_cast<size_t>(index)].name + ".png";
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06ld.png", index);
    return o.outDir + name;
}

// The order in which --rows are drawn: by row, so that a scene stepped from one row to
// the next never has to go back.
std::vector<size_t> rowOrder(const std::vector<RowRequest>& rows)
{
    std::vector<size_t> order(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rows[a].row < rows[b].row; });
    return order;
}

// Before a single row, the scene must be where a span from row 0 leaves it. Motion blur
// compares each object with where it was drawn the frame before, so that frame is drawn
// first; a scene that depends on every frame before is stepped through all of them
// (next counts the frames stepped so far, as rows ascend).
void prepareRow(const SceneEntry& entry, Tarvo::PostScene* scene, double row, int fps, long& next)
{
    if (!entry.advance || !scene) {
        renderFrame(row - rowsPerSecond / fps, fps);
        return;
    }
    const float target = sceneRow(row);
    for (; sceneRow(frameRow(0.0, next, fps)) < target; ++next) {
        const double skipped = frameRow(0.0, next, fps);
        gDemo->setRow(sceneRow(skipped));
        entry.advance(*scene, sceneTime(skipped));
    }
    // The row about to be drawn is that frame of the span; a later row must not step it
    // again.
    if (sceneRow(frameRow(0.0, next, fps)) == target)
        ++next;
}

// A part of a span (--frames) starts where a run of the whole span would be at its first
// frame: a scene that depends on every frame before is stepped through them from the
// span's start, and the frame just before is drawn and read back as the whole run does,
// but not written, so motion blur has the same previous draw.
bool warmUp(const CaptureOptions& o, const SceneEntry& entry, Tarvo::PostScene* scene, long first)
{
    if (first == 0)
        return true;
    if (entry.advance && scene) {
        for (long i = 0; i + 1 < first; ++i) {
            const double row = frameRow(o.from, i, o.fps);
            gDemo->setRow(sceneRow(row));
            entry.advance(*scene, sceneTime(row));
        }
    }
    renderFrame(frameRow(o.from, first - 1, o.fps), o.fps);
    std::vector<std::uint8_t> unused;
    if (!readWindow(o.width, o.height, unused))
        return false;
    Tarvo::swapBuffers();
    return true;
}

// frames from the span's frame first on; first is 0 unless --frames names a part.
int capture(const CaptureOptions& o, const SceneEntry& entry, Tarvo::PostScene* scene, long first, long frames,
            FILE* out)
{
    std::unique_ptr<FrameSink> sink = openSink(o, out);
    if (!sink || sink->failed()) {
        if (sink)
            report(sink->error());
        return 1;
    }
    if (!warmUp(o, entry, scene, first))
        return 1;
    Progress progress(frames, stderr);
    const std::vector<size_t> order = rowOrder(o.rows);
    long stepped = 0;
    long done = 0;
    for (; done < frames; ++done) {
        if (Tarvo::stopRequested()) {
            sink->abandon();
            report("stopped by signal " + std::to_string(Tarvo::stopSignalNumber()) + " after " +
                   std::to_string(done) + (done == 1 ? " frame" : " frames") +
                   (o.y4mPath.empty() ? "" : "; the unfinished stream is removed"));
            return Tarvo::stopExitStatus();
        }
        const long index = o.rows.empty() ? first + done : static_cast<long>(order[static_cast<size_t>(done)]);
        const double row = o.rows.empty() ? frameRow(o.from, index, o.fps) : o.rows[static_cast<size_t>(index)].row;
        if (!o.rows.empty())
            prepareRow(entry, scene, row, o.fps, stepped);
        renderFrame(row, o.fps);
        CapturedFrame frame;
        frame.width = o.width;
        frame.height = o.height;
        frame.path = o.y4mPath.empty() ? framePath(o, index) : std::string();
        if (!readWindow(o.width, o.height, frame.bgra))
            break;
        Tarvo::swapBuffers();
        if (!sink->submit(std::move(frame)))
            break;
        progress.update(done + 1);
    }
    const bool written = sink->finish();
    if (!written) {
        report(sink->error());
        return 1;
    }
    if (done < frames)
        return 1;
    progress.finish(done);
    return 0;
}

} // namespace

int runCapture(const CaptureOptions& o, FILE* out, Clock::time_point started)
{
    const SceneEntry* scene = findScene(o.scene);
    if (!scene) {
        report("unknown scene '" + o.scene + "'");
        return 1;
    }
    if (const int status = startDemo(o, *scene); status != 0)
        return status;

    long frames = static_cast<long>(o.rows.size());
    long first = 0;
    std::string planText;
    double endRow = o.from;
    if (o.benchFrames > 0) {
        frames = o.benchFrames;
    } else if (o.rows.empty()) {
        const TrackHandle endTrack = gDemo->getSync() ? gDemo->getSync()->getTrack("e") : TrackHandle();
        const double lengthRows = musicRows(gDemo->getStream());
        SpanPlan plan;
        std::string error;
        if (!planSpan(o.from, o.to, o.fps, lengthRows,
                      [&](float row) { return endTrack.getValue(row); }, plan, error)) {
            report(error);
            return 1;
        }
        if (plan.capped) {
            std::fprintf(stderr,
                         "vantor-capture: the end track \"e\" is still above 1.0 at the end of the music "
                         "(row %g); the capture stops at row %g\n",
                         lengthRows, plan.endRow);
        }
        frames = plan.frames;
        endRow = plan.endRow;
        if (o.plan) {
            PlanReport summary;
            summary.span = plan;
            summary.from = o.from;
            summary.fps = o.fps;
            summary.width = o.width;
            summary.height = o.height;
            summary.musicRows = lengthRows;
            SpanPlan byTrack = plan;
            if (o.to && !planSpan(o.from, std::nullopt, o.fps, lengthRows,
                                  [&](float row) { return endTrack.getValue(row); }, byTrack, error)) {
                report(error);
                return 1;
            }
            summary.trackEndRow = byTrack.endRow;
            summary.trackCapped = byTrack.capped;
            planText = formatPlan(summary);
        }
        std::fprintf(stderr, "vantor-capture: %ld frames at %d fps, rows %g to %g\n", frames, o.fps, o.from,
                     endRow);
        if (o.frames) {
            if (o.frames->end > frames) {
                report("--frames " + std::to_string(o.frames->first) + ":" + std::to_string(o.frames->end) +
                       " goes past the span's " + std::to_string(frames) + " frames");
                return 2;
            }
            first = o.frames->first;
            frames = o.frames->end - first;
            std::fprintf(stderr, "vantor-capture: frames %ld to %ld of them, rows %g to %g\n", first,
                         o.frames->end - 1, frameRow(o.from, first, o.fps), frameRow(o.from, o.frames->end - 1, o.fps));
        }
    }

    // The music first: it is quick, and a stream piped to an encoder can then be muxed
    // with a finished file.
    if (Tarvo::stopRequested())
        return Tarvo::stopExitStatus();
    if (!o.wavPath.empty() && !writeMusic(o, endRow))
        return Tarvo::stopRequested() ? Tarvo::stopExitStatus() : 1;
    if (o.plan) {
        // The driver decides the pixels as much as the program does; scripts compare it
        // between machines.
        for (const auto& [key, name] : {std::pair{"gl_renderer", GL_RENDERER}, std::pair{"gl_version", GL_VERSION}}) {
            const auto* text = reinterpret_cast<const char*>(glGetString(name));
            planText += std::string(key) + " " + (text ? text : "unknown") + "\n";
        }
        std::fputs(planText.c_str(), out);
        return std::fflush(out) == 0 ? 0 : 1;
    }
    if (!o.rendersFrames())
        return 0;

    Tarvo::PostScene* built = scene->create(*gDemo);
    return o.benchFrames > 0 ? bench(o, out, started) : capture(o, *scene, built, first, frames, out);
}

} // namespace capture
