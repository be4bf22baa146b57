// Lines of commands read on a thread of their own (standard input) and taken by the frame
// loop once a frame. The queue is all the two threads share: the reader never touches the
// show, and the frame loop never waits on input.
#pragma once

#include <chrono>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace studio {

struct QueuedLine {
    std::string text;
    std::chrono::steady_clock::time_point received;
};

class CommandQueue {
public:
    void push(std::string line);
    // Every line pushed since the last call, oldest first.
    std::vector<QueuedLine> takeAll();
    // The input has ended: nothing more will be pushed.
    void close();
    bool closed() const;

private:
    mutable std::mutex mutex;
    // Guarded by mutex.
    std::vector<QueuedLine> lines;
    bool ended = false;
};

// Reads lines from in until it ends, each into queue, on a detached thread. Detached
// because a read blocked on a terminal cannot be interrupted portably: the thread lives
// until the input ends or the process exits, and shares the queue's ownership so the
// queue outlives it either way.
void readLinesInBackground(std::istream& in, std::shared_ptr<CommandQueue> queue);

} // namespace studio
