#include "StudioProcess.h"
#include "support/ExecArguments.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace studiotest {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds remaining(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? left : std::chrono::milliseconds(0);
}

} // namespace

StudioProcess::StudioProcess(const std::string& folder, const std::string& program,
    const std::vector<std::string>& args, const std::vector<std::string>& environment)
{
    int in[2], outPipe[2], errPipe[2];
    if (pipe(in) != 0 || pipe(outPipe) != 0 || pipe(errPipe) != 0)
        return;
    testsupport::ExecArguments argv(program, args);
    std::vector<std::string> settings = environment;

    pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        for (int fd : {in[0], in[1], outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
            close(fd);
        for (std::string& setting : settings)
            putenv(setting.data());
        if (chdir(folder.c_str()) != 0)
            _exit(126);
        execv(program.c_str(), argv.get());
        _exit(127);
    }
    close(in[0]);
    close(outPipe[1]);
    close(errPipe[1]);
    input = in[1];
    output = outPipe[0];
    error = errPipe[0];
    // A program that has ended must not end the test with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
}

StudioProcess::~StudioProcess()
{
    if (pid > 0 && !reaped) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    for (int fd : {input, output, error})
        if (fd >= 0)
            close(fd);
}

bool StudioProcess::send(const std::string& line)
{
    const std::string text = line + "\n";
    return input >= 0 && write(input, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

bool StudioProcess::pump(std::chrono::milliseconds timeout)
{
    pollfd fds[2] = {{output, POLLIN, 0}, {error, POLLIN, 0}};
    if (output < 0 && error < 0)
        return false;
    if (poll(fds, 2, static_cast<int>(timeout.count())) <= 0)
        return true;
    char buffer[4096];
    int* ends[2] = {&output, &error};
    std::string* texts[2] = {&out, &err};
    for (int i = 0; i < 2; ++i) {
        if (*ends[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t got = read(*ends[i], buffer, sizeof buffer);
        if (got > 0) {
            texts[i]->append(buffer, static_cast<size_t>(got));
        } else {
            close(*ends[i]);
            *ends[i] = -1;
        }
    }
    return true;
}

std::optional<std::string> StudioProcess::nextLine(std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        const size_t end = out.find('\n');
        if (end != std::string::npos) {
            std::string line = out.substr(0, end);
            out.erase(0, end + 1);
            return line;
        }
        if (output < 0 || Clock::now() >= deadline)
            return std::nullopt;
        pump(remaining(deadline));
    }
}

std::optional<std::string> StudioProcess::nextLineStartingWith(const std::string& prefix,
    std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (std::optional<std::string> line = nextLine(remaining(deadline)))
        if (line->rfind(prefix, 0) == 0)
            return line;
    return std::nullopt;
}

bool StudioProcess::waitForError(const std::string& text, std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (err.find(text) == std::string::npos) {
        if (Clock::now() >= deadline || !pump(remaining(deadline)))
            return err.find(text) != std::string::npos;
    }
    return true;
}

void StudioProcess::signal(int number)
{
    if (pid > 0 && !reaped)
        kill(pid, number);
}

int StudioProcess::wait(std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!reaped && pid > 0) {
        int raw = 0;
        const pid_t done = waitpid(pid, &raw, WNOHANG);
        if (done == pid) {
            reaped = true;
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            break;
        }
        if (Clock::now() >= deadline)
            return -1;
        pump(std::chrono::milliseconds(20));
    }
    // What the program wrote before it ended; its pipes close with it.
    for (int i = 0; i < 100 && (output >= 0 || error >= 0); ++i)
        pump(std::chrono::milliseconds(10));
    return status;
}

} // namespace studiotest
