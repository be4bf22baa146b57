// The score: which part plays on which sixteenth of which bar, and the mix around it.
#include "music/Renderer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "music/Arrangement.h"
#include "music/Buses.h"
#include "music/Drums.h"
#include "music/DubDelay.h"
#include "music/NoiseLayers.h"
#include "music/Reverb.h"
#include "music/Synths.h"

namespace assetgen::music {

namespace {

constexpr int kStepsPerBar = kStepsPerBeat * kBeatsPerBar;
// Off-beat sixteenths arrive this share of a sixteenth late: a light shuffle.
constexpr double kSwing = 0.06;
constexpr int kClimax = sectionIndex("climax");
static_assert(kClimax >= 0);

int64_t stepFrame(int bar, int step)
{
    int64_t frame = int64_t(bar) * kFramesPerBar + int64_t(step) * kFramesPerStep;
    if (step % 2 == 1)
        frame += int64_t(kSwing * kFramesPerStep);
    return frame;
}

struct DrumKit {
    Sample kick = renderKick();
    std::array<Sample, 4> closed, open, shaker;
    std::array<Sample, 2> rim;
    DrumKit()
    {
        for (size_t i = 0; i < 4; ++i) {
            closed[i] = renderHat(false, 0x100 + i);
            open[i] = renderHat(true, 0x200 + i);
            shaker[i] = renderShaker(0x300 + i);
        }
        for (size_t i = 0; i < rim.size(); ++i)
            rim[i] = renderRim(0x400 + i);
    }
};

// Places the drums; returns the frames where the kick struck, for the ducking.
std::vector<int64_t> placeDrums(Buses& buses)
{
    const DrumKit kit;
    Rng rng(0x6472756dull);
    std::vector<int64_t> kicks;
    for (int bar = 0; bar < kTotalBars; ++bar) {
        const Levels l = levelsAt(bar);
        for (int step = 0; step < kStepsPerBar; ++step) {
            const int64_t at = stepFrame(bar, step);
            const float humanise = 0.88f + 0.24f * rng.uniform();
            const size_t variant = rng.next() % 4;
            if (step % 4 == 0 && plays(l.kick)) {
                mixSample(kit.kick, at, 0.9f * l.kick, 0.9f * l.kick, buses.dryL, buses.dryR);
                kicks.push_back(at);
            }
            if (step % 4 == 2 && plays(l.hatOpen)) {
                const float g = 0.3f * l.hatOpen * humanise;
                mixSample(kit.open[variant], at, g * 0.8f, g, buses.dryL, buses.dryR);
                mixSample(kit.open[variant], at, g * 0.15f, buses.reverbSend);
            }
            if (step % 4 != 2 && plays(l.hatClosed)) {
                static constexpr float kAccent[4] = {0.6f, 0.3f, 0.0f, 0.42f};
                const float g = 0.3f * l.hatClosed * kAccent[step % 4] * humanise;
                mixSample(kit.closed[variant], at, g, g * 0.8f, buses.dryL, buses.dryR);
            }
            if (plays(l.shaker)) {
                const float g = 0.1f * l.shaker * (step % 2 ? 0.6f : 1.0f) * humanise;
                const bool left = step % 2 == 0;
                mixSample(kit.shaker[variant], at, left ? g : g * 0.45f, left ? g * 0.45f : g, buses.dryL,
                          buses.dryR);
            }
            // A rim shot on beat four, and on the second bar of each pair two later,
            // syncopated ones; they live mostly in the echo.
            const bool rimStep = bar % 2 == 0 ? step == 12 : (step == 7 || step == 15);
            if (rimStep && plays(l.rim)) {
                const float g = 0.3f * l.rim * humanise;
                const Sample& rim = kit.rim[variant % kit.rim.size()];
                mixSample(rim, at, g, g * 0.7f, buses.dryL, buses.dryR);
                mixSample(rim, at, g * 0.7f, buses.delaySend);
                mixSample(rim, at, g * 0.25f, buses.reverbSend);
            }
        }
    }
    return kicks;
}

void placeStabs(Buses& buses)
{
    Rng rng(0x73746162ull);
    for (int bar = 0; bar < kTotalBars; ++bar) {
        if (bar > kFinalStabBar)
            break;
        static constexpr std::array<int, 2> kEven = {3, 10}, kOdd = {6, 13};
        static constexpr std::array<int, 3> kTurn = {3, 7, 12};
        std::vector<int> steps;
        if (bar == kFinalStabBar)
            steps = {0};
        else if (bar % 8 == 7)
            steps.assign(kTurn.begin(), kTurn.end());
        else if (bar % 2 == 0)
            steps.assign(kEven.begin(), kEven.end());
        else
            steps.assign(kOdd.begin(), kOdd.end());
        const bool ghost = sectionAt(bar) == kClimax && bar % 2 == 0;
        if (ghost)
            steps.push_back(14);
        for (int step : steps) {
            const double position = bar + double(step) / kStepsPerBar;
            const Levels l = levelsAt(position);
            if (!plays(l.stab))
                continue;
            StabNote note;
            note.start = stepFrame(bar, step);
            note.velocity = l.stab * (0.88f + 0.12f * rng.uniform()) * (ghost && step == 14 ? 0.55f : 1.0f);
            // A slow sway of the filter on top of the arrangement's sweep.
            note.cutoffHz =
                l.stabCutoffHz * float(1.0 + 0.22 * std::sin(2.0 * std::numbers::pi * position / 6.0));
            note.delaySend = 0.75f;
            note.reverbSend = l.reverbSend;
            note.seed = rng.next();
            renderStab(chordAt(bar), note, buses);
        }
    }
}

void placePad(Buses& buses)
{
    int bar = 0;
    uint64_t seed = 0x706164ull;
    while (bar < kTotalBars) {
        if (!plays(levelsAt(bar).pad) && !plays(levelsAt(bar + 1).pad)) {
            ++bar;
            continue;
        }
        const Chord& chord = chordAt(bar);
        int end = bar + 1;
        while (end < kTotalBars && &chordAt(end) == &chord)
            ++end;
        renderPad(chord, int64_t(bar) * kFramesPerBar, int64_t(end - bar) * kFramesPerBar, seed++, buses);
        bar = end;
    }
}

void placeBass(Buses& buses)
{
    static constexpr std::array<int, 4> kSteps = {2, 6, 10, 14};
    const int64_t length = kFramesPerStep * 13 / 10;
    for (int bar = 0; bar < kTotalBars; ++bar) {
        const Levels l = levelsAt(bar);
        if (!plays(l.bass))
            continue;
        const Chord& chord = chordAt(bar);
        for (int step : kSteps) {
            // In the climax the last note of every second bar jumps an octave.
            const bool lift = sectionAt(bar) == kClimax && bar % 2 == 1 && step == 14;
            const float velocity = l.bass * (lift ? 0.6f : step == 14 ? 0.85f : 1.0f);
            renderBass(chord.bassNote + (lift ? 12 : 0), stepFrame(bar, step), length, velocity, buses);
        }
    }
}

// Runs the echo and the reverb over the sends and adds their returns to the ducked bus.
void runEffects(Buses& buses)
{
    DubDelay echo(kFramesPerStep * 3); // dotted eighth
    Reverb hall(4.2, 5200.0);
    constexpr float kEchoReturn = 1.0f, kEchoIntoHall = 0.3f, kHallReturn = 1.0f;
    for (int64_t i = 0; i < buses.frames(); ++i) {
        if (i % 64 == 0)
            echo.setFeedback(levelsAt(double(i) / kFramesPerBar).delayFeedback);
        const size_t at = size_t(i);
        float el, er, rl, rr;
        echo.process(buses.delaySend[at], el, er);
        hall.process(buses.reverbSend[at] + kEchoIntoHall * 0.5f * (el + er), rl, rr);
        buses.duckL[at] += kEchoReturn * el + kHallReturn * rl;
        buses.duckR[at] += kEchoReturn * er + kHallReturn * rr;
    }
}

// Gain of the ducked bus over time: each kick pulls it down and lets it swell back,
// the pumping that makes the chords breathe with the beat. Frames are asked for in
// order, so it walks the kick list once.
class Ducking {
public:
    explicit Ducking(const std::vector<int64_t>& kicks) : kicks(kicks) {}

    float gainAt(int64_t frame)
    {
        while (next < kicks.size() && kicks[next] <= frame) {
            since = frame - kicks[next++];
            shape = 1.0f;
            active = true;
        }
        if (!active)
            return 1.0f;
        const int64_t t = since++;
        if (t >= kFramesPerBeat) {
            active = false;
            return 1.0f;
        }
        if (t < kAttack)
            return 1.0f - kDepth * float(t) / kAttack;
        shape *= release;
        return 1.0f - kDepth * shape;
    }

private:
    static constexpr float kDepth = 0.55f;
    static constexpr int64_t kAttack = kSampleRate * 3 / 1000;
    const std::vector<int64_t>& kicks;
    const float release = decayPerSample(0.075);
    size_t next = 0;
    int64_t since = 0;
    float shape = 1.0f;
    bool active = false;
};

} // namespace

StereoTrack renderTrack()
{
    Buses buses(kTrackFrames);
    const std::vector<int64_t> kicks = placeDrums(buses);
    placeStabs(buses);
    placePad(buses);
    placeBass(buses);
    renderRiser(buses);
    runEffects(buses);
    renderCrackle(buses);

    Ducking ducking(kicks);
    Biquad rumbleL = Biquad::highPass(24.0, 0.707), rumbleR = Biquad::highPass(24.0, 0.707);
    // The last two bars fade to silence under the final chord's echoes.
    const int64_t fadeStart = kTrackFrames - 2 * kFramesPerBar;
    const int64_t fadeIn = kSampleRate / 100;
    StereoTrack track;
    track.left = std::move(buses.dryL);
    track.right = std::move(buses.dryR);
    for (int64_t i = 0; i < track.frames(); ++i) {
        const size_t at = size_t(i);
        const float duck = ducking.gainAt(i);
        float fade = std::min(1.0f, float(i) / fadeIn);
        if (i >= fadeStart)
            fade *= float(0.5 + 0.5 * std::cos(std::numbers::pi * double(i - fadeStart)
                                               / double(kTrackFrames - fadeStart)));
        track.left[at] = float(rumbleL.process(track.left[at] + buses.duckL[at] * duck)) * fade;
        track.right[at] = float(rumbleR.process(track.right[at] + buses.duckR[at] * duck)) * fade;
    }
    return track;
}

} // namespace assetgen::music
