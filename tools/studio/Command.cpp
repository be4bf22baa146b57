// The standard-input command parser: words separated by blanks, a fixed vocabulary, and
// numbers that must be plain decimal numbers (no hexadecimal, no infinities, no letters).
#include "studio/Command.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "sync/Timeline.h"

namespace studio {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool numberArgument(const std::string& verb, const std::string& text, double& value, std::string& error)
{
    if (parseDecimal(text, value))
        return true;
    error = verb + ": '" + text + "' is not a row (a decimal number)";
    return false;
}

bool wholeRow(const std::string& verb, const std::string& text, double& value, std::string& error)
{
    if (parseDecimal(text, value) && value == std::floor(value) && std::fabs(value) < 4.0e9)
        return true;
    error = verb + ": '" + text + "' is not a whole row";
    return false;
}

bool noArguments(const std::string& verb, size_t arguments, std::string& error)
{
    if (arguments == 0)
        return true;
    error = verb + " takes nothing after it";
    return false;
}

// False, with the verb's usage as the error, when its arguments do not fit it.
bool argumentsFit(bool fit, const std::string& usage, std::string& error)
{
    if (!fit)
        error = usage;
    return fit;
}

} // namespace

bool parseDecimal(const std::string& text, double& value)
{
    // sign, digits with at most one point (at least one digit), then an optional exponent
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i]))
            ++digits;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        const size_t start = i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        if (i == start)
            return false;
    }
    if (i != text.size())
        return false;
    const double parsed = std::strtod(text.c_str(), nullptr);
    value = std::isinf(parsed) ? std::copysign(DBL_MAX, parsed) : parsed;
    return true;
}

const char* commandList()
{
    return "play, pause, seek ROW, loop FROM TO, loop off, reload, quit, key TRACK ROW VALUE [TYPE], "
           "delete TRACK ROW, undo, redo, save, keys TRACK [FROM TO], sections, goto SECTION, "
           "screenshot FILE.png, reload theirs, keep ours, recover, mute";
}

bool parseCommand(const std::string& line, Command& command, std::string& error)
{
    error.clear();
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    if (words.empty())
        return false;

    const std::string& verb = words[0];
    const size_t arguments = words.size() - 1;
    if (words.size() == 2 && verb == "reload" && words[1] == "theirs") {
        command = Command{CommandKind::ReloadTheirs};
        return true;
    }
    if (words.size() == 2 && verb == "keep" && words[1] == "ours") {
        command = Command{CommandKind::KeepOurs};
        return true;
    }
    const struct {
        const char* name;
        CommandKind kind;
    } plain[] = {{"play", CommandKind::Play}, {"pause", CommandKind::Pause}, {"reload", CommandKind::Reload},
        {"quit", CommandKind::Quit}, {"undo", CommandKind::Undo}, {"redo", CommandKind::Redo},
        {"save", CommandKind::Save}, {"sections", CommandKind::Sections}, {"recover", CommandKind::Recover},
        {"mute", CommandKind::ToggleMute}};
    for (const auto& entry : plain) {
        if (verb != entry.name)
            continue;
        if (!noArguments(verb, arguments, error))
            return false;
        command = Command{entry.kind};
        return true;
    }
    command = Command{};
    if (verb == "seek") {
        if (!argumentsFit(arguments == 1, "seek takes one row: seek ROW", error))
            return false;
        command.kind = CommandKind::Seek;
        return numberArgument(verb, words[1], command.first, error);
    }
    if (verb == "loop") {
        if (arguments == 1 && words[1] == "off") {
            command.kind = CommandKind::LoopOff;
            return true;
        }
        if (!argumentsFit(arguments == 2, "loop takes two rows or 'off': loop FROM TO, loop off", error))
            return false;
        command.kind = CommandKind::Loop;
        return numberArgument(verb, words[1], command.first, error) &&
            numberArgument(verb, words[2], command.second, error);
    }
    if (verb == "key") {
        if (!argumentsFit(arguments == 3 || arguments == 4,
                "key takes a track, a row, a value and maybe a type: key TRACK ROW VALUE "
                "[step|linear|smooth|quadratic]",
                error))
            return false;
        command.kind = CommandKind::SetKey;
        command.name = words[1];
        if (!wholeRow(verb, words[2], command.first, error))
            return false;
        if (!parseDecimal(words[3], command.second)) {
            error = "key: '" + words[3] + "' is not a value (a decimal number)";
            return false;
        }
        std::int32_t type = 0;
        if (arguments == 4) {
            if (!interpolationFromName(words[4], type)) {
                error = "key: '" + words[4] + "' is not step, linear, smooth or quadratic";
                return false;
            }
            command.interpolation = type;
        }
        return true;
    }
    if (verb == "delete") {
        if (!argumentsFit(arguments == 2, "delete takes a track and a row: delete TRACK ROW", error))
            return false;
        command.kind = CommandKind::DeleteKey;
        command.name = words[1];
        return wholeRow(verb, words[2], command.first, error);
    }
    if (verb == "keys") {
        if (!argumentsFit(arguments == 1 || arguments == 3,
                "keys takes a track and maybe two rows: keys TRACK [FROM TO]", error))
            return false;
        command.kind = CommandKind::ListKeys;
        command.name = words[1];
        command.ranged = arguments == 3;
        return !command.ranged ||
            (numberArgument(verb, words[2], command.first, error) && numberArgument(verb, words[3], command.second, error));
    }
    if (verb == "goto" || verb == "screenshot") {
        const char* usage = verb == "goto" ? "goto takes a section's name: goto SECTION (see 'sections')"
                                           : "screenshot takes a file: screenshot FILE.png";
        if (!argumentsFit(arguments == 1, usage, error))
            return false;
        command.kind = verb == "goto" ? CommandKind::Goto : CommandKind::Screenshot;
        command.name = words[1];
        return true;
    }
    error = "unknown command '" + verb + "' (" + commandList() + ")";
    return false;
}

} // namespace studio
