// Section table, chord cycle and the level automation of each part. The automation is a
// list of (bar, value) keys per part with straight lines between them; a repeated bar
// makes a step.
#include "music/Arrangement.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace assetgen::music {

int sectionAt(int bar)
{
    for (size_t i = 0; i < kSections.size(); ++i)
        if (bar >= kSections[i].firstBar && bar < kSections[i].firstBar + kSections[i].barCount)
            return int(i);
    return -1;
}

std::string describeSections()
{
    std::string text = "section   bars        rows          seconds\n";
    char line[128];
    for (const Section& s : kSections) {
        const int lastBar = s.firstBar + s.barCount;
        std::snprintf(line, sizeof line, "%-8s  %3d-%-3d (%2d) %5d-%-5d  %6.1f-%.1f\n", s.name, s.firstBar, lastBar,
                      s.barCount, s.firstBar * kRowsPerBar, lastBar * kRowsPerBar,
                      double(s.firstBar) * kFramesPerBar / kSampleRate, double(lastBar) * kFramesPerBar / kSampleRate);
        text += line;
    }
    return text;
}

namespace {

// A minor: the tonic alone until the groove is established, then an eight-bar cycle
// whose voicings share notes so the parallel stabs stay smooth.
constexpr Chord kTonic = {"Am9", 33, {57, 60, 64, 67, 71}};
constexpr Chord kSixth = {"Fmaj9", 29, {53, 57, 60, 64, 67}};
constexpr Chord kFourth = {"Dm9", 38, {50, 53, 57, 60, 64}};

constexpr int kCycleStartBar = 32;

struct Key {
    float bar;
    float value;
};

float lane(std::initializer_list<Key> keys, double bar)
{
    const Key* first = keys.begin();
    const Key* last = keys.end() - 1;
    if (bar <= first->bar)
        return first->value;
    if (bar >= last->bar)
        return last->value;
    // The last key at or before `bar`, so that a repeated bar is a step up or down.
    const Key* k = first;
    while (k + 1 <= last && (k + 1)->bar <= bar)
        ++k;
    const Key* next = k + 1;
    if (next > last || next->bar <= k->bar)
        return k->value;
    const double t = (bar - k->bar) / (next->bar - k->bar);
    return float(k->value + (next->value - k->value) * t);
}

} // namespace

const Chord& chordAt(int bar)
{
    if (bar < kCycleStartBar || bar >= kFinalStabBar)
        return kTonic;
    const int inCycle = (bar - kCycleStartBar) % 8;
    if (inCycle < 4)
        return kTonic;
    return inCycle < 6 ? kSixth : kFourth;
}

Levels levelsAt(double bar)
{
    Levels l;
    l.kick = lane({{8, 0}, {8, 1}, {48, 1}, {48, 0}, {64, 0}, {64, 1}, {kFinalStabBar, 1}, {kFinalStabBar, 0}}, bar);
    l.hatClosed = lane({{4, 0}, {16, 0.7f}, {24, 1}, {48, 1}, {48, 0}, {56, 0}, {56, 0.5f}, {64, 0.8f}, {64, 1},
                        {100, 1}, {kFinalStabBar, 0}},
                       bar);
    l.hatOpen = lane({{24, 0}, {24, 1}, {48, 1}, {48, 0}, {64, 0}, {64, 1}, {100, 1}, {104, 0}}, bar);
    l.shaker = lane({{72, 0}, {72, 1}, {96, 1}, {100, 0}}, bar);
    l.rim = lane({{32, 0}, {32, 1}, {48, 1}, {48, 0.7f}, {64, 0.7f}, {64, 1}, {104, 1}, {104, 0}}, bar);
    l.stab = lane({{0, 0.35f}, {16, 1}, {96, 1}, {kFinalStabBar, 0.7f}, {kFinalStabBar, 0.9f}}, bar);
    l.bass = lane({{16, 0}, {16, 1}, {48, 1}, {48, 0}, {56, 0}, {56, 0.6f}, {64, 0.6f}, {64, 1}, {100, 1}, {100, 0}},
                  bar);
    l.pad = lane({{0, 0}, {4, 0.6f}, {12, 0.3f}, {16, 0}, {48, 0}, {52, 1}, {62, 1}, {64, 0.3f}, {96, 0.3f},
                  {102, 0.6f}, {110, 0.4f}, {112, 0}},
                 bar);
    l.crackle = lane({{0, 0}, {1, 1}, {110, 1}, {112, 0}}, bar);
    l.riser = lane({{58, 0}, {63.75f, 1}, {63.75f, 0}}, bar);
    // The filter opens through the first half, breathes open in the break, is brightest
    // in the climax and closes again for the outro.
    l.stabCutoffHz = lane({{0, 300}, {16, 900}, {32, 1700}, {48, 1900}, {50, 700}, {63, 2800}, {64, 2200},
                           {96, 3200}, {112, 500}},
                          bar);
    l.delayFeedback = lane({{0, 0.55f}, {48, 0.55f}, {52, 0.72f}, {62, 0.72f}, {64, 0.58f}, {96, 0.6f},
                            {kFinalStabBar, 0.6f}, {kFinalStabBar + 0.5f, 0.74f}},
                           bar);
    l.reverbSend = lane({{0, 0.55f}, {16, 0.4f}, {48, 0.4f}, {50, 0.65f}, {62, 0.65f}, {64, 0.4f}, {96, 0.45f},
                         {112, 0.65f}},
                        bar);
    return l;
}

} // namespace assetgen::music
