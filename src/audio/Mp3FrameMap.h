// Where each MPEG audio frame the decoder found belongs on the music's time line, so that a
// damaged stretch plays as silence of about the length it had, instead of pulling the rest
// of the music earlier and the row clock with it.
//
// The decoder skips bytes it cannot read as frames and numbers the frames it finds from 0,
// so after damage its count is short. The frames' byte offsets tell where the damage was:
// a frame that starts exactly where the one before it ends follows it in time; a jump in
// the offsets is damage, and the bytes it spans, at the stream's average frame length,
// are the frames it destroyed. A frame found inside damage (random bytes that happen to
// look like a header, or a lone survivor) is not trusted: its time slot plays as silence.
// When the file's info tag gives the undamaged frame count, the slots are fitted to it,
// which also tells bytes inserted into the stream (no time lost) from bytes overwritten.
#pragma once

#include <cstdint>
#include <vector>

namespace audio {

// The length in bytes of the MPEG audio frame whose 4-byte header this is (read big-endian
// from the file), or 0 when it is no valid header (or a free-format one, whose length the
// header does not tell).
int mpegFrameBytes(std::uint32_t header);

struct FrameSlots {
    // The time slot (in frames from the start of the music) of each found frame, strictly
    // increasing; slot[i] - i frames of silence come before frame i.
    std::vector<std::uint64_t> slot;
    // Frames whose audio is used; the slots of the others play as silence.
    std::vector<bool> trusted;
    // Slots in the whole stream: the last frame's slot + 1 (0 without frames).
    std::uint64_t slots = 0;
};

// offsets: where each found frame starts in the file, ascending; bytes: each frame's
// length from its header (0 when unknown, which makes the frame untrusted unless it is the
// only one); taggedFrames: the frame count the file's info tag gives, or -1.
FrameSlots placeFrames(const std::vector<std::int64_t>& offsets, const std::vector<int>& bytes,
    std::int64_t taggedFrames);

} // namespace audio
