// The pitched parts: chord stabs, the sustained pad under the break and the sub bass.
// Each note is rendered straight into the buses from its start frame; notes that run
// past the end of the track are cut there.
#pragma once

#include <cstdint>

#include "music/Arrangement.h"
#include "music/Buses.h"

namespace assetgen::music {

struct StabNote {
    int64_t start;      // frame of the attack
    float velocity;     // linear gain
    float cutoffHz;     // resting cutoff of the filter; the attack opens it further
    float delaySend;    // share into the echo
    float reverbSend;   // share into the reverb
    uint64_t seed;      // oscillator phases and detune
};

// A detuned-saw chord through a resonant low-pass whose cutoff falls back after the
// attack: the dub stab. Left and right get differently detuned saws.
void renderStab(const Chord& chord, const StabNote& note, Buses& buses);

// The chord held from `start` for `length` frames with slow attack and release, under
// a dark filter; its level follows the pad automation of the arrangement.
void renderPad(const Chord& chord, int64_t start, int64_t length, uint64_t seed, Buses& buses);

// One sub-bass note: a sine (with a little second harmonic so small speakers show it)
// that slides down into pitch over its first few milliseconds.
void renderBass(int midiNote, int64_t start, int64_t length, float velocity, Buses& buses);

} // namespace assetgen::music
