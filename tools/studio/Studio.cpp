// The studio's start-up and frames. Commands (keys, then standard input's lines in the
// order they came) and reloads are applied before the row is read, so the frame after a
// command or a save already shows it, and the music has moved with the row.
#include "studio/Studio.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "audio/BassAudio.h"
#include "registry/SceneRegistry.h"
#include "runtime/Demo.h"
#include "runtime/Window.h"
#include "scenes/SceneUnoTracks.h"
#include "studio/BassMusicClock.h"
#include "studio/Command.h"
#include "studio/KeyInput.h"
#include "studio/Overlay.h"
#include "studio/OverlayText.h"
#include "studio/Reloader.h"
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
    // The tracks came from their compiled files; the text may be newer.
    announce(reloader->reloadTimeline(), Clock::now());
    refreshTrackList();

    gDemo->startMusic();
    gDemo->setFrameTime(initialFrameTimeMs);
    reportStart = Clock::now();
    return true;
}

void Studio::refreshTrackList()
{
    // The main scene reads a known list; another scene is shown the tracks its timeline
    // defines.
    std::vector<std::string> names;
    if (std::string(entry->name) == "main") {
        names.emplace_back("e");
        names.insert(names.end(), OrvelDemo::unoTrackNames.begin(), OrvelDemo::unoTrackNames.end());
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
    }
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
            say(error);
    }

    const Clock::time_point seen = Clock::now();
    const std::vector<ReloadResult> saved = reloader->poll();
    if (options.timings && saved.empty())
        watchMicros.push_back(milliseconds(Clock::now() - seen) * 1000.0);
    for (const ReloadResult& result : saved)
        announce(result, seen);

    moves->update();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gDemo->updateRow();
}

void Studio::drawFrame()
{
    gDemo->run(Tarvo::windowTime());
    if (overlayOn) {
        OverlayFacts facts;
        facts.row = gDemo->getRow();
        facts.endRow = moves->endRow();
        facts.msPerFrame = msPerFrame;
        facts.paused = moves->paused();
        facts.loop = moves->loop();
        facts.reloads = &board;
        for (const auto& [name, handle] : shownTracks)
            facts.tracks.emplace_back(name, handle.getValue(facts.row));
        overlay->draw(overlayLines(facts, overlay->columns(options.width)), options.width, options.height);
    }
    BASS_Update(0);
    Tarvo::swapBuffers();

    const Clock::time_point shown = Clock::now();
    for (FrameReload& reload : reloads) {
        reload.shown = shown;
        if (options.timings)
            say("timing: " + reload.result.line() + ": shown " + std::to_string(milliseconds(shown - reload.seen)) +
                " ms after the save was found");
    }
    if (!Tarvo::windowOpen())
        quitting = true;
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
    case CommandKind::ToggleOverlay: overlayOn = !overlayOn; break;
    case CommandKind::Quit: quitting = true; break;
    case CommandKind::Loop:
        if (!moves->setLoop(command.first, command.second, error)) {
            say(line ? line->text + ": " + error : error);
            return;
        }
        break;
    case CommandKind::Reload: {
        const Clock::time_point seen = Clock::now();
        for (const ReloadResult& result : reloader->reloadAll())
            announce(result, seen);
        break;
    }
    }
    if (line) {
        lastArrival = line->received;
        acknowledge(command, *line);
    }
}

void Studio::acknowledge(const Command& command, const QueuedLine& line)
{
    if (command.kind == CommandKind::Reload || command.kind == CommandKind::Quit)
        return;
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
    say(line.text + ": " + state);
    if (options.timings && command.kind == CommandKind::Seek)
        say("timing: " + line.text + ": the music was at row " + std::to_string(row) + " " +
            std::to_string(milliseconds(Clock::now() - line.received)) + " ms after the command arrived");
}

void Studio::finish()
{
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
        return 1;
    readLinesInBackground(std::cin, studio.commandQueue());
    while (studio.running()) {
        studio.beginFrame();
        studio.drawFrame();
    }
    studio.finish();
    return 0;
}

} // namespace studio
