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

constexpr int kCycleStartBar = kSections[sectionIndex("main")].firstBar;

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

// First bars of the sections, so the automation moves with the table.
constexpr float kBuild = float(kSections[sectionIndex("build")].firstBar);
constexpr float kMain = float(kSections[sectionIndex("main")].firstBar);
constexpr float kBreak = float(kSections[sectionIndex("break")].firstBar);
constexpr float kClimax = float(kSections[sectionIndex("climax")].firstBar);
constexpr float kOutro = float(kSections[sectionIndex("outro")].firstBar);
constexpr float kFinal = float(kFinalStabBar);
constexpr float kEnd = float(kTotalBars);
static_assert(kBuild > 8 && kMain > kBuild + 8 && kBreak > kMain && kClimax > kBreak + 8 && kOutro > kClimax + 8 &&
              kFinal > kOutro + 4 && kEnd > kFinal + 2);

Levels levelsAt(double bar)
{
    Levels l;
    // Drums: the kick enters halfway through the intro, leaves for the break and stops
    // with the last chord; the hats build in layers.
    l.kick = lane({{8, 0}, {8, 1}, {kBreak, 1}, {kBreak, 0}, {kClimax, 0}, {kClimax, 1}, {kFinal, 1}, {kFinal, 0}},
                  bar);
    l.hatClosed = lane({{4, 0}, {kBuild, 0.7f}, {kBuild + 8, 1}, {kBreak, 1}, {kBreak, 0}, {kBreak + 8, 0},
                        {kBreak + 8, 0.5f}, {kClimax, 0.8f}, {kClimax, 1}, {kOutro + 4, 1}, {kFinal, 0}},
                       bar);
    l.hatOpen = lane({{kBuild + 8, 0}, {kBuild + 8, 1}, {kBreak, 1}, {kBreak, 0}, {kClimax, 0}, {kClimax, 1},
                      {kOutro + 4, 1}, {kOutro + 8, 0}},
                     bar);
    l.shaker = lane({{kClimax + 8, 0}, {kClimax + 8, 1}, {kOutro, 1}, {kOutro + 4, 0}}, bar);
    l.rim = lane({{kMain, 0}, {kMain, 1}, {kBreak, 1}, {kBreak, 0.7f}, {kClimax, 0.7f}, {kClimax, 1}, {kOutro + 8, 1},
                  {kOutro + 8, 0}},
                 bar);
    // Music: the stabs swell in from the first bar, the sub bass arrives with the build
    // and hums alone under the second half of the break; the pad carries intro, break
    // and ending.
    l.stab = lane({{0, 0.35f}, {kBuild, 1}, {kOutro, 1}, {kFinal, 0.7f}, {kFinal, 0.9f}}, bar);
    l.bass = lane({{kBuild, 0}, {kBuild, 1}, {kBreak, 1}, {kBreak, 0}, {kBreak + 8, 0}, {kBreak + 8, 0.6f},
                   {kClimax, 0.6f}, {kClimax, 1}, {kOutro + 4, 1}, {kOutro + 4, 0}},
                  bar);
    l.pad = lane({{0, 0}, {4, 0.6f}, {12, 0.3f}, {kBuild, 0}, {kBreak, 0}, {kBreak + 4, 1}, {kClimax - 2, 1},
                  {kClimax, 0.3f}, {kOutro, 0.3f}, {kOutro + 6, 0.6f}, {kEnd - 2, 0.4f}, {kEnd, 0}},
                 bar);
    l.crackle = lane({{0, 0}, {1, 1}, {kEnd - 2, 1}, {kEnd, 0}}, bar);
    // The riser stops a beat before the climax, leaving that beat to the echoes.
    l.riser = lane({{kClimax - 6, 0}, {kClimax - 0.25f, 1}, {kClimax - 0.25f, 0}}, bar);
    // The filter opens through the first half, breathes open in the break, is brightest
    // in the climax and closes again for the outro.
    l.stabCutoffHz = lane({{0, 300}, {kBuild, 900}, {kMain, 1700}, {kBreak, 1900}, {kBreak + 2, 700},
                           {kClimax - 1, 2800}, {kClimax, 2200}, {kOutro, 3200}, {kEnd, 500}},
                          bar);
    // The echo feeds back more in the break and on the last chord, the dub moments.
    l.delayFeedback = lane({{0, 0.55f}, {kBreak, 0.55f}, {kBreak + 4, 0.72f}, {kClimax - 2, 0.72f},
                            {kClimax, 0.58f}, {kOutro, 0.6f}, {kFinal, 0.6f}, {kFinal + 0.5f, 0.74f}},
                           bar);
    l.reverbSend = lane({{0, 0.55f}, {kBuild, 0.4f}, {kBreak, 0.4f}, {kBreak + 2, 0.65f}, {kClimax - 2, 0.65f},
                         {kClimax, 0.4f}, {kOutro, 0.45f}, {kEnd, 0.65f}},
                        bar);
    return l;
}

} // namespace assetgen::music
