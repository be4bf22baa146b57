// The simplest complete scene: one fragment shader over the whole current target, with the
// image "./data/zebra.png" as its input and the frame time as "iGlobalTime". It can stand
// in for the main scene.
#pragma once

#include <GL/glew.h>

#include <string>

#include "engine/ImageFx.h"
#include "engine/Scene.h"

namespace Tarvo {

class ShaderToy : public Scene {
public:
    explicit ShaderToy(std::string fragmentShaderPath);
    ~ShaderToy();
    ShaderToy(const ShaderToy&) = delete;
    ShaderToy& operator=(const ShaderToy&) = delete;

    // Draws into whatever target is current, which the caller has cleared.
    void render(const double& time) override;
    virtual void setUniforms(const double& time);

    const ImageFx& getEffect() const { return effect; }
    GLuint getImageTexture() const { return imageTexture; }

private:
    ImageFx effect;
    GLuint imageTexture = 0;
};

} // namespace Tarvo
