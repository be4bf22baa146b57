// The descriptor calls differ by name between POSIX and the Windows C runtime; Windows
// has no SIGPIPE (a write to a closed pipe fails with EPIPE there already).
#include "capture/ResultStream.h"

#include <csignal>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace capture {

namespace {
constexpr int stdoutFd = 1;
constexpr int stderrFd = 2;
} // namespace

#if defined(_WIN32)
void ignoreBrokenPipes() {}

bool stdoutIsTerminal()
{
    return ::_isatty(stdoutFd) != 0;
}

std::FILE* takeStdoutForResults()
{
    std::fflush(stdout);
    const int fd = ::_dup(stdoutFd);
    if (fd < 0 || ::_setmode(fd, _O_BINARY) < 0)
        return nullptr;
    std::FILE* results = ::_fdopen(fd, "wb");
    if (!results || ::_dup2(stderrFd, stdoutFd) < 0)
        return nullptr;
    // The C runtime does not line-buffer (_IOLBF is full buffering there); unbuffered keeps
    // the order.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return results;
}
#else
void ignoreBrokenPipes()
{
    std::signal(SIGPIPE, SIG_IGN);
}

bool stdoutIsTerminal()
{
    return ::isatty(stdoutFd) == 1;
}

std::FILE* takeStdoutForResults()
{
    std::fflush(stdout);
    const int fd = ::dup(stdoutFd);
    std::FILE* results = fd >= 0 ? ::fdopen(fd, "wb") : nullptr;
    if (!results || ::dup2(stderrFd, stdoutFd) < 0)
        return nullptr;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return results;
}
#endif

} // namespace capture
