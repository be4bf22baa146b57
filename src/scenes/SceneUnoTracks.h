// The tracks the main scene reads, in the order it opens them: the one list that the
// scene's handles, its tests and the check of the show's timeline all use. A new
// track-driven parameter is one line here, its keys in the timeline, and its use.
#pragma once

#include <array>
#include <cstddef>

#define ORVEL_SCENE_UNO_TRACKS(TRACK)                                                     \
    TRACK(camX) TRACK(camY) TRACK(camZ) TRACK(camYaw) TRACK(camPitch) TRACK(camRoll)       \
    TRACK(addconst) TRACK(sigma) TRACK(rotangle) TRACK(translate)                          \
    TRACK(truckpos) TRACK(jaakkoframe) TRACK(rekkaframe) TRACK(jaakkoposy)                 \
    TRACK(logoconstant) TRACK(scenedarken) TRACK(bw)                                       \
    TRACK(jaakkoBx) TRACK(jaakkoBz) TRACK(jaakkoCx) TRACK(jaakkoCz)                        \
    TRACK(fov) TRACK(yawNoise) TRACK(pitchNoise) TRACK(rollNoise)

namespace OrvelDemo {

enum class UnoTrack : std::size_t {
#define ORVEL_UNO_TRACK_ENUMERATOR(name) name,
    ORVEL_SCENE_UNO_TRACKS(ORVEL_UNO_TRACK_ENUMERATOR)
#undef ORVEL_UNO_TRACK_ENUMERATOR
};

inline constexpr std::array unoTrackNames = {
#define ORVEL_UNO_TRACK_NAME(name) #name,
    ORVEL_SCENE_UNO_TRACKS(ORVEL_UNO_TRACK_NAME)
#undef ORVEL_UNO_TRACK_NAME
};

inline constexpr std::size_t unoTrackCount = unoTrackNames.size();

} // namespace OrvelDemo
