// The form of the generated track: its sections in bars (the show's timeline follows
// them, one bar = 32 rows), the chords, and how loud each part is at any bar.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "music/Dsp.h"

namespace assetgen::music {

struct Section {
    const char* name;
    int firstBar;
    int barCount;
};

inline constexpr std::array<Section, 6> kSections = {{
    {"intro", 0, 16},
    {"build", 16, 16},
    {"main", 32, 16},
    {"break", 48, 16},
    {"climax", 64, 32},
    {"outro", 96, 16},
}};

inline constexpr int kTotalBars = 112;
// The last chord is struck on the downbeat of this bar; the bars after it hold only
// its echoes, the reverb and the crackle fading out.
inline constexpr int kFinalStabBar = 108;
inline constexpr int64_t kTrackFrames = int64_t(kTotalBars) * kFramesPerBar;

// Index into kSections of the section holding `bar`, or -1 outside the track.
int sectionAt(int bar);

// Index into kSections of the section called `name`, or -1.
constexpr int sectionIndex(std::string_view name)
{
    for (size_t i = 0; i < kSections.size(); ++i)
        if (name == kSections[i].name)
            return int(i);
    return -1;
}

// The section table as text, one line per section with bars, rows and seconds.
std::string describeSections();

struct Chord {
    const char* name;
    int bassNote;                // MIDI note of the sub bass
    std::array<int, 5> notes;    // MIDI notes of the stab and pad voicing
};

const Chord& chordAt(int bar);

// Level of every part at a point of the track, in linear gain 0..1 unless stated.
struct Levels {
    float kick, hatClosed, hatOpen, shaker, rim;
    float stab, bass, pad, crackle, riser;
    float stabCutoffHz;    // centre of the stab filter
    float delayFeedback;   // 0..1 of the dotted-eighth echo
    float reverbSend;      // share of the stabs sent to the reverb
};

// `bar` is continuous: 12.5 is the middle of bar 12 (counting from 0).
Levels levelsAt(double bar);

// Whether a part plays its notes in the bar at all (its level there is not zero).
inline bool plays(float level) { return level > 0.001f; }

} // namespace assetgen::music
