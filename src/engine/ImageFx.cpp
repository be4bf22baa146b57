// Image effects draw one quad at depth 0 under whatever depth and blend state is current,
// so each pass goes into a target that binding has just cleared.
#include "engine/ImageFx.h"

#include "engine/ShaderProgram.h"

namespace Tarvo {

ImageFx::ImageFx(std::string fragmentShaderPath)
{
    program = loadShaderProgram("./data/shaders/trivial.vs", fragmentShaderPath.c_str());
}

ImageFx::~ImageFx()
{
    deleteShaderProgram(program);
}

void ImageFx::addTexture(std::string uniformName, GLuint texture)
{
    textureInputs.push_back({ uniformLocation(program, uniformName.c_str()), texture });
}

void ImageFx::addFloat(std::string uniformName, double value)
{
    floatInputs.push_back({ uniformLocation(program, uniformName.c_str()),
        static_cast<double>(static_cast<float>(value)) });
}

void ImageFx::render(const double&)
{
    // A program that did not link draws nothing; the loader has said why.
    if (!useLinkedProgram(program))
        return;
    bindSampler(program, "inputtex", 0, inputTexture);

    for (std::size_t k = 0; k < textureInputs.size(); ++k) {
        const GLint unit = static_cast<GLint>(k + 1);
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, textureInputs[k].texture);
        glUniform1i(textureInputs[k].location, unit);
    }

    // A name added twice is set twice; the draw sees the later value.
    for (const FloatInput& input : floatInputs)
        glUniform1f(input.location, static_cast<float>(input.value));

    quad.draw(attributeLocation(program, "trivial_vertices"));
}

} // namespace Tarvo
