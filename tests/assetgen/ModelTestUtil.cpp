// Mesh measurements for the model tests.
#include "ModelTestUtil.h"

#include <map>
#include <sstream>
#include <utility>

namespace modeltest {

std::vector<Corner> corners(const Tarvo::ObjMesh& mesh)
{
    std::vector<Corner> result;
    const auto& c = mesh.corners;
    for (std::size_t i = 0; i + 2 < c.size(); i += 3)
        result.push_back({mesh.positions.at(static_cast<std::size_t>(c[i] - 1)),
                          mesh.texCoords.at(static_cast<std::size_t>(c[i + 1] - 1)),
                          mesh.normals.at(static_cast<std::size_t>(c[i + 2] - 1))});
    return result;
}

double signedVolume(const Tarvo::ObjMesh& mesh)
{
    const std::vector<Corner> all = corners(mesh);
    double volume = 0.0;
    for (std::size_t i = 0; i + 2 < all.size(); i += 3) {
        const glm::dvec3 a(all[i].position), b(all[i + 1].position), c(all[i + 2].position);
        volume += glm::dot(a, glm::cross(b, c)) / 6.0;
    }
    return volume;
}

bool isClosed(const Tarvo::ObjMesh& mesh)
{
    std::map<std::pair<int, int>, int> edges;
    const auto& c = mesh.corners;
    for (std::size_t i = 0; i + 8 < c.size(); i += 9) {
        const int p[3] = {c[i], c[i + 3], c[i + 6]};
        for (int k = 0; k < 3; ++k)
            ++edges[{p[k], p[(k + 1) % 3]}];
    }
    for (const auto& [edge, count] : edges) {
        const auto back = edges.find({edge.second, edge.first});
        if (count != 1 || back == edges.end() || back->second != 1)
            return false;
    }
    return !edges.empty();
}

std::size_t windingAgainstNormals(const Tarvo::ObjMesh& mesh)
{
    const std::vector<Corner> all = corners(mesh);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i + 2 < all.size(); i += 3) {
        const glm::vec3 g = glm::cross(all[i + 1].position - all[i].position,
                                       all[i + 2].position - all[i].position);
        if (glm::dot(g, all[i].normal + all[i + 1].normal + all[i + 2].normal) <= 0.0f)
            ++wrong;
    }
    return wrong;
}

Bounds bounds(const std::vector<glm::vec3>& positions)
{
    Bounds b;
    for (const glm::vec3& p : positions) {
        b.min = glm::min(b.min, p);
        b.max = glm::max(b.max, p);
    }
    return b;
}

Bounds bounds(const Tarvo::ObjMesh& mesh)
{
    return bounds(std::vector<glm::vec3>(mesh.positions.begin(), mesh.positions.end()));
}

testing::AssertionResult readBackAnimation(const assetgen::models::PartAnimation& animation,
    Tarvo::NwaFile& nwa, std::vector<Tarvo::AniPart>& parts)
{
    std::string text, error;
    if (!assetgen::models::formatNwa(animation, text, error))
        return testing::AssertionFailure() << "cannot format the animation: " << error;
    std::istringstream in(text);
    if (!Tarvo::parseNwa(in, nwa, error))
        return testing::AssertionFailure() << "cannot parse its text: " << error;
    for (std::size_t p = 0; p < nwa.partNames.size(); ++p) {
        Tarvo::AniPart part;
        part.length = nwa.length;
        part.spacing = nwa.spacing;
        part.keys = nwa.partKeys(p);
        parts.push_back(part);
    }
    return testing::AssertionSuccess();
}

} // namespace modeltest
