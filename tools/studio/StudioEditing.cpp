// The studio's side of editing: the editor's commands answered, the window's keys and
// mouse given to the track view, the edited keys put into the tracks within the frame (so
// the picture shows them at once), the panel (overlay or track view) drawn to fit the
// window, screenshots, and where a run starts and what it leaves for the next one.
#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>

#include "audio/AudioLayer.h"
#include "engine/PngFile.h"
#include "engine/WindowSize.h"
#include "scenes/SceneRegistry.h"
#include "runtime/Demo.h"
#include "runtime/Window.h"
#include "studio/KeyInput.h"
#include "studio/Overlay.h"
#include "studio/OverlayText.h"
#include "studio/Reloader.h"
#include "studio/Studio.h"
#include "studio/StudioEditor.h"
#include "studio/StudioMemory.h"
#include "studio/TrackViewText.h"
#include "studio/Transport.h"

namespace studio {

namespace {
constexpr size_t echoLimit = 80;
constexpr double rowsPerNotch = 4.0;
} // namespace

std::string Studio::echo(const QueuedLine& line) const
{
    // A line of any length is answered; a long one is not sent back whole.
    if (line.text.size() <= echoLimit)
        return line.text;
    return line.text.substr(0, echoLimit) + "... (" + std::to_string(line.text.size()) + " characters)";
}

void Studio::stop()
{
    quitting = true;
    const std::string kept = edits ? edits->keepUnsaved() : std::string();
    if (!kept.empty())
        say(kept);
}

void Studio::quitAsked()
{
    GLFWwindow* window = Tarvo::currentWindow();
    if (edits->mayQuit()) {
        quitting = true;
        return;
    }
    // The question is asked in the track view; the window stays open until answered.
    if (window)
        glfwSetWindowShouldClose(window, GLFW_FALSE);
    shown = View::Tracks;
}

void Studio::toggleMute()
{
    muted = !muted;
    audio::AudioLayer::instance().setMuted(muted);
}

void Studio::applyEditing(const Command& command, const QueuedLine* line)
{
    switch (command.kind) {
    case CommandKind::EditorKey: {
        const int key = static_cast<int>(command.first);
        const bool wasAsking = edits->asking();
        if (!edits->key(key, static_cast<int>(command.second), *moves) && key == GLFW_KEY_ESCAPE)
            quitAsked();
        else if (wasAsking && !edits->asking() && edits->quitDecided())
            quitting = true;
        return;
    }
    case CommandKind::EditorChar: {
        const unsigned codepoint = static_cast<unsigned>(command.first);
        if (!edits->character(codepoint, *moves))
            if (const auto other = characterCommand(codepoint))
                apply(Command{*other}, nullptr);
        return;
    }
    case CommandKind::MouseDown:
    case CommandKind::MouseMove:
    case CommandKind::MouseUp:
    case CommandKind::Scroll:
        applyPointer(command);
        return;
    case CommandKind::Screenshot: {
        std::string file = command.name;
        if (file.empty()) {
            file = "vantor-studio-" + options.scene + "-" + std::to_string(cursorRow(moves->row())) + ".png";
        }
        screenshots.push_back(file);
        if (line)
            lastArrival = line->received;
        return; // answered once written
    }
    default:
        break;
    }
    if (!StudioEditor::handles(command.kind))
        return;
    bool ok = false;
    const std::string answer = edits->command(command, *moves, ok);
    if (line) {
        lastArrival = line->received;
        say(echo(*line) + ": " + answer);
    }
}

void Studio::applyPointer(const Command& raw)
{
    if (shown != View::Tracks || !overlay)
        return;
    // The pointer is in the window; the panel is drawn in the frame, which is scaled into
    // the window with its shape kept (centred, bars where the shapes differ).
    Command command = raw;
    int windowWidth = options.width, windowHeight = options.height;
    if (GLFWwindow* window = Tarvo::currentWindow())
        glfwGetWindowSize(window, &windowWidth, &windowHeight);
    const double scale = std::min(double(windowWidth) / options.width, double(windowHeight) / options.height);
    if (scale > 0.0 && command.kind != CommandKind::Scroll)
        command.second = (command.second - (windowHeight - options.height * scale) / 2.0) / scale;
    const TrackViewLayout& layout = edits->layout();
    if (command.kind == CommandKind::Scroll) {
        moves->seek(std::floor(moves->row() + 0.002) - command.first * rowsPerNotch);
        return;
    }
    if (command.kind == CommandKind::MouseDown) {
        dragY = command.second;
        dragRow = std::floor(moves->row() + 0.002);
        dragged = false;
        return;
    }
    // Dragging moves the rows with the pointer, as paper under a hand: up is later.
    const double lineHeight = std::max(1.0, overlay->lineHeight());
    const double rows = std::round((dragY - command.second) / lineHeight);
    if (command.kind == CommandKind::MouseMove) {
        if (rows != 0.0 || dragged) {
            dragged = true;
            moves->seek(dragRow + rows);
        }
        return;
    }
    if (dragged)
        return;
    // A click: to the row of the line under the pointer.
    const int line = overlay->lineAt(command.second) - layout.headerLines;
    if (line >= 0 && line < layout.rowLines)
        moves->seek(layout.firstRow + line);
}

void Studio::afterEdits()
{
    if (!edits->pushKeys())
        return;
    // The edited keys are in the tracks now: the picture of this frame shows them.
    reloader->timeline().adopt(edits->session().document().timeline());
    moves->setEndRow(showEnd(endTrack, gDemo->getMusicRows()));
}

void Studio::drawPanel()
{
    if (shown == View::Nothing || !overlay)
        return;
    const int lines = overlay->lines(options.height);
    const int columns = overlay->columns(options.width);
    std::vector<OverlayLine> text;
    if (shown == View::Tracks) {
        TrackViewLayout layout;
        text = trackViewLines(edits->facts(gDemo->getRow()), columns, lines, &layout);
        edits->setLayout(layout);
    } else {
        OverlayFacts facts;
        facts.row = gDemo->getRow();
        facts.endRow = moves->endRow();
        facts.msPerFrame = msPerFrame;
        facts.paused = moves->paused();
        facts.loop = moves->loop();
        facts.reloads = &board;
        for (const auto& [name, handle] : shownTracks)
            facts.tracks.emplace_back(name, handle.getValue(facts.row));
        text = overlayLines(facts, columns);
        if (edits->session().dirty())
            text.insert(text.begin() + 1, OverlayLine{edits->session().path() + " * unsaved (Ctrl+S saves)", true});
        limitLines(text, lines);
    }
    overlay->draw(text, options.width, options.height);
}

void Studio::takeScreenshot()
{
    if (screenshots.empty())
        return;
    // The scene's picture at its render size, before the studio's panel goes over it.
    const int width = gDemo->getWidth();
    const int height = gDemo->getHeight();
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    // The frame, wherever it is drawn before it is scaled into the window.
    glBindFramebuffer(GL_FRAMEBUFFER, Tarvo::windowFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(pixels.begin() + static_cast<long>(stride * y), pixels.begin() + static_cast<long>(stride * (y + 1)),
            pixels.begin() + static_cast<long>(stride * (height - 1 - y)));
    for (const std::string& file : screenshots) {
        std::string why;
        if (Tarvo::writePngFile(file, width, height, 4, pixels, why))
            say("screenshot " + file + ": " + std::to_string(width) + "x" + std::to_string(height) + " at row " +
                std::to_string(gDemo->getRow()));
        else
            say("screenshot " + file + ": " + why);
    }
    screenshots.clear();
}

void Studio::startWhereLeft()
{
    StudioMemory memory;
    if (options.remember)
        memory.load();
    const SceneMemory* left = memory.find(options.scene);
    std::string error;
    if (options.hasLoop) {
        if (!moves->setLoop(options.loopFrom, options.loopTo, error))
            say("--loop: " + error);
    } else if (left && left->loop.to > left->loop.from) {
        if (moves->setLoop(left->loop.from, left->loop.to, error) && !left->loop.on)
            moves->loopOff();
    }
    if (options.hasRow)
        moves->seek(options.row);
    else if (left && !options.hasLoop)
        moves->seek(left->row);
    if (options.paused)
        moves->pause();
}

void Studio::rememberWhereLeft()
{
    if (!options.remember || !moves)
        return;
    StudioMemory memory;
    memory.load();
    memory.remember(options.scene, SceneMemory{moves->row(), moves->loop()});
    std::string why;
    if (!memory.store(why))
        say("cannot remember where " + options.scene + " was left: " + why);
}

} // namespace studio
