// Lets the shader-toy scene stand in for the main scene where a post-processing scene is
// expected (the offline renderer's scene list): its frame is the shader-toy pass drawn
// straight into the current target, as when the demo instance runs it as its main scene.
#pragma once

#include "engine/PostScene.h"
#include "engine/ShaderToy.h"

namespace OrvelDemo {

class ToyViewer : public Tarvo::PostScene {
public:
    // The tunnel shader "./data/shaders/toy.fs" over "./data/zebra.png".
    ToyViewer();
    ~ToyViewer() = default;

    // Draws the shader-toy pass into the current target, which the caller has cleared;
    // the post-processing pipeline is not used.
    void render(const double& time) override;
    void drawScene(const double& time) override;

    const Tarvo::ShaderToy& getToy() const { return toy; }

private:
    Tarvo::ShaderToy toy;
};

} // namespace OrvelDemo
