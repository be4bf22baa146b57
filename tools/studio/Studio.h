// vantor-studio's frame loop: a scene from the registry in a window, with the music as the
// clock, driven by keys and by standard input, reloading its timeline and shaders as they
// are saved. A frame is two halves, so that a benchmark can look between them: first the
// input, the reloads and the transport (after it the music is where the frame's row says),
// then the drawing and the swap.
#pragma once

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "studio/CommandQueue.h"
#include "studio/ReloadResult.h"
#include "studio/StudioOptions.h"
#include "sync/Sync.h"

namespace OrvelDemo {
struct SceneEntry;
}

namespace studio {

class BassMusicClock;
class KeyInput;
class Overlay;
class Reloader;
class StudioEditor;
class Transport;
struct Command;

using Clock = std::chrono::steady_clock;

// A reload made in this frame, with when its save was found, when the reload was done and
// when the first frame that has it was shown.
struct FrameReload {
    ReloadResult result;
    Clock::time_point seen;
    Clock::time_point done;
    Clock::time_point shown;
};

class Studio {
public:
    // out receives the reload lines (standard output); log everything else the studio says
    // (standard error).
    Studio(const StudioOptions& options, FILE* out, FILE* log);
    ~Studio();
    Studio(const Studio&) = delete;
    Studio& operator=(const Studio&) = delete;

    // Opens the window, builds the scene, compiles the timeline (its reload line is the
    // first the studio prints) and starts the music. False when nothing can run, with the
    // reason said on log.
    bool start();
    void beginFrame();
    void drawFrame();
    bool running() const { return !quitting; }
    // Asks the studio to end after this frame, as standard input's quit does: unsaved
    // edits go to the recovery file (a signal's stop comes here).
    void stop();
    // Whether start failed on a --size larger than the OpenGL context can draw.
    bool refusedSize() const { return sizeRefused; }
    // Prints the --timings summary (the watcher's cost per frame).
    void finish();

    // Where standard input's lines go; tests and benchmarks push their own.
    std::shared_ptr<CommandQueue> commandQueue() const { return queue; }
    // The reloads of the frame begun last; their shown times are set by drawFrame.
    const std::vector<FrameReload>& frameReloads() const { return reloads; }
    Transport& transport() { return *moves; }
    StudioEditor& editor() { return *edits; }
    // The window's keys and mouse, as its callbacks deliver them (tests drive them here).
    KeyInput& keyInput() { return *keys; }
    enum class View { Overlay, Tracks, Nothing };
    View view() const { return shown; }
    // When the last command from standard input that was applied had arrived.
    Clock::time_point lastCommandArrival() const { return lastArrival; }

private:
    void apply(const Command& command, const QueuedLine* line);
    void acknowledge(const Command& command, const QueuedLine& line);
    // StudioEditing.cpp: the editor's commands, keys and mouse, the track view, the
    // screenshot, where a run starts and what it remembers.
    void applyEditing(const Command& command, const QueuedLine* line);
    void applyPointer(const Command& command);
    void startWhereLeft();
    void rememberWhereLeft();
    void afterEdits();
    void drawPanel();
    void takeScreenshot();
    void quitAsked();
    void toggleMute();
    std::string echo(const QueuedLine& line) const;
    void announce(const ReloadResult& result, Clock::time_point seen);
    void refreshTrackList();
    void measureFrameTime();
    void say(const std::string& text);

    StudioOptions options;
    FILE* out;
    FILE* log;
    const OrvelDemo::SceneEntry* entry = nullptr;
    std::unique_ptr<Overlay> overlay;
    std::unique_ptr<KeyInput> keys;
    std::unique_ptr<Reloader> reloader;
    std::unique_ptr<BassMusicClock> music;
    std::unique_ptr<Transport> moves;
    std::unique_ptr<StudioEditor> edits;
    std::shared_ptr<CommandQueue> queue;
    ReloadBoard board;
    std::vector<FrameReload> reloads;
    TrackHandle endTrack;
    std::vector<std::pair<std::string, TrackHandle>> shownTracks;
    Clock::time_point lastArrival;
    View shown = View::Overlay;
    bool quitting = false;
    bool muted = false;
    std::vector<std::pair<Command, QueuedLine>> answers; // given once the frame's row is known
    std::vector<std::string> screenshots;                // files to write from this frame
    double dragY = 0.0;
    double dragRow = 0.0;
    bool dragged = false;
    bool sizeRefused = false;

    Clock::time_point reportStart;
    int framesInPeriod = 0;
    double msPerFrame = 16.5;
    std::vector<double> watchMicros; // --timings: the watcher's cost in frames without a save
};

// The whole program after its command line: start, frames until quit, 0; 1 when the
// studio cannot start (2 for a size the OpenGL context cannot draw); 128 + the signal's
// number when Ctrl-C or SIGTERM ended it.
int runStudio(const StudioOptions& options);

} // namespace studio
