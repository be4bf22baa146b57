// The music stream as the transport's clock: the row timer's row, moves and play state.
#pragma once

#include "audio/BassTimer.h"
#include "studio/Transport.h"

namespace studio {

class BassMusicClock final : public MusicClock {
public:
    explicit BassMusicClock(BassTimer& timer) : timer(timer) {}

    double row() override { return timer.getRow(); }
    // Sample-exact: the stream's position moves to the sample nearest the row, and what
    // plays next starts there.
    void seek(double row) override { timer.setRow(static_cast<float>(row)); }
    void play() override { timer.play(); }
    void pause() override { timer.pause(); }

private:
    BassTimer& timer;
};

} // namespace studio
