// The row clock's interface: whatever keeps the show's time can be paused, resumed,
// moved to a row and asked whether it runs.
#pragma once

namespace synctime {

class Timer {
public:
    virtual void pause() = 0;
    virtual void play() = 0;
    virtual void setRow(float row) = 0;
    virtual bool isPlaying() = 0;

protected:
    ~Timer() = default;
};

} // namespace synctime
