// The file watcher: the kernel's notifications where there are any (Linux), modification
// times everywhere as the fallback and as the check behind `reload`.
#include "studio/FileWatcher.h"

#include <system_error>

#ifdef __linux__
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace studio {

namespace fs = std::filesystem;

namespace {

std::string normalise(const std::string& path)
{
    const std::string normal = fs::path(path).lexically_normal().generic_string();
    return normal.empty() ? "." : normal;
}

std::string folderOf(const std::string& normalPath)
{
    const std::string folder = fs::path(normalPath).parent_path().generic_string();
    return folder.empty() ? "." : folder;
}

} // namespace

#ifdef __linux__

// One inotify instance, non-blocking, watching the folders of the watched files: editors
// that save by writing a new file and renaming it over the old one end a watch on the old
// file, never one on its folder.
struct FileWatcher::Platform {
    Platform() : fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~Platform()
    {
        if (fd >= 0)
            close(fd);
    }

    bool watchFolder(const std::string& folder)
    {
        if (fd < 0)
            return false;
        if (watched.count(folder))
            return true;
        // Written and closed (saved in place), or renamed into the folder (saved whole).
        const int wd = inotify_add_watch(fd, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR);
        if (wd < 0)
            return false;
        watched[folder] = wd;
        folders[wd] = folder;
        return true;
    }

    // Calls saved(path) for every file saved since the last drain. False when events were
    // lost (the kernel's queue overflowed, or a watched folder went away): the caller must
    // then look at every file itself.
    template <typename Saved>
    bool drain(Saved saved)
    {
        if (fd < 0)
            return true;
        bool complete = true;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0)
                break; // EAGAIN: nothing more pending
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                if (event->mask & IN_Q_OVERFLOW) {
                    complete = false;
                    continue;
                }
                if (event->mask & IN_IGNORED) {
                    const auto folder = folders.find(event->wd);
                    if (folder != folders.end()) {
                        watched.erase(folder->second);
                        folders.erase(folder);
                    }
                    complete = false;
                    continue;
                }
                const auto folder = folders.find(event->wd);
                if (folder != folders.end() && event->len > 0)
                    saved(normalise(folder->second + "/" + event->name));
            }
        }
        return complete;
    }

    bool watching(const std::string& folder) const { return watched.count(folder) != 0; }

    int fd;
    std::map<std::string, int> watched; // folder -> watch descriptor
    std::map<int, std::string> folders;
};

#else

// No notifications: every file is polled.
struct FileWatcher::Platform {
    bool watchFolder(const std::string&) { return false; }
    template <typename Saved>
    bool drain(Saved)
    {
        return true;
    }
    bool watching(const std::string&) const { return false; }
};

#endif

FileWatcher::FileWatcher(Method preferred, std::chrono::milliseconds pollInterval)
    : interval(pollInterval)
{
    if (preferred == Method::Notify)
        platform = std::make_unique<Platform>();
}

FileWatcher::~FileWatcher() = default;

void FileWatcher::watch(const std::vector<std::string>& files)
{
    std::map<std::string, Entry> next;
    std::vector<std::string> nextOrder;
    for (const std::string& file : files) {
        const std::string path = normalise(file);
        auto found = next.find(path);
        if (found == next.end()) {
            // A file watched before keeps what was seen of it, so a save between two calls
            // of watch() is not lost.
            const auto old = entries.find(path);
            Entry entry = old != entries.end() ? old->second : Entry{};
            if (old == entries.end())
                refresh(entry, path);
            entry.names.clear();
            entry.notified = platform && platform->watchFolder(folderOf(path));
            found = next.emplace(path, std::move(entry)).first;
            nextOrder.push_back(path);
        }
        std::vector<std::string>& names = found->second.names;
        bool known = false;
        for (const std::string& name : names)
            known = known || name == file;
        if (!known)
            names.push_back(file);
    }
    entries = std::move(next);
    order = std::move(nextOrder);
}

bool FileWatcher::refresh(Entry& entry, const std::string& path)
{
    // One stat: the directory entry keeps the type, time and size it read.
    std::error_code error;
    const fs::directory_entry file(path, error);
    const bool exists = !error && file.is_regular_file(error);
    const fs::file_time_type time = exists ? file.last_write_time(error) : fs::file_time_type{};
    const std::uintmax_t size = exists ? file.file_size(error) : 0;
    const bool differs = exists != entry.exists || time != entry.time || size != entry.size;
    entry.exists = exists;
    entry.time = time;
    entry.size = size;
    return differs;
}

void FileWatcher::pollFiles(bool all)
{
    for (auto& [path, entry] : entries)
        if ((all || !entry.notified) && refresh(entry, path))
            entry.dirty = pending = true;
}

std::vector<std::string> FileWatcher::changed()
{
    const bool complete = !platform || platform->drain([this](const std::string& path) {
        const auto found = entries.find(path);
        if (found != entries.end())
            found->second.dirty = pending = true;
    });
    if (!complete) {
        // Events were lost: watch the folders again where they still exist, and look at
        // every file.
        for (auto& [path, entry] : entries)
            entry.notified = platform->watchFolder(folderOf(path));
        pollFiles(true);
        lastPoll = std::chrono::steady_clock::now();
    } else {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastPoll >= interval) {
            pollFiles(false);
            lastPoll = now;
        }
    }
    return report();
}

std::vector<std::string> FileWatcher::rescan()
{
    std::vector<std::string> saved = changed();
    pollFiles(true);
    for (const std::string& name : report())
        saved.push_back(name);
    return saved;
}

std::vector<std::string> FileWatcher::report()
{
    std::vector<std::string> names;
    if (!pending)
        return names;
    pending = false;
    for (const std::string& path : order) {
        Entry& entry = entries[path];
        if (!entry.dirty)
            continue;
        entry.dirty = false;
        refresh(entry, path);
        names.insert(names.end(), entry.names.begin(), entry.names.end());
    }
    return names;
}

FileWatcher::Method FileWatcher::method() const
{
    for (const auto& [path, entry] : entries)
        if (entry.notified)
            return Method::Notify;
    return Method::Poll;
}

} // namespace studio
