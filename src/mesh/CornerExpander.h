// Expands OBJ triangles into per-corner arrays as they are read. A triangle whose indices
// already point into the pools read so far is expanded at once, while its vertices are
// still in cache; any other one (an index to a vertex further on in the file, or one
// outside every pool) gets placeholder corners and is settled once the pools are whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mesh/MeshCorners.h"
#include "mesh/ObjReader.h"

namespace Tarvo {

class CornerExpander {
public:
    // The pools may still be growing; output receives the corners. Each triangle is
    // nine 1-based indices: position, texture coordinate, normal for each corner.
    CornerExpander(const ObjMesh& pools, MeshOutput& output) : pools(pools), output(output) {}

    void addTriangle(const std::int32_t* indices)
    {
        const std::size_t np = pools.positions.size();
        const std::size_t nt = pools.texCoords.size();
        const std::size_t nn = pools.normals.size();
        // All nine compared without a branch each: they almost always pass.
        unsigned inside = 1;
        for (int k = 0; k < 3; ++k)
            inside &= inPool(indices[3 * k], np) & inPool(indices[3 * k + 1], nt) & inPool(indices[3 * k + 2], nn);
        if (inside) {
            for (int k = 0; k < 3; ++k)
                output.append(pools.positions[indices[3 * k] - 1],
                              pools.texCoords[indices[3 * k + 1] - 1],
                              pools.normals[indices[3 * k + 2] - 1]);
        } else {
            defer(indices);
        }
        ++triangles;
    }

    // Settles the deferred triangles against the complete pools. On the first index
    // outside its pool, prints why (naming the file) and returns false.
    bool finish(const char* name);

private:
    struct Deferred {
        std::size_t corner;
        std::size_t triangle;
        std::int32_t indices[9];
    };

    // 1 when the 1-based index lies in a pool of this size, else 0: a number rather than
    // a bool, so that checks combine with & and no branch.
    static unsigned inPool(std::int32_t index, std::size_t size)
    {
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(index) - 1) < size ? 1u : 0u;
    }
    void defer(const std::int32_t* indices);

    const ObjMesh& pools;
    MeshOutput& output;
    std::vector<Deferred> deferred;
    std::size_t triangles = 0;
};

} // namespace Tarvo
