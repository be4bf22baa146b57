// Full-screen image effects: one fragment shader run over a screen-filling quad, reading an
// input texture (unit 0) and any number of named textures (units 1, 2, ...) and floats.
// The building block of every post-processing chain.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include "engine/FullScreenQuad.h"
#include "engine/Scene.h"

namespace Tarvo {

class ImageFx : public Scene {
public:
    struct TextureInput {
        GLint location;
        GLuint texture;
    };
    struct FloatInput {
        GLint location;
        double value; // already rounded to single precision
    };

    // Links "./data/shaders/trivial.vs" with the given fragment shader.
    explicit ImageFx(std::string fragmentShaderPath);
    ~ImageFx();
    ImageFx(const ImageFx&) = delete;
    ImageFx& operator=(const ImageFx&) = delete;

    void setInput(GLuint texture) { inputTexture = texture; }
    // Both lists keep what was added until they are cleared: a caller that adds every
    // frame must clear every frame, or stale entries are applied again before fresh ones.
    void addTexture(std::string uniformName, GLuint texture);
    void addFloat(std::string uniformName, double value);
    void clearTextures() { textureInputs.clear(); }
    void clearFloats() { floatInputs.clear(); }

    // Draws the quad into whatever target is current; time is not used. The program stays
    // in use and the textures stay bound afterwards.
    void render(const double& time) override;

    GLuint getProgram() const { return program; }
    GLuint getInput() const { return inputTexture; }
    const std::vector<TextureInput>& getTextureInputs() const { return textureInputs; }
    const std::vector<FloatInput>& getFloatInputs() const { return floatInputs; }

private:
    GLuint program = 0;
    GLuint inputTexture = 0;
    FullScreenQuad quad;
    std::vector<TextureInput> textureInputs;
    std::vector<FloatInput> floatInputs;
};

} // namespace Tarvo
