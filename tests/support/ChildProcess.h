// A program run beside the test, for the checks that must act while it runs: send it a
// signal once it has got somewhere, then see how it ended. Its standard output and error
// go to files the test reads afterwards.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct ChildExit {
    bool exited = false;   // ended by exit() or a return from main
    int status = -1;       // its exit status, when it exited
    int signal = 0;        // the signal that ended it, when one did
    bool timedOut = false; // still running at the deadline (it is then killed)
};

class ChildProcess {
public:
    // Runs program with args, in folder, standard output and error to the files named.
    // SIGINT and SIGTERM start at their defaults, whatever the test process had.
    ChildProcess(const std::string& program, const std::vector<std::string>& args, const std::filesystem::path& folder,
                 const std::filesystem::path& outFile, const std::filesystem::path& errFile);
    // Kills the program if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid > 0; }
    // Waits, checking every few milliseconds, until ready() holds (true) or the program has
    // ended or the time is up (false).
    bool waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout);
    void signal(int number);
    ChildExit wait(std::chrono::milliseconds timeout);

private:
    bool reap(bool block);

    pid_t pid = -1;
    ChildExit ended;
    bool reaped = false;
};

} // namespace testsupport
