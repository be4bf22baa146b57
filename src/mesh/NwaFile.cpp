// ".nwa" parsing. The key numbers are read exactly as stream extraction of a float reads
// them, but from the file's bytes in memory, which is many times faster than going
// through the stream a number at a time. The count a file claims (A / B + 1 keys per
// part) is never allocated up front, so a huge A costs nothing beyond the numbers present.
#include "mesh/NwaFile.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>

namespace Tarvo {

namespace {

bool isStreamSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

bool extractStreamFloat(const char*& p, const char* end, float& value)
{
    while (p < end && isStreamSpace(*p))
        ++p;
    if (p == end)
        return false;
    // The characters the stream would collect: a sign, digits with at most one point,
    // and an exponent once a digit has been seen.
    thread_local std::string collected;
    collected.clear();
    if (*p == '+' || *p == '-')
        collected += *p++;
    bool mantissa = false;
    bool point = false;
    bool exponent = false;
    while (p < end) {
        const char c = *p;
        if (isDigit(c)) {
            collected += c;
            mantissa = true;
        } else if (c == '.' && !point && !exponent) {
            collected += '.';
            point = true;
        } else if ((c == 'e' || c == 'E') && !exponent && mantissa) {
            collected += 'e';
            exponent = true;
            if (++p == end)
                break;
            if (*p == '+' || *p == '-')
                collected += *p;
            else
                continue;
        } else {
            break;
        }
        ++p;
    }
    // What the stream then does with them: the whole text must be one number, and one too
    // large for a float is a failure.
    char* stop = nullptr;
    const float parsed = std::strtof(collected.c_str(), &stop);
    if (stop == collected.c_str() || *stop != '\0' || std::isinf(parsed))
        return false;
    value = parsed;
    return true;
}

std::vector<AniKey> NwaFile::partKeys(std::size_t part) const
{
    std::vector<AniKey> result;
    const std::size_t parts = partNames.size();
    if (parts == 0 || part >= parts)
        return result;
    const std::size_t available = keys.size() / parts + 1;
    const std::int64_t wanted = spacing > 0 ? keysPerPart() : 0;
    result.reserve(std::min<std::size_t>(available, static_cast<std::size_t>(wanted)));
    for (std::size_t j = part; j < keys.size(); j += parts)
        result.push_back(keys[j]);
    return result;
}

bool parseNwa(std::istream& in, NwaFile& nwa, std::string& error)
{
    std::string line;
    std::getline(in, line);
    {
        std::istringstream names(line);
        std::string name;
        while (names >> name)
            nwa.partNames.push_back(name);
    }
    if (nwa.partNames.empty()) {
        error = "line 1 names no part meshes";
        return false;
    }

    if (!std::getline(in, line)) {
        error = "line 2 with the length and key spacing is missing";
        return false;
    }
    std::istringstream numbers(line);
    if (!(numbers >> nwa.length >> nwa.spacing)) {
        error = "line 2 does not hold the length and key spacing as two integers";
        return false;
    }
    if (nwa.spacing <= 0 || nwa.length < 0 || nwa.length < nwa.spacing) {
        error = "length " + std::to_string(nwa.length) + " and key spacing "
                + std::to_string(nwa.spacing)
                + " cannot animate (the spacing must be positive and at most the length)";
        return false;
    }

    const std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const char* p = rest.data();
    const char* const end = p + rest.size();
    const std::uint64_t wanted = static_cast<std::uint64_t>(nwa.keysPerPart())
                                 * nwa.partNames.size();
    for (std::uint64_t j = 0; j < wanted; ++j) {
        float v[6] = {0, 0, 0, 0, 0, 0};
        int got = 0;
        for (float number; got < 6 && extractStreamFloat(p, end, number); ++got)
            v[got] = number;
        if (got == 0)
            break;
        nwa.keys.push_back(AniKey{glm::vec3(v[0], v[1], v[2]), glm::vec3(v[3], v[4], v[5])});
        if (got < 6)
            break;
    }
    return true;
}

std::string resolvePartPath(const std::string& nwaPath, const std::string& name)
{
    const std::filesystem::path joined(nwaPath + "/../" + name);
    return joined.lexically_normal().generic_string();
}

} // namespace Tarvo
