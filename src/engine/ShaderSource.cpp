#include "engine/ShaderSource.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace Tarvo {

namespace {

// Deep enough for any sensible sharing, shallow enough to stop a runaway chain early.
constexpr int maxIncludeDepth = 8;

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
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    return (folder / name).lexically_normal().generic_string();
}

} // namespace

bool ShaderSource::read(const std::string& path)
{
    source.clear();
    paths.clear();
    issues.clear();
    including.clear();
    return append(path, 0);
}

int ShaderSource::fileNumber(const std::string& path)
{
    const auto known = std::find(paths.begin(), paths.end(), path);
    if (known != paths.end())
        return static_cast<int>(known - paths.begin());
    paths.push_back(path);
    return static_cast<int>(paths.size() - 1);
}

bool ShaderSource::append(const std::string& path, int depth)
{
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
        return false;
    const int number = fileNumber(path);
    including.push_back(std::filesystem::path(path).lexically_normal().generic_string());

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

        const std::string name = includedName(line);
        if (name.empty()) {
            source += line;
            continue;
        }
        // A dropped include line still counts, so the lines after it keep their numbers.
        const std::string where = path + ":" + std::to_string(lineNumber) + ": ";
        const std::string included = besideFile(path, name);
        if (std::find(including.begin(), including.end(), included) != including.end()) {
            issues.push_back(where + included + " includes itself");
            continue;
        }
        if (depth >= maxIncludeDepth) {
            issues.push_back(where + "includes nested deeper than " + std::to_string(maxIncludeDepth));
            continue;
        }
        // A file included again keeps the number it got the first time.
        const auto known = std::find(paths.begin(), paths.end(), included) - paths.begin();
        const std::size_t before = source.size();
        source += "#line 1 " + std::to_string(known) + "\n";
        if (!append(included, depth + 1)) {
            source.resize(before);
            issues.push_back(where + "cannot open " + included);
            continue;
        }
        source += "\n#line " + std::to_string(lineNumber + 1) + " " + std::to_string(number);
    }
    including.pop_back();
    return true;
}

} // namespace Tarvo
