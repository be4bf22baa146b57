// The floor under a recorded frame: the same passes into the same targets (same binds,
// clears, viewports and number of colour outputs written), each drawing one full-screen
// copy of one texture instead of what the frame drew. What a pass costs beyond its copy
// is what its shader (or its geometry) adds.
#pragma once

#include <GL/glew.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "PassTrace.h"
#include "engine/ImageFx.h"

namespace framebench {

class CopyChain {
public:
    // shaderDir: a writable folder for the copy shaders, one per number of outputs.
    CopyChain(const std::vector<Pass>& frame, const std::string& shaderDir);

    // Runs the chain once; with timed set, waits for the driver at every bind and returns
    // each pass's time (otherwise the times are 0).
    std::vector<PassTime> run(bool timed);

    // The texture each drawing pass copies: the latest earlier pass's output that is not
    // its own target (the frame's last output for the first passes).
    GLuint inputOf(std::size_t pass) const { return inputs[pass]; }

private:
    Tarvo::ImageFx& copyWith(int outputs);

    std::vector<Pass> passes;
    std::vector<GLuint> inputs;
    std::string shaderDir;
    std::map<int, std::unique_ptr<Tarvo::ImageFx>> copies;
};

} // namespace framebench
