// A viewer for the snow particles, so the particle system can be seen on its own: a camera
// gliding over the slab of flakes, the flakes blended over a night-blue background.
#pragma once

#include <glm/glm.hpp>

#include "engine/PostScene.h"
#include "particles/SnowParticles.h"

namespace OrvelDemo {

class SnowViewer : public Tarvo::PostScene {
public:
    // The flakes are 0.125 units wide over a slab 400 x 1600 units large; seen whole, they
    // would be far below a pixel. The billboards are drawn this many times larger (by
    // lengthening the camera axes handed to the particles).
    static constexpr float flakeScale = 120.0f;
    // The particles advance in milliseconds: their drift and spring rates are per
    // millisecond.
    static constexpr double particleTimeScale = 1000.0;

    SnowViewer();
    ~SnowViewer() = default;

    void drawScene(const double& time) override;
    // Moves the flakes to a frame at time (seconds) as drawing it would, without drawing:
    // the flakes' state depends on every frame before, so a single frame far into the
    // show is reached by stepping through the frames before it.
    void advance(const double& time);

    // The camera at a time in seconds: above the slab, looking down along +z,
    // swaying slowly over the slab.
    static glm::mat4 view(double time);
    glm::mat4 projection() const;

    const SnowParticles& getSnow() const { return snow; }

private:
    SnowParticles snow;
};

} // namespace OrvelDemo
