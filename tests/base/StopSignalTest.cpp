// Ctrl-C and SIGTERM become a request that the programs' loops read: each case runs in a
// child process of its own, since the handlers and the request belong to the process.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "base/StopSignal.h"

namespace {

// The child's exit status says what it saw: 128+N after a stop request for signal N, 1
// when the request or its number was missing, 0 when there was none.
[[noreturn]] void exitWithWhatWasSeen()
{
    const int n = Tarvo::stopSignalNumber();
    if (!Tarvo::stopRequested())
        std::exit(n == 0 ? 0 : 1);
    std::exit(Tarvo::stopExitStatus() == 128 + n ? Tarvo::stopExitStatus() : 1);
}

class StopSignalTest : public testing::TestWithParam<int> {};

TEST_P(StopSignalTest, ASignalIsRecordedAndGivesItsExitStatus)
{
    const int signal = GetParam();
    EXPECT_EXIT(
        {
            Tarvo::installStopSignals();
            Tarvo::installStopSignals();
            std::raise(signal);
            exitWithWhatWasSeen();
        },
        testing::ExitedWithCode(128 + signal), "");
}

TEST_P(StopSignalTest, TheSecondSignalEndsTheProcess)
{
    const int signal = GetParam();
    EXPECT_EXIT(
        {
            Tarvo::installStopSignals();
            std::raise(signal);
            std::raise(signal);
            std::exit(0);
        },
        testing::KilledBySignal(signal), "");
}

TEST_P(StopSignalTest, ASignalTheProcessStartedIgnoringStaysIgnored)
{
    const int signal = GetParam();
    EXPECT_EXIT(
        {
            std::signal(signal, SIG_IGN);
            Tarvo::installStopSignals();
            std::raise(signal);
            exitWithWhatWasSeen();
        },
        testing::ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(IntAndTerm, StopSignalTest, testing::Values(SIGINT, SIGTERM));

TEST(StopSignal, NothingIsRequestedUntilASignalOrARequest)
{
    EXPECT_EXIT(
        {
            Tarvo::installStopSignals();
            if (Tarvo::stopRequested() || Tarvo::stopSignalNumber() != 0)
                std::exit(1);
            Tarvo::requestStop(SIGTERM);
            // The first request is the one that counts.
            Tarvo::requestStop(SIGINT);
            exitWithWhatWasSeen();
        },
        testing::ExitedWithCode(128 + SIGTERM), "");
}

} // namespace
