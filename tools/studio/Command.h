// What the person at the studio asks for, from a key or a line of standard input, as one
// value the frame loop applies between frames. Standard input takes one command a line:
//   play | pause | seek ROW | loop FROM TO | loop off | reload | quit
//   key TRACK ROW VALUE [step|linear|smooth|quadratic] | delete TRACK ROW | undo | redo
//   save | keys TRACK [FROM TO] | sections | goto SECTION | screenshot FILE.png
//   reload theirs | keep ours | recover | mute
// ROW, FROM and TO are rows (plain decimal numbers; seeks and loops are clamped to the
// show); a key's ROW is a whole row and its VALUE a plain decimal number.
#pragma once

#include <string>

namespace studio {

enum class CommandKind {
    Play,
    Pause,
    TogglePause,
    Seek,        // first: the row
    SeekBars,    // first: bars to move, negative backwards
    Home,
    MarkLoopStart,
    MarkLoopEnd,
    ToggleLoop,
    Loop,        // first, second: the loop's rows
    LoopOff,
    Reload,
    ToggleOverlay, // the window's Tab: overlay, track view, nothing
    Quit,
    // Editing the timeline.
    SetKey,      // name: the track; first: the row; second: the value; interpolation
    DeleteKey,   // name, first
    Undo,
    Redo,
    Save,
    ListKeys,    // name; first, second: the rows, when ranged
    Sections,
    Goto,        // name: the section
    Screenshot,  // name: the file
    ReloadTheirs,
    KeepOurs,
    Recover,
    ToggleMute,
    // The window's keys and mouse for the track view, as it delivers them.
    EditorKey,   // first: the GLFW key; second: its modifier bits
    EditorChar,  // first: the character typed
    MouseDown,   // first, second: where, in pixels from the window's top left
    MouseMove,
    MouseUp,
    Scroll,      // first: notches, positive up
};

struct Command {
    Command() = default;
    Command(CommandKind kind, double first = 0.0, double second = 0.0) : kind(kind), first(first), second(second) {}

    CommandKind kind = CommandKind::Play;
    double first = 0.0;
    double second = 0.0;
    std::string name;
    int interpolation = -1; // -1: none given
    bool ranged = false;    // keys TRACK FROM TO
};

// Parses one line of standard input. False for a line that is no command: error then says
// why in one line, or is empty for a blank line, which is not worth a word.
bool parseCommand(const std::string& line, Command& command, std::string& error);

// The commands standard input takes, for messages and help.
const char* commandList();

// A plain decimal number ("12", "-0.5", "1e3"; not "0x10", "inf" or "nan"). One too large
// for a double reads as the largest double of its sign, so that it clamps like any other.
bool parseDecimal(const std::string& text, double& value);

} // namespace studio
