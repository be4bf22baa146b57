// Where start-up time goes and how far loading has come. Every loader times its work
// against one phase with a LoadStep, counted in the account of the current loading
// (engine/Loading.h); a nested step (a model loading its texture) pauses the one around
// it, so each phase counts only its own time. The program that owns the window listens, to
// show progress while the show loads; benchmarks print the phases. Used from the GL
// thread only.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>

namespace Tarvo {

enum class LoadPhase { Window, Shaders, Textures, Meshes, Music, FirstFrame };
inline constexpr int loadPhaseCount = 6;
const char* loadPhaseName(LoadPhase phase);

struct LoadProgress {
    std::array<double, loadPhaseCount> milliseconds {};
    int stepsDone = 0;
    // The steps start-up is expected to take (from the scene's list of what it loads);
    // 0 when unknown.
    int stepsExpected = 0;

    // How far loading has come, 0 to 1; never 1 before the end.
    double fraction() const;
};

class LoadStep;

// One start-up's account: its progress, and who listens to it.
class LoadAccount {
public:
    const LoadProgress& progress() const { return state; }
    // Starts afresh (a new start-up) expecting that many steps.
    void begin(int stepsExpected);
    // Expects that many more steps than are done now (a scene about to be built).
    void expectMore(int steps);
    // Called each time a step ends with no other step around it: between two loaders,
    // never in the middle of one. Null stops listening.
    void setListener(std::function<void(const LoadProgress&)> listener);
    // The phases as "window 12.3 ms, shaders ..." for a benchmark's output.
    std::string summary() const;

private:
    friend class LoadStep;
    LoadProgress state;
    std::function<void(const LoadProgress&)> listener;
    LoadStep* innermost = nullptr;
    std::chrono::steady_clock::time_point since {};
};

// Times one step of loading in the current loading's account; does nothing without one.
class LoadStep {
public:
    // A step that is not counted only adds its time (the upload of an image whose
    // texture was counted when it was asked for).
    explicit LoadStep(LoadPhase phase, bool counted = true);
    ~LoadStep();
    LoadStep(const LoadStep&) = delete;
    LoadStep& operator=(const LoadStep&) = delete;

private:
    LoadAccount* account;
    LoadStep* outer = nullptr;
    LoadPhase phase;
    bool counted;
};

} // namespace Tarvo
