// Assembles one GLSL source from a shader file and the files it includes. A line of the
// form
//     #include "name"
// is replaced by that file's text, the name taken relative to the including file's folder,
// so shaders share their inputs, outputs and common functions instead of copying them.
// Each file is a source string number of its own (the main file is 0, includes count up
// in the order first met), and "#line" directives keep the compiler's line numbers those
// of the file the line came from: "2:14(3): error" is line 14 of files()[2].
#pragma once

#include <string>
#include <vector>

namespace Tarvo {

class ShaderSource {
public:
    // Reads path and what it includes. False when path itself cannot be opened; a missing,
    // circular or too deeply nested include is reported in problems() and left out.
    bool read(const std::string& path);

    const std::string& text() const { return source; }
    // Every file the source was assembled from, main file first: what a change of which
    // makes the program out of date.
    const std::vector<std::string>& files() const { return paths; }
    const std::vector<std::string>& problems() const { return issues; }

private:
    bool append(const std::string& path, int depth);
    int fileNumber(const std::string& path);

    std::string source;
    std::vector<std::string> paths;
    std::vector<std::string> issues;
    std::vector<std::string> including; // the chain of files being read, outermost first
};

} // namespace Tarvo
