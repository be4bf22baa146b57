// One rigid part of an animated model: its keys (a position and three rotation angles
// each, evenly spaced in time) and the blend of the two keys around a time value.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

namespace Tarvo {

class MotionblurObu;

struct AniKey {
    glm::vec3 position{0.0f};
    glm::vec3 rotation{0.0f}; // radians about x, y and z
};

struct AniPart {
    MotionblurObu* mesh = nullptr; // not owned
    std::int32_t length = 0;       // A: the animation's length in time units
    std::int32_t spacing = 0;      // B: time between two keys
    // Keys in time order. A key the file did not supply is all zeros and need not be
    // stored: evaluation treats keys past the end as zero.
    std::vector<AniKey> keys;

    // Number of key intervals in one cycle (A / B); 0 when A and B cannot animate.
    std::int64_t cycleKeys() const;

    // The key at time t: keys k and k + 1 of the cycle blended linearly, wrapping from
    // the cycle's last interval back to key 0, so key A / B itself is never reached.
    // Time 0 gives key 0. Times before 0 run the cycle backwards; a part whose A and B
    // cannot animate, or a time that is not finite, gives key 0.
    AniKey evaluate(double time) const;

private:
    AniKey keyAt(std::int64_t index) const;
};

// Converts a key's radians to degrees the way the show always has: by 57.30659, the
// single-precision value of 180 / 3.141 (not 180 / pi).
inline constexpr float kAniDegreesPerRadian = 57.30659f;

// A part's post matrix: translate(-x, z, -y) x rotate(rx) x rotate(ry) x rotate(rz), the
// exporter's axes turned into the engine's, angles in degrees.
glm::mat4 partPostMatrix(const AniKey& key);

} // namespace Tarvo
