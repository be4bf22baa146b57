// A small blocking queue between the render thread and the frame encoders. Its bound keeps
// memory flat: when the encoders fall behind, the render thread waits instead of piling
// up full-size frames.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace capture {

template <typename T>
class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity) : capacity(capacity > 0 ? capacity : 1) {}

    // Waits for room. False (and the item dropped) once the queue is closed.
    bool push(T item)
    {
        std::unique_lock<std::mutex> lock(mutex);
        notFull.wait(lock, [&] { return closed || items.size() < capacity; });
        if (closed)
            return false;
        items.push_back(std::move(item));
        notEmpty.notify_one();
        return true;
    }

    // Waits for an item; empty once the queue is closed and drained.
    std::optional<T> pop()
    {
        std::unique_lock<std::mutex> lock(mutex);
        notEmpty.wait(lock, [&] { return closed || !items.empty(); });
        if (items.empty())
            return std::nullopt;
        T item = std::move(items.front());
        items.pop_front();
        notFull.notify_one();
        return item;
    }

    // No more pushes; items already queued are still handed out.
    void close()
    {
        std::lock_guard<std::mutex> lock(mutex);
        closed = true;
        notEmpty.notify_all();
        notFull.notify_all();
    }

private:
    const std::size_t capacity;
    std::mutex mutex;
    std::condition_variable notEmpty;
    std::condition_variable notFull;
    std::deque<T> items;
    bool closed = false;
};

} // namespace capture
