// Turns the music stream's playing position into a fractional row at a fixed number of
// rows per second; the music is the master clock of the show.
#pragma once

#include "audio/BassAudio.h"
#include "audio/Timer.h"

class BassTimer final : public synctime::Timer {
public:
    BassTimer(HSTREAM stream, float bpm, int rowsPerBeat);

    void pause() override;
    void play() override;
    void setRow(float row) override;
    bool isPlaying() override;

    float getSeconds();
    float getRow();
    double getRowRate() const { return rowRate; }

private:
    HSTREAM stream;
    double rowRate;
};
