// ".nwa" writing. Keys are printed with nine significant digits so that each number
// reads back as the same float; wheel angles grow to hundreds of radians over a cycle.
#include "models/NwaWriter.h"

#include <cstdio>

#include "geometry/MeshFiles.h"

namespace assetgen::models {

Tarvo::AniKey poseKey(const glm::vec3& position, const glm::vec3& degrees)
{
    // translate(-x, z, -y) puts the key's (x, y, z) at (-x, z, -y) in model space.
    Tarvo::AniKey key;
    key.position = glm::vec3(-position.x, -position.z, position.y);
    key.rotation = glm::vec3(glm::dvec3(degrees) / double(Tarvo::kAniDegreesPerRadian));
    return key;
}

bool formatNwa(const PartAnimation& animation, std::string& text, std::string& error)
{
    text.clear();
    if (animation.partNames.empty()) {
        error = "no parts";
        return false;
    }
    if (animation.spacing <= 0 || animation.length < animation.spacing) {
        error = "length and key spacing cannot animate";
        return false;
    }
    if (animation.keys.size() != static_cast<std::size_t>(animation.keyCount())) {
        error = "needs " + std::to_string(animation.keyCount()) + " keys, has "
                + std::to_string(animation.keys.size());
        return false;
    }
    for (std::size_t p = 0; p < animation.partNames.size(); ++p) {
        const std::string& name = animation.partNames[p];
        if (name.empty() || name.find_first_of(" \t\r\n") != std::string::npos) {
            error = "part name '" + name + "' is empty or holds white space";
            return false;
        }
        text += (p ? " " : "") + name;
    }
    text += "\n" + std::to_string(animation.length) + " " + std::to_string(animation.spacing)
            + "\n";
    char line[256];
    for (const std::vector<Tarvo::AniKey>& frame : animation.keys) {
        if (frame.size() != animation.partNames.size()) {
            error = "a key frame does not hold one key per part";
            text.clear();
            return false;
        }
        for (const Tarvo::AniKey& key : frame) {
            const glm::vec3& p = key.position;
            const glm::vec3& r = key.rotation;
            std::snprintf(line, sizeof line, "%.9g %.9g %.9g %.9g %.9g %.9g\n", p.x + 0.0f,
                          p.y + 0.0f, p.z + 0.0f, r.x + 0.0f, r.y + 0.0f, r.z + 0.0f);
            text += line;
        }
    }
    return true;
}

bool writeNwaFile(const std::string& path, const PartAnimation& animation)
{
    std::string text;
    std::string error;
    if (!formatNwa(animation, text, error)) {
        std::fprintf(stderr, "assetgen: %s not written: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return writeTextFile(path, text);
}

} // namespace assetgen::models
