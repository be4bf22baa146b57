// The shader-toy scene keeps no framebuffer of its own: its one pass draws straight into
// the current target, and "iGlobalTime" is added and cleared every frame.
#include "engine/ShaderToy.h"

#include "engine/Texture.h"

namespace Tarvo {

ShaderToy::ShaderToy(std::string fragmentShaderPath)
    : effect(fragmentShaderPath)
{
    // Repeat wrapping lets the shader scroll and tile the image freely.
    imageTexture = loadTexture("./data/zebra.png", false);
    effect.setInput(imageTexture);
}

ShaderToy::~ShaderToy()
{
    glDeleteTextures(1, &imageTexture);
}

void ShaderToy::render(const double& time)
{
    setUniforms(time);
    effect.render(time);
    effect.clearFloats();
}

void ShaderToy::setUniforms(const double& time)
{
    effect.addFloat("iGlobalTime", time);
}

} // namespace Tarvo
