#include "engine/GlslEs.h"

#include <cstddef>
#include <regex>
#include <vector>

namespace Tarvo {

namespace {

// highp everywhere: the fragment shaders do lighting and depth maths that mediump would band,
// and WebGL 2 implementations support highp in fragment shaders. Samplers other than 2D and
// cube maps have no default precision at all in ES and would fail to compile without one.
constexpr const char* defaultPrecisions =
    "precision highp float; precision highp int; precision highp sampler2D; "
    "precision highp sampler3D; precision highp samplerCube; precision highp sampler2DArray; "
    "precision highp sampler2DShadow;";

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 1;
    }
}

// The directive a line holds ("version", "extension", ...), or "" for any other line.
std::string directiveOf(const std::string& line)
{
    std::size_t at = line.find_first_not_of(" \t\r");
    if (at == std::string::npos || line[at] != '#')
        return {};
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos)
        return {};
    std::size_t end = at;
    while (end < line.size() && ((line[end] >= 'a' && line[end] <= 'z') || line[end] == '_'))
        ++end;
    return line.substr(at, end - at);
}

bool blank(const std::string& line)
{
    const std::size_t at = line.find_first_not_of(" \t\r");
    return at == std::string::npos || line.compare(at, 2, "//") == 0;
}

bool alreadyEs(const std::string& versionLine)
{
    const std::size_t es = versionLine.find(" es");
    return es != std::string::npos && versionLine.find("300") != std::string::npos;
}

} // namespace

std::string toGlslEs(const std::string& source)
{
    std::vector<std::string> lines = splitLines(source);
    // The version line may only follow blank lines and comments; anything else means the
    // source has none, and the ES one goes in front of it.
    std::size_t version = 0;
    while (version < lines.size() && blank(lines[version]) && directiveOf(lines[version]).empty())
        ++version;
    const bool hasVersion = version < lines.size() && directiveOf(lines[version]) == "version";
    if (hasVersion && alreadyEs(lines[version]))
        return source;

    // Precisions are declarations, and "#extension" lines must come before any of those.
    std::size_t header = hasVersion ? version + 1 : 0;
    while (header < lines.size() && (directiveOf(lines[header]) == "extension" || blank(lines[header])))
        ++header;

    std::string out;
    const std::size_t firstKept = hasVersion ? version : 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == header) {
            if (!hasVersion)
                out += "#version 300 es\n";
            out += defaultPrecisions;
            // The next line keeps its own number (lines count from 1).
            out += "\n#line " + std::to_string(header + 1) + "\n";
        }
        if (hasVersion && i == firstKept)
            out += "#version 300 es";
        else
            out += lines[i];
        if (i + 1 < lines.size())
            out += '\n';
    }
    if (header >= lines.size()) {
        if (!hasVersion)
            out = "#version 300 es\n" + out;
        out += std::string("\n") + defaultPrecisions;
    }
    return out;
}

unsigned fragmentOutputMask(const std::string& source)
{
    // layout(... location = N ...) out TYPE NAME[ [SIZE] ];
    const std::regex declaration(
        R"(^[ \t]*(?:layout[ \t]*\(([^)]*)\)[ \t]*)?(?:(?:flat|smooth|highp|mediump|lowp)[ \t]+)*out[ \t]+(?:(?:highp|mediump|lowp)[ \t]+)?\w+[ \t]+\w+[ \t]*(?:\[[ \t]*(\d{1,2})[ \t]*\])?[ \t]*;)");
    const std::regex location(R"(location[ \t]*=[ \t]*(\d{1,2}))");
    unsigned mask = 0;
    for (const std::string& line : splitLines(source)) {
        std::smatch found;
        if (line.find("out") == std::string::npos || !std::regex_search(line, found, declaration))
            continue;
        unsigned first = 0;
        std::smatch at;
        const std::string layout = found[1].str();
        if (std::regex_search(layout, at, location))
            first = static_cast<unsigned>(std::stoul(at[1].str()));
        const unsigned size = found[2].matched ? static_cast<unsigned>(std::stoul(found[2].str())) : 1u;
        for (unsigned i = first; i < first + size && i < 32; ++i)
            mask |= 1u << i;
    }
    return mask;
}

std::string shaderSourceForThisGl(const std::string& source)
{
#ifdef __EMSCRIPTEN__
    return toGlslEs(source);
#else
    return source;
#endif
}

} // namespace Tarvo
