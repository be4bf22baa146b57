#include "studio/CommandQueue.h"

#include <istream>
#include <ostream>
#include <thread>
#include <utility>

namespace studio {

void CommandQueue::push(std::string line)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> lock(mutex);
    lines.push_back(QueuedLine{std::move(line), now});
}

std::vector<QueuedLine> CommandQueue::takeAll()
{
    std::vector<QueuedLine> taken;
    std::lock_guard<std::mutex> lock(mutex);
    taken.swap(lines);
    return taken;
}

void CommandQueue::close()
{
    std::lock_guard<std::mutex> lock(mutex);
    ended = true;
}

bool CommandQueue::closed() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return ended;
}

void readLinesInBackground(std::istream& in, std::shared_ptr<CommandQueue> queue)
{
    // A tied stream (standard input is tied to standard output) flushes its partner before
    // each read; from this thread that would touch the frame loop's output.
    in.tie(nullptr);
    std::thread([&in, queue = std::move(queue)] {
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            queue->push(std::move(line));
        }
        queue->close();
    }).detach();
}

} // namespace studio
