// Assembles one GLSL source from a shader file and the files it includes. A line of the
// form
//     #include "name"
// is replaced by that file's text, the name taken relative to the including file's folder,
// so shaders share their inputs, outputs and common functions instead of copying them.
// Each file is a source string number of its own (the main file is 0, includes count up
// in the order first met), and "#line" directives keep the compiler's line numbers those
// of the file the line came from: "2:14(3): error" is line 14 of files()[2].
//
// Includes are bounded, so a few hostile lines cannot stall start-up or exhaust memory:
// only regular files (no FIFO, no device) inside the data folder the main file is in (its
// nearest enclosing folder named "data", else its own folder; links are followed before
// judging), at most maxIncludes of them and at most maxSourceBytes of assembled text.
// Each refusal names the including file and line.
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace Tarvo {

class ShaderSource {
public:
    // Far above what any shader of the show needs (a handful of includes, tens of KB).
    static constexpr std::size_t maxSourceBytes = 1u << 20;
    static constexpr int maxIncludes = 256;

    // Reads path and what it includes. False when path itself cannot be opened (or is not
    // a regular file); a refused include is reported in problems() and left out.
    bool read(const std::string& path);

    const std::string& text() const { return source; }
    // Every file the source was assembled from, main file first: what a change of which
    // makes the program out of date.
    const std::vector<std::string>& files() const { return paths; }
    const std::vector<std::string>& problems() const { return issues; }

private:
    void append(const std::string& path, std::ifstream& file, int depth);
    // Why an include line naming included may not be followed, or empty.
    std::string refusal(const std::string& included, int depth) const;
    int fileNumber(const std::string& path);
    void report(const std::string& problem);

    std::string source;
    std::vector<std::string> paths;
    std::vector<std::string> issues;
    std::vector<std::string> including; // the chain of files being read, outermost first
    std::filesystem::path dataFolder;   // resolved; includes must resolve inside it
    int includesFollowed = 0;
    int unreported = 0; // problems past the ones worth listing one by one
};

} // namespace Tarvo
