// Upload and drawing of static models. The model uses whichever vertex array object is
// bound (the demo instance binds one for the whole run) and sets no other GL state.
#include "mesh/StdModel.h"

#include "engine/DrawBufferScope.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

namespace Tarvo {

namespace {

template <typename T>
GLuint uploadArray(const std::vector<T>& data)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(T)),
                 data.empty() ? nullptr : data.data(), GL_STATIC_DRAW);
    return buffer;
}

// A location of -1 (the program lacks the name) is passed over rather than given to
// the attribute calls, which would reject it.
void bindAttribute(GLint location, GLuint buffer, GLint components)
{
    if (location < 0)
        return;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0,
                          nullptr);
}

void unbindAttribute(GLint location)
{
    if (location >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(location));
}

} // namespace

StdModel::StdModel(const std::string& meshPath, MeshFormat format, const std::string& texturePath)
    : Model(meshPath, format)
{
    texture = loadTexture(texturePath.c_str(), true);
    positionBuffer = uploadArray(positions);
    texCoordBuffer = uploadArray(texCoords);
    normalBuffer = uploadArray(normals);
}

StdModel::~StdModel()
{
    glDeleteBuffers(1, &positionBuffer);
    glDeleteBuffers(1, &texCoordBuffer);
    glDeleteBuffers(1, &normalBuffer);
    glDeleteTextures(1, &texture);
}

void StdModel::setShader(GLuint program)
{
    Model::setShader(program);
    // Animated parts are set up every frame with the program they already have.
    if (program == locationsProgram && programGeneration(program) == locationsGeneration && program != 0)
        return;
    // The loader keeps each program's locations, so a model set up anew costs no GL
    // look-ups either.
    locationsProgram = program;
    locationsGeneration = programGeneration(program);
    mvpLocation = uniformLocation(program, "MVP");
    modelLocation = uniformLocation(program, "M");
    viewLocation = uniformLocation(program, "V");
    positionLocation = attributeLocation(program, "vertexPos");
    texCoordLocation = attributeLocation(program, "vertexUV");
    samplerLocation = uniformLocation(program, "myTextureSampler");
    normalLocation = attributeLocation(program, "vertexnormal");
}

bool StdModel::refreshLocations()
{
    if (programGeneration(locationsProgram) == locationsGeneration)
        return false;
    const GLuint current = currentProgram;
    StdModel::setShader(locationsProgram);
    Model::setShader(current);
    return true;
}

void StdModel::draw(double time)
{
    (void)time;
    if (!readyToDraw())
        return;
    refreshLocations();
    glUseProgram(currentProgram);
    const glm::mat4 mvp = computeMVP();
    glUniformMatrix4fv(mvpLocation, 1, GL_FALSE, &mvp[0][0]);
    glUniformMatrix4fv(modelLocation, 1, GL_FALSE, &model[0][0]);
    glUniformMatrix4fv(viewLocation, 1, GL_FALSE, &view[0][0]);

    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(samplerLocation, 0);

    bindAttribute(positionLocation, positionBuffer, 3);
    bindAttribute(texCoordLocation, texCoordBuffer, 2);
    bindAttribute(normalLocation, normalBuffer, 3);
    {
        const DrawBufferScope outputs;
        glDrawArrays(GL_TRIANGLES, 0, vertexCount());
    }
    unbindAttribute(positionLocation);
    unbindAttribute(texCoordLocation);
    unbindAttribute(normalLocation);
}

} // namespace Tarvo
