// A private folder for the files a test writes: fresh and empty when made, named after the
// running test so a folder left by a crash says where it came from, and removed with all
// it holds when the object goes. ctest runs cases in parallel processes, so no two
// objects ever share a folder.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class ScratchDir {
public:
    // Throws when no folder can be made, rather than let a test write somewhere shared.
    ScratchDir();
    ~ScratchDir();

    const std::filesystem::path& path() const { return root; }
    // The full path of a file under the folder; nothing is written.
    std::string file(const std::filesystem::path& name) const;
    // Writes the bytes to a file under the folder, making its sub-folders, and returns
    // the file's full path.
    std::string write(const std::filesystem::path& name, std::string_view contents) const;
    std::string write(const std::filesystem::path& name, std::span<const unsigned char> bytes) const;

    // The names of what a folder under this one (or this one) holds, sorted: for checking
    // that a writer left exactly the files it should and no temporaries.
    std::vector<std::string> list(const std::filesystem::path& folder = {}) const;

    // One owner removes the folder.
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

private:
    std::filesystem::path root;
};

} // namespace testsupport
