// ".nwa" parsing. The key numbers are read with stream extraction, as they always were;
// the count a file claims (A / B + 1 keys per part) is never allocated up front, so a
// huge A costs nothing beyond the numbers actually present.
#include "mesh/NwaFile.h"

#include <filesystem>
#include <sstream>

namespace Tarvo {

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

    const std::uint64_t wanted = static_cast<std::uint64_t>(nwa.keysPerPart())
                                 * nwa.partNames.size();
    for (std::uint64_t j = 0; j < wanted; ++j) {
        float v[6] = {0, 0, 0, 0, 0, 0};
        int got = 0;
        for (float number; got < 6 && in >> number; ++got)
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
