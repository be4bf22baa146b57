// Triangles that could not be expanded while reading: checked and filled in at the end,
// in file order, so the first bad index reported is the first in the file.
#include "mesh/CornerExpander.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace Tarvo {

void CornerExpander::defer(const std::int32_t* indices)
{
    Deferred entry;
    entry.corner = output.appended();
    entry.triangle = triangles;
    std::memcpy(entry.indices, indices, 9 * sizeof(std::int32_t));
    deferred.push_back(entry);
    for (int k = 0; k < 3; ++k)
        output.append(glm::vec3(0.0f), glm::vec2(0.0f), glm::vec3(0.0f));
}

bool CornerExpander::finish(const char* name)
{
    std::string reason;
    for (const Deferred& entry : deferred) {
        const std::int32_t* c = entry.indices;
        if (!checkObjTriangle(pools, c, entry.triangle, reason)) {
            std::printf("Bad index in %s: %s\n", name, reason.c_str());
            return false;
        }
        for (int k = 0; k < 3; ++k)
            output.set(entry.corner + k, pools.positions[c[3 * k] - 1],
                       pools.texCoords[c[3 * k + 1] - 1], pools.normals[c[3 * k + 2] - 1]);
    }
    return true;
}

} // namespace Tarvo
