#include "runtime/DataFolder.h"

#include <algorithm>
#include <ostream>
#include <system_error>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace Tarvo {

namespace {

fs::path executablePath()
{
#if defined(_WIN32)
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return fs::path(name);
        }
        name.resize(name.size() * 2);
    }
#else
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self;
#endif
}

fs::path normal(const fs::path& folder)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(folder, error);
    return (error ? folder : canonical).lexically_normal();
}

} // namespace

std::vector<fs::path> dataHomeCandidates(const fs::path& working, const fs::path& programFolder)
{
    std::vector<fs::path> candidates { normal(working) };
    if (!programFolder.empty()) {
        for (const fs::path& folder : { programFolder, programFolder / ".." }) {
            const fs::path candidate = normal(folder);
            if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
                candidates.push_back(candidate);
        }
    }
    return candidates;
}

std::optional<fs::path> findDataHome(const std::vector<fs::path>& candidates)
{
    for (const fs::path& folder : candidates) {
        std::error_code error;
        if (fs::is_directory(folder / "data", error))
            return folder;
    }
    return std::nullopt;
}

fs::path programFolder(const char* argv0)
{
    fs::path program = executablePath();
    if (program.empty() && argv0 && *argv0) {
        const fs::path given(argv0);
        // A bare name came through the search path, which says nothing of its folder.
        if (given.has_parent_path()) {
            std::error_code error;
            program = fs::absolute(given, error);
        }
    }
    return program.empty() ? fs::path() : program.parent_path();
}

bool enterDataFolder(const char* argv0, std::ostream& log)
{
    std::error_code error;
    const fs::path working = fs::current_path(error);
    const std::vector<fs::path> candidates = dataHomeCandidates(working, programFolder(argv0));
    const std::optional<fs::path> home = findDataHome(candidates);
    if (!home) {
        log << "No data folder: looked for data in";
        for (size_t i = 0; i < candidates.size(); ++i)
            log << (i == 0 ? " " : i + 1 == candidates.size() ? " and " : ", ") << candidates[i].string();
        log << std::endl;
        return false;
    }
    if (*home != candidates.front()) {
        fs::current_path(*home, error);
        if (error) {
            log << "Cannot work in " << home->string() << ": " << error.message() << std::endl;
            return false;
        }
    }
    log << "Data folder: " << (*home / "data").string() << std::endl;
    return true;
}

std::string anchoredTo(const fs::path& folder, const std::string& path)
{
    if (path.empty() || path == "-" || fs::path(path).is_absolute())
        return path;
    return (folder / path).string();
}

} // namespace Tarvo
