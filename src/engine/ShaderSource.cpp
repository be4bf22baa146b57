#include "engine/ShaderSource.h"

#include <algorithm>
#include <fstream>

namespace Tarvo {

namespace fs = std::filesystem;

namespace {

// Deep enough for any sensible sharing, shallow enough to stop a runaway chain early.
constexpr int maxIncludeDepth = 8;
// Problems listed one by one; a file of thousands of refused lines ends in a count.
constexpr std::size_t maxListedProblems = 32;

// The name of an include line, or an empty string for any other line.
std::string includedName(const std::string& line)
{
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 8, "#include") != 0)
        return {};
    const auto open = line.find('"', start + 8);
    const auto close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos || close == open + 1)
        return {};
    if (line.find_first_not_of(" \t", close + 1) != std::string::npos)
        return {};
    return line.substr(open + 1, close - open - 1);
}

std::string besideFile(const std::string& file, const std::string& name)
{
    const fs::path folder = fs::path(file).parent_path();
    return (folder / name).lexically_normal().generic_string();
}

// The folder includes must stay in: the nearest enclosing folder called "data" (shaders in
// data/shaders/ share data/shaders/common/, files in data/ include from data/shaders/),
// else the main file's own folder.
fs::path dataFolderOf(const std::string& mainPath)
{
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(fs::absolute(mainPath, error), error).parent_path();
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        if (at.filename() == "data")
            return at;
        if (at == at.parent_path())
            break;
    }
    return folder;
}

bool isInside(const fs::path& file, const fs::path& folder)
{
    const auto mismatch = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
    return mismatch.first == folder.end();
}

// A regular file that opens; anything else (a FIFO that would block, a device that never
// ends) is refused before it is opened.
bool openRegular(const std::string& path, std::ifstream& file)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    file.open(path, std::ios::binary);
    return file.is_open();
}

} // namespace

bool ShaderSource::read(const std::string& path)
{
    source.clear();
    paths.clear();
    issues.clear();
    including.clear();
    includesFollowed = 0;
    unreported = 0;
    dataFolder = dataFolderOf(path);

    std::ifstream file;
    if (!openRegular(path, file))
        return false;
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (!error && size > maxSourceBytes) {
        paths.push_back(path);
        issues.push_back(path + ": " + std::to_string(size) + " bytes, over the limit of "
            + std::to_string(maxSourceBytes) + " for a shader source");
        return true;
    }
    append(path, file, 0);
    if (unreported > 0)
        issues.push_back("... and " + std::to_string(unreported) + " more include problems");
    return true;
}

int ShaderSource::fileNumber(const std::string& path)
{
    const auto known = std::find(paths.begin(), paths.end(), path);
    if (known != paths.end())
        return static_cast<int>(known - paths.begin());
    paths.push_back(path);
    return static_cast<int>(paths.size() - 1);
}

void ShaderSource::report(const std::string& problem)
{
    if (issues.size() < maxListedProblems)
        issues.push_back(problem);
    else
        ++unreported;
}

std::string ShaderSource::refusal(const std::string& included, int depth) const
{
    if (std::find(including.begin(), including.end(), included) != including.end())
        return included + " includes itself";
    if (depth >= maxIncludeDepth)
        return "includes nested deeper than " + std::to_string(maxIncludeDepth);
    if (includesFollowed >= maxIncludes)
        return "more than " + std::to_string(maxIncludes) + " includes, " + included + " left out";
    std::error_code error;
    const fs::file_status status = fs::status(included, error);
    if (!fs::exists(status))
        return "cannot open " + included;
    if (!fs::is_regular_file(status))
        return "cannot include " + included + ": not a regular file";
    const fs::path resolved = fs::canonical(included, error);
    if (error || !isInside(resolved, dataFolder))
        return "cannot include " + included + ": outside the data folder " + dataFolder.generic_string();
    const auto size = fs::file_size(included, error);
    if (error || source.size() + size > maxSourceBytes)
        return "cannot include " + included + ": the source would grow past " + std::to_string(maxSourceBytes)
            + " bytes";
    return {};
}

void ShaderSource::append(const std::string& path, std::ifstream& file, int depth)
{
    const int number = fileNumber(path);
    including.push_back(fs::path(path).lexically_normal().generic_string());

    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        // Lines are joined, not terminated, so a file's first line is its line 1 and a
        // file without a final line break reads the same as one with it.
        if (++lineNumber > 1)
            source += '\n';
        // Files written on Windows keep their carriage returns on this platform.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = path + ":" + std::to_string(lineNumber) + ": ";

        const std::string name = includedName(line);
        if (name.empty()) {
            if (source.size() + line.size() > maxSourceBytes) {
                report(where + "the source grows past " + std::to_string(maxSourceBytes) + " bytes; the rest of "
                    + path + " is left out");
                break;
            }
            source += line;
            continue;
        }
        // A refused include line still counts, so the lines after it keep their numbers.
        const std::string included = besideFile(path, name);
        if (const std::string why = refusal(included, depth); !why.empty()) {
            report(where + why);
            continue;
        }
        std::ifstream inner;
        if (!openRegular(included, inner)) {
            report(where + "cannot open " + included);
            continue;
        }
        ++includesFollowed;
        // A file included again keeps the number it got the first time.
        const auto known = std::find(paths.begin(), paths.end(), included) - paths.begin();
        source += "#line 1 " + std::to_string(known) + "\n";
        append(included, inner, depth + 1);
        source += "\n#line " + std::to_string(lineNumber + 1) + " " + std::to_string(number);
    }
    including.pop_back();
}

} // namespace Tarvo
