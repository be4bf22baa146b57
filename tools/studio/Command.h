// What the person at the studio asks for, from a key or a line of standard input, as one
// value the frame loop applies between frames. Standard input takes one command a line:
//   play | pause | seek ROW | loop FROM TO | loop off | reload | quit
// ROW, FROM and TO are rows (decimal numbers; seeks and loops are clamped to the show).
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
    ToggleOverlay,
    Quit,
};

struct Command {
    CommandKind kind = CommandKind::Play;
    double first = 0.0;
    double second = 0.0;
};

// Parses one line of standard input. False for a line that is no command: error then says
// why in one line, or is empty for a blank line, which is not worth a word.
bool parseCommand(const std::string& line, Command& command, std::string& error);

// The commands standard input takes, for messages and help.
const char* commandList();

} // namespace studio
