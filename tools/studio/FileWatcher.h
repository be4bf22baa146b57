// Tells which of a set of files were saved since it was last asked, cheaply enough to ask
// every frame. On Linux the kernel says so (inotify on the files' folders, so a save that
// renames a new file over the old one counts as well as one that rewrites it): asking is one
// system call that returns at once. Elsewhere, and for a file whose folder cannot be
// watched, modification times and sizes are compared, a few times a second at most. All
// platform code of the studio is in this class's source file.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace studio {

class FileWatcher {
public:
    enum class Method { Notify, Poll };

    // Notify where the platform has it (Poll otherwise); pollInterval paces the polling of
    // files that are not notified.
    explicit FileWatcher(Method preferred = Method::Notify,
        std::chrono::milliseconds pollInterval = std::chrono::milliseconds(250));
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // Watches these files, in place of those watched before. Names are reported as given;
    // two names of one file (./data/a.fs, data/a.fs) are both reported when it changes. A
    // file that does not exist yet is reported when it is created.
    void watch(const std::vector<std::string>& files);
    // The files saved since the last call, each once, in the order first given.
    std::vector<std::string> changed();
    // changed(), plus every file whose modification time or size differs from when it was
    // last seen, whether or not anything said so: a check for saves the kernel missed.
    std::vector<std::string> rescan();

    // Notify when at least one folder is watched by the kernel.
    Method method() const;

private:
    struct Entry {
        std::vector<std::string> names; // as given to watch()
        std::filesystem::file_time_type time{};
        std::uintmax_t size = 0;
        bool exists = false;
        bool notified = false; // its folder is watched by the kernel
        bool dirty = false;    // changed since last reported
    };
    struct Platform;

    // Stats the file; true when it differs from what was last seen.
    static bool refresh(Entry& entry, const std::string& path);
    void pollFiles(bool all);
    std::vector<std::string> report();

    std::map<std::string, Entry> entries; // by normalised path
    std::vector<std::string> order;       // normalised paths in the order first given
    std::chrono::milliseconds interval;
    std::chrono::steady_clock::time_point lastPoll{};
    bool pending = false; // some entry is dirty: the common frame, with none, ends early
    std::unique_ptr<Platform> platform;
};

} // namespace studio
