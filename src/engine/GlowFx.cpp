// Glow passes in stack order: both blur targets are bound before the horizontal pass, so
// releasing the inner one makes the outer one current (and clean) for the vertical pass.
#include "engine/GlowFx.h"

#include <cstdio>

namespace Tarvo {

namespace {

// A glow built without a source still needs targets of some size.
int sideOf(const Fbo* fbo, bool width)
{
    if (fbo == nullptr)
        return 1;
    return width ? fbo->getWidth() : fbo->getHeight();
}

} // namespace

GlowFx::GlowFx(Fbo* source, Fbo* unblurred)
    : ImageFx("./data/shaders/glowtot.fs"),
      source(source),
      unblurred(unblurred),
      blurVertical("./data/shaders/blurvert.fs"),
      blurHorizontal("./data/shaders/blurhoriz.fs"),
      verticalTarget(sideOf(source, true), sideOf(source, false), 0, 1, GL_RGBA16F),
      horizontalTarget(sideOf(source, true), sideOf(source, false), 0, 1, GL_RGBA16F)
{
    if (source == nullptr || unblurred == nullptr)
        std::fprintf(stderr, "GlowFx built without a source or unblurred framebuffer\n");
}

void GlowFx::render(const double& sigma)
{
    blurVertical.addFloat("sigma", sigma);
    blurVertical.addFloat("iResolution", verticalResolution);
    blurHorizontal.addFloat("sigma", sigma);
    blurHorizontal.addFloat("iResolution", horizontalResolution);

    verticalTarget.bind();
    horizontalTarget.bind();

    blurHorizontal.setInput(source ? source->getTexture(0) : 0);
    blurHorizontal.render(sigma);

    horizontalTarget.unbind();

    blurVertical.setInput(horizontalTarget.getTexture(0));
    blurVertical.render(sigma);

    verticalTarget.unbind();

    setInput(verticalTarget.getTexture(0));
    addTexture("origrender", unblurred ? unblurred->getTexture(0) : 0);
    ImageFx::render(sigma);

    clearTextures();
    blurVertical.clearFloats();
    blurHorizontal.clearFloats();
    clearFloats();
}

} // namespace Tarvo
