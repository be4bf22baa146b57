// The handler does the two things a signal handler may safely do: store to a lock-free
// atomic and put its own signal back to the default, so that the next one is fatal.
#include "base/StopSignal.h"

#include <atomic>
#include <csignal>

namespace Tarvo {

namespace {

std::atomic<int> stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch a lock-free atomic");

bool installed = false;

extern "C" void onStopSignal(int signal)
{
    int none = 0;
    stopSignal.compare_exchange_strong(none, signal);
    std::signal(signal, SIG_DFL);
}

void install(int signal)
{
    // std::signal gives no way to look without changing, so the previous handler comes
    // back from the change and is put back if it was SIG_IGN.
    const auto previous = std::signal(signal, onStopSignal);
    if (previous == SIG_IGN)
        std::signal(signal, SIG_IGN);
}

} // namespace

void installStopSignals()
{
    if (installed)
        return;
    installed = true;
    install(SIGINT);
    install(SIGTERM);
}

bool stopRequested()
{
    return stopSignal.load() != 0;
}

int stopSignalNumber()
{
    return stopSignal.load();
}

int stopExitStatus()
{
    return 128 + stopSignal.load();
}

void requestStop(int signal)
{
    int none = 0;
    stopSignal.compare_exchange_strong(none, signal);
}

} // namespace Tarvo
