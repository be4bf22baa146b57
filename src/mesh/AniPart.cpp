// Key evaluation for rigid animation parts. All arithmetic on the time value is done in
// double and reduced to a key number only once it is known to be inside the cycle, so
// no time value can index outside the keys or divide by zero.
#include "mesh/AniPart.h"

#include <cmath>

#include "engine/Transform.h"

namespace Tarvo {

std::int64_t AniPart::cycleKeys() const
{
    if (spacing <= 0 || length < spacing)
        return 0;
    return length / spacing;
}

AniKey AniPart::keyAt(std::int64_t index) const
{
    if (index >= 0 && static_cast<std::uint64_t>(index) < keys.size())
        return keys[static_cast<std::size_t>(index)];
    return AniKey{};
}

AniKey AniPart::evaluate(double time) const
{
    const std::int64_t cycle = cycleKeys();
    if (cycle == 0 || !std::isfinite(time))
        return keyAt(0);

    // For time >= 0 this is the truncation toward zero that the keys were made with;
    // flooring keeps times before 0 inside [key k, key k + 1) as well.
    const double spacingD = spacing;
    const double n = std::floor(time / spacingD);
    const float f = static_cast<float>((time - n * spacingD) / spacingD);
    const float g = 1.0f - f;
    double wrapped = std::fmod(n, static_cast<double>(cycle));
    if (wrapped < 0.0)
        wrapped += static_cast<double>(cycle);
    std::int64_t k = static_cast<std::int64_t>(wrapped);
    if (k < 0 || k >= cycle)
        k = 0;
    const std::int64_t k1 = (k + 1) % cycle;

    const AniKey a = keyAt(k);
    const AniKey b = keyAt(k1);
    AniKey result;
    result.position = g * a.position + f * b.position;
    result.rotation = g * a.rotation + f * b.rotation;
    return result;
}

glm::mat4 partPostMatrix(const AniKey& key)
{
    const glm::vec3 degrees = key.rotation * kAniDegreesPerRadian;
    const glm::mat4 identity(1.0f);
    const glm::vec3 offset(-key.position.x, key.position.z, -key.position.y);
    return translate(identity, offset) * rotate(identity, degrees.x, glm::vec3(1, 0, 0))
           * rotate(identity, degrees.y, glm::vec3(0, 1, 0))
           * rotate(identity, degrees.z, glm::vec3(0, 0, 1));
}

} // namespace Tarvo
