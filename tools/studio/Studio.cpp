// The studio's start-up and frames. Commands (keys, then standard input's lines in the
// order they came) and reloads are applied before the row is read, so the frame after a
// command or a save already shows it, and the music has moved with the row.
#include "studio/Studio.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "audio/BassAudio.h"
#include "engine/GlLimits.h"
#include "base/StopSignal.h"
#include "scenes/SceneRegistry.h"
#include "runtime/Demo.h"
#include "runtime/Frame.h"
#include "runtime/Window.h"
#include "studio/BassMusicClock.h"
#include "studio/Command.h"
#include "studio/KeyInput.h"
#include "studio/Overlay.h"
#include "studio/OverlayText.h"
#include "studio/Reloader.h"
#include "studio/StudioEditor.h"
#include "studio/Transport.h"

namespace studio {

namespace {

constexpr double initialFrameTimeMs = 16.5;

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

std::string noWindowMessage()
{
    const char* display = std::getenv("DISPLAY");
    const std::string hint = "; without a display run it inside a virtual one: "
                             "xvfb-run -a -s \"-screen 0 1920x1080x24\" vantor-studio ...";
    if (!display || !*display)
        return "needs a display for its window, and none is set (no DISPLAY)" + hint;
    return std::string("no OpenGL 3.3 window could be opened on display ") + display + hint;
}

} // namespace

Studio::Studio(const StudioOptions& options, FILE* out, FILE* log)
    : options(options), out(out), log(log), queue(std::make_shared<CommandQueue>())
{
}

// The demo instance and the scene live on, as in the show; the studio's own GL objects go
// while the context still exists.
Studio::~Studio() = default;

void Studio::say(const std::string& text)
{
    std::fprintf(log, "vantor-studio: %s\n", text.c_str());
    std::fflush(log);
}

bool Studio::start()
{
    entry = OrvelDemo::findScene(options.scene);
    if (!entry) {
        say("unknown scene '" + options.scene + "'");
        return false;
    }
    Tarvo::DemoOptions demo;
    demo.windowed = true;
    demo.resizable = true; // the picture is scaled to fit
    if (entry->trackBase)
        demo.syncBasePath = entry->trackBase;
    try {
        gDemo = new Tarvo::aDemo(options.width, options.height, demo);
    } catch (const Tarvo::StartupError& error) {
        say(*error.what() ? std::string(error.what()) + " " + demo.musicPath : noWindowMessage());
        return false;
    }
    if (const std::string why = Tarvo::sizeBeyondGlLimits(options.width, options.height); !why.empty()) {
        say("--size " + why);
        sizeRefused = true;
        return false;
    }
    GLFWwindow* window = Tarvo::currentWindow();
    glfwSetWindowTitle(window, ("Vantor studio: " + options.scene).c_str());
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    entry->create(*gDemo);

    overlay = std::make_unique<Overlay>(options.height);
    if (!overlay->ready())
        say("the overlay has no text: " + overlay->problem());
    keys = std::make_unique<KeyInput>(window);

    Sync* sync = gDemo->getSync();
    endTrack = sync ? sync->getTrack("e") : TrackHandle();
    music = std::make_unique<BassMusicClock>(*gDemo->getTimer());
    moves = std::make_unique<Transport>(*music, showEnd(endTrack, gDemo->getMusicRows()));
    // Watching starts before the first compile, so a save during it is not missed.
    reloader = std::make_unique<Reloader>(sync, OrvelDemo::timelinePath(*entry));
    reloader->watchFiles();
    // The editor reads the text before the tracks are compiled from it: a save between
    // the two then differs from what the editor holds, and is reloaded when reported.
    edits = std::make_unique<StudioEditor>(reloader->timeline().path(), sync, out);
    std::string why;
    const bool editable = edits->open(why);
    // The tracks came from their compiled files; the text may be newer.
    announce(reloader->reloadTimeline(), Clock::now());
    refreshTrackList();
    if (!editable)
        say("editing waits for a timeline that compiles: " + why);
    edits->chooseTracks(options.tracks);
    reloader->gateTimeline([this] {
        std::string note;
        const bool reload = edits->timelineSaved(note);
        if (!note.empty())
            say(note);
        return reload;
    });

    gDemo->startMusic();
    startWhereLeft();
    gDemo->setFrameTime(initialFrameTimeMs);
    reportStart = Clock::now();
    return true;
}

void Studio::refreshTrackList()
{
    // A scene that names the tracks it reads shows those; another is shown the tracks its
    // timeline defines.
    std::vector<std::string> names;
    if (entry->trackNames) {
        names = entry->trackNames();
    } else {
        for (const TimelineTrack& track : reloader->timeline().lastGood().tracks)
            names.push_back(track.name);
        if (names.empty() && !shownTracks.empty())
            return;
    }
    Sync* sync = gDemo->getSync();
    shownTracks.clear();
    for (const std::string& name : names)
        shownTracks.emplace_back(name, sync ? sync->getTrack(name) : TrackHandle());
    if (entry->trackNames)
        reloader->timeline().setReadTracks(names);
}

void Studio::announce(const ReloadResult& result, Clock::time_point seen)
{
    const std::string line = result.line() + "\n";
    std::fputs(line.c_str(), out);
    std::fflush(out);
    if (!result.ok) {
        for (const std::string& error : result.errors)
            std::fprintf(log, "%s\n", error.c_str());
        std::fflush(log);
    } else if (!result.changes.empty()) {
        say(result.described());
    }
    for (const std::string& warning : result.warnings)
        say(warning);
    board.record(result);
    if (result.kind == ReloadResult::Kind::Timeline && result.ok) {
        moves->setEndRow(showEnd(endTrack, gDemo->getMusicRows()));
        refreshTrackList();
    }
    reloads.push_back(FrameReload{result, seen, Clock::now(), {}});
}

void Studio::measureFrameTime()
{
    // As the show does: the average over each second, which scenes read as the frame time.
    const Clock::time_point now = Clock::now();
    ++framesInPeriod;
    const double elapsed = milliseconds(now - reportStart);
    if (elapsed >= 1000.0) {
        msPerFrame = elapsed / framesInPeriod;
        gDemo->setFrameTime(msPerFrame);
        framesInPeriod = 0;
        reportStart = now;
    }
}

void Studio::beginFrame()
{
    reloads.clear();
    measureFrameTime();
    for (const Command& command : keys->take())
        apply(command, nullptr);
    for (const QueuedLine& line : queue->takeAll()) {
        Command command;
        std::string error;
        if (parseCommand(line.text, command, error))
            apply(command, &line);
        else if (!error.empty())
            say(line.text.size() > 80 ? echo(line) + ": not a command (" + commandList() + ")" : error);
    }
    afterEdits();
    // The keys that arrive during this frame's swap mean what the view now shown says.
    keys->setEditing(shown == View::Tracks);

    const Clock::time_point seen = Clock::now();
    const std::vector<ReloadResult> saved = reloader->poll();
    if (options.timings && saved.empty())
        watchMicros.push_back(milliseconds(Clock::now() - seen) * 1000.0);
    for (const ReloadResult& result : saved)
        announce(result, seen);

    moves->update();
    // Answers say where the music is after this frame's moves and the loop's wrap.
    for (const auto& [command, line] : answers)
        acknowledge(command, line);
    answers.clear();
}

void Studio::drawFrame()
{
    Tarvo::drawFrame(*gDemo, Tarvo::FrameRow::fromMusic(), Tarvo::windowTime);
    takeScreenshot();
    drawPanel();
    Tarvo::swapBuffers();

    const Clock::time_point shown = Clock::now();
    for (FrameReload& reload : reloads) {
        reload.shown = shown;
        if (options.timings)
            say("timing: " + reload.result.line() + ": shown " + std::to_string(milliseconds(shown - reload.seen)) +
                " ms after the save was found");
    }
    if (!Tarvo::windowOpen())
        quitAsked();
}

void Studio::apply(const Command& command, const QueuedLine* line)
{
    std::string error;
    switch (command.kind) {
    case CommandKind::Play: moves->play(); break;
    case CommandKind::Pause: moves->pause(); break;
    case CommandKind::TogglePause: moves->togglePause(); break;
    case CommandKind::Seek: moves->seek(command.first); break;
    case CommandKind::SeekBars: moves->seekBars(static_cast<long>(command.first)); break;
    case CommandKind::Home: moves->seek(0.0); break;
    case CommandKind::MarkLoopStart: moves->markLoopStart(); break;
    case CommandKind::MarkLoopEnd: moves->markLoopEnd(); break;
    case CommandKind::ToggleLoop: moves->toggleLoop(); break;
    case CommandKind::LoopOff: moves->loopOff(); break;
    case CommandKind::ToggleOverlay:
        shown = shown == View::Overlay ? View::Tracks : shown == View::Tracks ? View::Nothing : View::Overlay;
        break;
    case CommandKind::ToggleMute: toggleMute(); break;
    case CommandKind::Quit:
        if (!line) {
            quitAsked();
            return;
        }
        stop();
        break;
    case CommandKind::Loop:
        if (!moves->setLoop(command.first, command.second, error)) {
            say(line ? line->text + ": " + error : error);
            return;
        }
        break;
    case CommandKind::Reload: {
        const Clock::time_point seen = Clock::now();
        const std::vector<ReloadResult> results = reloader->reloadAll();
        for (const ReloadResult& result : results)
            announce(result, seen);
        if (line)
            say(echo(*line) + ": " + std::to_string(results.size()) + (results.size() == 1 ? " file" : " files") +
                " reloaded");
        return;
    }
    default:
        applyEditing(command, line);
        return;
    }
    if (line) {
        lastArrival = line->received;
        answers.emplace_back(command, *line);
    }
}

void Studio::acknowledge(const Command& command, const QueuedLine& line)
{
    if (command.kind == CommandKind::Quit) {
        const std::string kept = edits->keepUnsaved();
        say(echo(line) + ": quitting" + (kept.empty() ? "" : "; " + kept));
        return;
    }
    // What the music says, not what was asked: a seek lands where the stream now is.
    const double row = music->row();
    char text[160];
    std::snprintf(text, sizeof text, "%s at row %.2f (bar %s)", moves->paused() ? "paused" : "playing", row,
        barBeat(row).c_str());
    std::string state = text;
    if (moves->loop().on) {
        std::snprintf(text, sizeof text, ", looping rows %g to %g", moves->loop().from, moves->loop().to);
        state += text;
    }
    if (moves->loop().on && (row < moves->loop().from || row >= moves->loop().to))
        state += " (outside the loop)";
    say(echo(line) + ": " + state);
    if (options.timings && command.kind == CommandKind::Seek)
        say("timing: " + line.text + ": the music was at row " + std::to_string(row) + " " +
            std::to_string(milliseconds(Clock::now() - line.received)) + " ms after the command arrived");
}

void Studio::finish()
{
    rememberWhereLeft();
    if (!options.timings || watchMicros.empty())
        return;
    std::vector<double> sorted = watchMicros;
    std::sort(sorted.begin(), sorted.end());
    const auto at = [&](double q) { return sorted[static_cast<size_t>(q * static_cast<double>(sorted.size() - 1))]; };
    char text[200];
    std::snprintf(text, sizeof text, "timing: watching %s: %.2f us median, %.2f us p99, %.2f us max per frame over %zu frames",
        reloader->watcher().method() == FileWatcher::Method::Notify ? "by notification" : "by polling", at(0.5),
        at(0.99), sorted.back(), sorted.size());
    say(text);
}

int runStudio(const StudioOptions& options)
{
    Studio studio(options, stdout, stderr);
    if (!studio.start())
        return studio.refusedSize() ? 2 : 1;
    readLinesInBackground(std::cin, studio.commandQueue());
    while (studio.running() && !Tarvo::stopRequested()) {
        studio.beginFrame();
        studio.drawFrame();
    }
    if (Tarvo::stopRequested()) {
        // No one to ask: unsaved edits go to the recovery file, and the studio says where.
        studio.stop();
        studio.finish();
        std::fprintf(stderr, "vantor-studio: stopped by signal %d\n", Tarvo::stopSignalNumber());
        return Tarvo::stopExitStatus();
    }
    studio.finish();
    return 0;
}

} // namespace studio
