#include "engine/LoadProgress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "engine/Loading.h"

namespace Tarvo {

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

constexpr const char* phaseNames[loadPhaseCount] = { "window", "shaders", "textures", "meshes", "music",
    "first frame" };

LoadAccount* currentAccount()
{
    Loading* loading = Loading::current();
    return loading ? &loading->account() : nullptr;
}

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

LoadStep::LoadStep(LoadPhase phase, bool counted) : account(currentAccount()), phase(phase), counted(counted)
{
    if (!account)
        return;
    outer = account->innermost;
    // The step around this one stops counting while this one runs.
    if (outer)
        account->state.milliseconds[static_cast<int>(outer->phase)] += msSince(account->since);
    account->innermost = this;
    account->since = Clock::now();
}

LoadStep::~LoadStep()
{
    if (!account)
        return;
    account->state.milliseconds[static_cast<int>(phase)] += msSince(account->since);
    if (counted)
        ++account->state.stepsDone;
    account->innermost = outer;
    if (!outer && account->listener)
        account->listener(account->state);
    account->since = Clock::now();
}

void LoadAccount::begin(int stepsExpected)
{
    state = LoadProgress {};
    state.stepsExpected = stepsExpected;
}

void LoadAccount::expectMore(int steps)
{
    state.stepsExpected = state.stepsDone + steps;
}

void LoadAccount::setListener(std::function<void(const LoadProgress&)> newListener)
{
    listener = std::move(newListener);
}

std::string LoadAccount::summary() const
{
    std::string text;
    char part[64];
    for (int i = 0; i < loadPhaseCount; ++i) {
        std::snprintf(part, sizeof part, "%s%s %.1f ms", i ? ", " : "", phaseNames[i],
            state.milliseconds[static_cast<std::size_t>(i)]);
        text += part;
    }
    return text;
}

} // namespace Tarvo
