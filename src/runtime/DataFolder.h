// Finding the show's data. Every data path is relative to the working folder
// ("./data/..."), as the show was designed; a program started from elsewhere (a shortcut
// without a start folder, ../build/vantor) finds data/ beside itself, or one folder up as
// in a build tree, and makes the folder holding it the working folder.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace Tarvo {

// The folders that may hold data/, in the order they are tried: the working folder, the
// program's folder and the one above it (duplicates dropped).
std::vector<std::filesystem::path> dataHomeCandidates(const std::filesystem::path& working,
    const std::filesystem::path& programFolder);

// The first candidate with a data/ folder in it.
std::optional<std::filesystem::path> findDataHome(const std::vector<std::filesystem::path>& candidates);

// The folder of the running program: from the system where it can tell, else from argv0
// (empty when neither says).
std::filesystem::path programFolder(const char* argv0);

// Finds data/ and makes its folder the working folder; says on log which data folder is
// used ("Data folder: PATH"), or where it looked when there is none, and then returns false.
bool enterDataFolder(const char* argv0, std::ostream& log);

// A path given relative to folder (the working folder a program was started in), made to
// survive a change of working folder; empty, "-" and absolute paths are kept as they are.
std::string anchoredTo(const std::filesystem::path& folder, const std::string& path);

} // namespace Tarvo
