#include "engine/LoadProgress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace Tarvo {

namespace {

using Clock = std::chrono::steady_clock;

struct Account {
    LoadProgress progress;
    std::function<void(const LoadProgress&)> listener;
    LoadStep* innermost = nullptr;
    Clock::time_point since {};
};

Account& account()
{
    static Account state;
    return state;
}

double msSince(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

constexpr const char* phaseNames[loadPhaseCount] = { "window", "shaders", "textures", "meshes", "music",
    "first frame" };

} // namespace

const char* loadPhaseName(LoadPhase phase)
{
    return phaseNames[static_cast<int>(phase)];
}

double LoadProgress::fraction() const
{
    if (stepsExpected <= 0)
        return 0.0;
    return std::min(0.99, static_cast<double>(stepsDone) / static_cast<double>(stepsExpected));
}

LoadStep::LoadStep(LoadPhase phase, bool counted) : outer(account().innermost), phase(phase), counted(counted)
{
    Account& a = account();
    // The step around this one stops counting while this one runs.
    if (outer)
        a.progress.milliseconds[static_cast<int>(outer->phase)] += msSince(a.since);
    a.innermost = this;
    a.since = Clock::now();
}

LoadStep::~LoadStep()
{
    Account& a = account();
    a.progress.milliseconds[static_cast<int>(phase)] += msSince(a.since);
    if (counted)
        ++a.progress.stepsDone;
    a.innermost = outer;
    if (a.listener)
        a.listener(a.progress);
    a.since = Clock::now();
}

namespace loading {

const LoadProgress& progress()
{
    return account().progress;
}

void begin(int stepsExpected)
{
    account().progress = LoadProgress {};
    account().progress.stepsExpected = stepsExpected;
}

void expectMore(int steps)
{
    account().progress.stepsExpected = account().progress.stepsDone + steps;
}

void setListener(std::function<void(const LoadProgress&)> listener)
{
    account().listener = std::move(listener);
}

std::string summary()
{
    std::string text;
    char part[64];
    for (int i = 0; i < loadPhaseCount; ++i) {
        std::snprintf(part, sizeof part, "%s%s %.1f ms", i ? ", " : "", phaseNames[i],
            account().progress.milliseconds[static_cast<std::size_t>(i)]);
        text += part;
    }
    return text;
}

} // namespace loading

} // namespace Tarvo
