// Where start-up time goes and how far loading has come. Every loader times its work
// against one phase with a LoadStep; a nested step (a model loading its texture) pauses
// the one around it, so each phase counts only its own time. The program that owns the
// window listens, to show progress while the show loads; benchmarks print the phases.
// Used from the GL thread only.
#pragma once

#include <array>
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

class LoadStep {
public:
    // A step that is not counted only adds its time (the upload of an image whose
    // texture was counted when it was asked for).
    explicit LoadStep(LoadPhase phase, bool counted = true);
    ~LoadStep();
    LoadStep(const LoadStep&) = delete;
    LoadStep& operator=(const LoadStep&) = delete;

private:
    LoadStep* outer;
    LoadPhase phase;
    bool counted;
};

namespace loading {
const LoadProgress& progress();
// Starts a fresh account (a new start-up) expecting that many steps.
void begin(int stepsExpected);
// Expects that many more steps than are done now (a scene about to be built).
void expectMore(int steps);
// Called after every finished step; null stops listening.
void setListener(std::function<void(const LoadProgress&)> listener);
// The phases as "window 12.3 ms, shaders ..." for a benchmark's output.
std::string summary();
} // namespace loading

} // namespace Tarvo
