// Copy passes are drawn with the engine's own full-screen effect, so they pay the same
// per-draw costs (program change, texture binds, the quad) as the passes they stand for.
#include "CopyChain.h"

#include <fstream>

namespace framebench {

namespace {

std::string copyShader(int outputs)
{
    std::string text = "#version 330 core\n"
                       "in vec2 UV;\n"
                       "uniform sampler2D inputtex;\n";
    for (int i = 0; i < outputs; ++i)
        text += "layout(location = " + std::to_string(i) + ") out vec4 out" + std::to_string(i) + ";\n";
    text += "void main() {\n  vec4 c = texture(inputtex, UV);\n";
    for (int i = 0; i < outputs; ++i)
        text += "  out" + std::to_string(i) + " = c;\n";
    return text + "}\n";
}

} // namespace

CopyChain::CopyChain(const std::vector<Pass>& frame, const std::string& shaderDir)
    : passes(frame), inputs(frame.size(), 0), shaderDir(shaderDir)
{
    const std::size_t count = passes.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (!passes[i].draws())
            continue;
        // Walk back (round to the frame's end) to an output that is not this target.
        for (std::size_t back = 1; back <= count; ++back) {
            const Pass& earlier = passes[(i + count - back) % count];
            if (earlier.draws() && earlier.texture != 0 && earlier.framebuffer != passes[i].framebuffer) {
                inputs[i] = earlier.texture;
                break;
            }
        }
        copyWith(passes[i].outputs);
    }
}

Tarvo::ImageFx& CopyChain::copyWith(int outputs)
{
    auto& copy = copies[outputs];
    if (!copy) {
        const std::string path = shaderDir + "/copy" + std::to_string(outputs) + ".fs";
        std::ofstream(path) << copyShader(outputs);
        copy = std::make_unique<Tarvo::ImageFx>(path);
    }
    return *copy;
}

std::vector<PassTime> CopyChain::run(bool timed)
{
    std::vector<PassTime> times(passes.size());
    PassClock clock;
    if (timed)
        clock.lap();
    for (std::size_t i = 0; i < passes.size(); ++i) {
        const Pass& pass = passes[i];
        // The frame's first pass is whatever was bound when it began; it is not bound anew.
        if (i > 0)
            glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
        glViewport(0, 0, pass.width, pass.height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (pass.draws()) {
            Tarvo::ImageFx& copy = copyWith(pass.outputs);
            copy.setInput(inputs[i]);
            copy.render(0.0);
        }
        if (timed)
            times[i] = clock.lap();
    }
    return times;
}

} // namespace framebench
