// The glow: a separable blur (horizontal, then vertical) of a source target's first colour
// texture into two private targets, then a combining pass that sees the blurred image as
// its input and an unblurred picture as "origrender", drawn into the current target.
#pragma once

#include "engine/Fbo.h"
#include "engine/ImageFx.h"

namespace Tarvo {

class GlowFx : public ImageFx {
public:
    // Reference sizes the blur shaders measure their width against. They stay the same
    // whatever the size of the targets, so a glow looks alike at every resolution.
    static constexpr double verticalResolution = 1280.0;
    static constexpr double horizontalResolution = 720.0;

    // Both framebuffers must exist and outlive the effect; the blur targets take the
    // source's size now and keep it.
    GlowFx(Fbo* source, Fbo* unblurred);

    // Replace the pictures between frames; the blur targets keep their size.
    void setSource(Fbo* newSource) { source = newSource; }
    void setUnblurred(Fbo* newUnblurred) { unblurred = newUnblurred; }

    // Runs the blur with width sigma and the combining pass. The target current on entry
    // is cleared by the blur's release, so afterwards it holds only the glow's output.
    void render(const double& sigma) override;

    Fbo* getSource() const { return source; }
    Fbo* getUnblurred() const { return unblurred; }
    const ImageFx& getBlurVertical() const { return blurVertical; }
    const ImageFx& getBlurHorizontal() const { return blurHorizontal; }
    const Fbo& getVerticalTarget() const { return verticalTarget; }
    const Fbo& getHorizontalTarget() const { return horizontalTarget; }

private:
    Fbo* source;
    Fbo* unblurred;
    ImageFx blurVertical;
    ImageFx blurHorizontal;
    Fbo verticalTarget;
    Fbo horizontalTarget;
};

} // namespace Tarvo
