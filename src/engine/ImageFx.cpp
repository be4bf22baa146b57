// Image effects draw one quad at depth 0 under whatever depth and blend state is current,
// so each pass goes into a target that binding has just cleared.
#include "engine/ImageFx.h"

#include "engine/ShaderProgram.h"

namespace Tarvo {

ImageFx::ImageFx(std::string fragmentShaderPath)
{
    program = loadShaderProgram("./data/shaders/trivial.vs", fragmentShaderPath.c_str());

    // A program that failed to load (0) has no locations: every lookup is -1 then.
    vertexLocation = program ? glGetAttribLocation(program, "trivial_vertices") : -1;
    inputTexLocation = program ? glGetUniformLocation(program, "inputtex") : -1;
}

ImageFx::~ImageFx()
{
    glDeleteProgram(program);
}

void ImageFx::addTexture(std::string uniformName, GLuint texture)
{
    const GLint location = program ? glGetUniformLocation(program, uniformName.c_str()) : -1;
    textureInputs.push_back({ location, texture });
}

void ImageFx::addFloat(std::string uniformName, double value)
{
    const GLint location = program ? glGetUniformLocation(program, uniformName.c_str()) : -1;
    floatInputs.push_back({ location, static_cast<double>(static_cast<float>(value)) });
}

void ImageFx::render(const double&)
{
    glUseProgram(program);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, inputTexture);
    glUniform1i(inputTexLocation, 0);

    for (std::size_t k = 0; k < textureInputs.size(); ++k) {
        const GLint unit = static_cast<GLint>(k + 1);
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(GL_TEXTURE_2D, textureInputs[k].texture);
        glUniform1i(textureInputs[k].location, unit);
    }

    // A name added twice is set twice; the draw sees the later value.
    for (const FloatInput& input : floatInputs)
        glUniform1f(input.location, static_cast<float>(input.value));

    quad.draw(vertexLocation);
}

} // namespace Tarvo
