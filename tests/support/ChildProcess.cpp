// fork and exec, so that the test holds the program's process id for its signals.
#include "ChildProcess.h"
#include "ExecArguments.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace testsupport {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds pollPeriod(20);

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::filesystem::path& folder, const std::filesystem::path& outFile,
                           const std::filesystem::path& errFile)
{
    ExecArguments argv(program, args);
    const std::string out = outFile.string();
    const std::string err = errFile.string();
    const std::string where = folder.string();

    pid = fork();
    if (pid != 0)
        return;
    // Only calls that are safe between fork and exec from here on.
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int nullFd = open("/dev/null", O_RDONLY);
    if (outFd < 0 || errFd < 0 || nullFd < 0 || chdir(where.c_str()) != 0)
        _exit(126);
    dup2(nullFd, STDIN_FILENO);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    execv(program.c_str(), argv.get());
    _exit(127);
}

ChildProcess::~ChildProcess()
{
    if (pid > 0 && !reaped) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

bool ChildProcess::reap(bool block)
{
    if (reaped || pid <= 0)
        return true;
    int raw = 0;
    if (waitpid(pid, &raw, block ? 0 : WNOHANG) != pid)
        return false;
    reaped = true;
    ended.exited = WIFEXITED(raw);
    ended.status = ended.exited ? WEXITSTATUS(raw) : -1;
    ended.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
    return true;
}

bool ChildProcess::waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (ready())
            return true;
        if (reap(false))
            return false;
        std::this_thread::sleep_for(pollPeriod);
    }
    return ready();
}

void ChildProcess::signal(int number)
{
    if (pid > 0 && !reaped)
        kill(pid, number);
}

ChildExit ChildProcess::wait(std::chrono::milliseconds timeout)
{
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!reap(false) && Clock::now() < deadline)
        std::this_thread::sleep_for(pollPeriod);
    if (!reaped && pid > 0) {
        kill(pid, SIGKILL);
        reap(true);
        ended.timedOut = true;
    }
    return ended;
}

} // namespace testsupport
