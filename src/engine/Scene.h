// The one thing the demo instance knows how to draw: anything that renders itself at a
// time value. Scenes are destroyed through their own type, never through this interface.
#pragma once

namespace Tarvo {

class Scene {
public:
    // Draws this frame. Scenes read time as seconds; the glow effect reads it as its blur
    // width.
    virtual void render(const double& time) = 0;

protected:
    Scene() = default;
    ~Scene() = default;
    Scene(const Scene&) = default;
    Scene& operator=(const Scene&) = default;
};

} // namespace Tarvo
