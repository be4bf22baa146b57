// vantor-studio run as a separate program, the way an editor drives it: lines written to
// its standard input, its standard output read line by line as it comes, its standard error
// collected alongside (both are drained together, so neither pipe can fill and stall it).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace studiotest {

class StudioProcess {
public:
    // Runs program with args in folder; environment additions as "NAME=value".
    StudioProcess(const std::string& folder, const std::string& program, const std::vector<std::string>& args,
        const std::vector<std::string>& environment = {});
    // Kills the program if it still runs.
    ~StudioProcess();
    StudioProcess(const StudioProcess&) = delete;
    StudioProcess& operator=(const StudioProcess&) = delete;

    bool started() const { return pid > 0; }
    bool send(const std::string& line);
    // The next whole line of standard output; empty when none comes in time or the output
    // has ended.
    std::optional<std::string> nextLine(std::chrono::milliseconds timeout);
    // The next standard output line that starts with prefix, skipping others.
    std::optional<std::string> nextLineStartingWith(const std::string& prefix, std::chrono::milliseconds timeout);
    // Waits until standard error holds text.
    bool waitForError(const std::string& text, std::chrono::milliseconds timeout);
    // Sends the program a signal (Ctrl-C is SIGINT).
    void signal(int number);
    // The exit status, or -1 if the program has not ended in time (it is then killed).
    int wait(std::chrono::milliseconds timeout);
    const std::string& errorText() const { return err; }

private:
    // Reads what is there within timeout; false when both outputs have ended.
    bool pump(std::chrono::milliseconds timeout);

    pid_t pid = -1;
    int input = -1;
    int output = -1;
    int error = -1;
    std::string out;
    std::string err;
    int status = -1;
    bool reaped = false;
};

} // namespace studiotest
