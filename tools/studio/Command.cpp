// The standard-input command parser: words separated by blanks, a fixed vocabulary, and
// numbers that must be whole decimal numbers (no trailing letters, no infinities).
#include "studio/Command.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace studio {

namespace {

bool parseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool numberArgument(const std::string& verb, const std::string& text, double& value, std::string& error)
{
    if (parseNumber(text, value))
        return true;
    error = verb + ": '" + text + "' is not a row (a decimal number)";
    return false;
}

} // namespace

const char* commandList()
{
    return "play, pause, seek ROW, loop FROM TO, loop off, reload, quit";
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
    const struct {
        const char* name;
        CommandKind kind;
    } plain[] = {{"play", CommandKind::Play}, {"pause", CommandKind::Pause}, {"reload", CommandKind::Reload},
        {"quit", CommandKind::Quit}};
    for (const auto& entry : plain) {
        if (verb != entry.name)
            continue;
        if (arguments != 0) {
            error = verb + " takes nothing after it";
            return false;
        }
        command = Command{entry.kind};
        return true;
    }
    if (verb == "seek") {
        if (arguments != 1) {
            error = "seek takes one row: seek ROW";
            return false;
        }
        command = Command{CommandKind::Seek};
        return numberArgument(verb, words[1], command.first, error);
    }
    if (verb == "loop") {
        if (arguments == 1 && words[1] == "off") {
            command = Command{CommandKind::LoopOff};
            return true;
        }
        if (arguments != 2) {
            error = "loop takes two rows or 'off': loop FROM TO, loop off";
            return false;
        }
        command = Command{CommandKind::Loop};
        return numberArgument(verb, words[1], command.first, error) &&
            numberArgument(verb, words[2], command.second, error);
    }
    error = "unknown command '" + verb + "' (" + commandList() + ")";
    return false;
}

} // namespace studio
