// Text overlay: two triangles per character, texture coordinates from the glyph cell of the
// character's code (column = code mod 16, row = code / 16 from the top of the image).
#include "engine/TextOverlay.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstring>
#include <vector>

#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

namespace {

constexpr int glyphGridSide = 16;
constexpr float glyphCell = 1.0f / glyphGridSide;

struct TextOverlayState {
    GLuint texture = 0;
    GLuint vertexBuffer = 0;
    GLuint uvBuffer = 0;
    GLuint program = 0;
    GLint positionLocation = -1;
    GLint uvLocation = -1;
    GLint samplerLocation = -1;
    bool ready = false;
};

TextOverlayState overlay;

} // namespace

void initTextOverlay(const char* fontImagePath)
{
    if (overlay.ready)
        cleanupTextOverlay();
    // Font images go through the same decoder as every other image: repeat wrap, mipmaps.
    overlay.texture = loadTexture(fontImagePath, false);
    glGenBuffers(1, &overlay.vertexBuffer);
    glGenBuffers(1, &overlay.uvBuffer);
    overlay.program = loadShaderProgram("TextVertexShader.vertexshader",
        "TextVertexShader.fragmentshader");
    overlay.positionLocation = glGetAttribLocation(overlay.program, "vertexPosition_screenspace");
    overlay.uvLocation = glGetAttribLocation(overlay.program, "vertexUV");
    overlay.samplerLocation = glGetUniformLocation(overlay.program, "myTextureSampler");
    overlay.ready = true;
}

void printTextOverlay(const char* text, int x, int y, int size)
{
    if (!overlay.ready || text == nullptr)
        return;
    const std::size_t length = std::strlen(text);
    if (length == 0)
        return;

    std::vector<glm::vec2> vertices;
    std::vector<glm::vec2> uvs;
    vertices.reserve(length * 6);
    uvs.reserve(length * 6);
    const float fsize = static_cast<float>(size);
    for (std::size_t i = 0; i < length; ++i) {
        const float left = static_cast<float>(x) + static_cast<float>(i) * fsize;
        const glm::vec2 upLeft(left, static_cast<float>(y) + fsize);
        const glm::vec2 upRight(left + fsize, static_cast<float>(y) + fsize);
        const glm::vec2 downRight(left + fsize, static_cast<float>(y));
        const glm::vec2 downLeft(left, static_cast<float>(y));
        vertices.insert(vertices.end(), { upLeft, downLeft, upRight, downRight, upRight, downLeft });

        // Characters above 127 index the lower half of the grid, as unsigned codes.
        const unsigned code = static_cast<unsigned char>(text[i]);
        const float u = static_cast<float>(code % glyphGridSide) * glyphCell;
        const float v = static_cast<float>(code / glyphGridSide) * glyphCell;
        // Image rows arrive top first, so v grows downwards through the font image.
        const glm::vec2 uvUpLeft(u, v);
        const glm::vec2 uvUpRight(u + glyphCell, v);
        const glm::vec2 uvDownRight(u + glyphCell, v + glyphCell);
        const glm::vec2 uvDownLeft(u, v + glyphCell);
        uvs.insert(uvs.end(), { uvUpLeft, uvDownLeft, uvUpRight, uvDownRight, uvUpRight, uvDownLeft });
    }

    glBindBuffer(GL_ARRAY_BUFFER, overlay.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(glm::vec2)),
        vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, overlay.uvBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(uvs.size() * sizeof(glm::vec2)),
        uvs.data(), GL_STATIC_DRAW);

    glUseProgram(overlay.program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, overlay.texture);
    glUniform1i(overlay.samplerLocation, 0);

    // A missing attribute (-1) must not reach the attribute calls.
    if (overlay.positionLocation >= 0) {
        const GLuint location = static_cast<GLuint>(overlay.positionLocation);
        glEnableVertexAttribArray(location);
        glBindBuffer(GL_ARRAY_BUFFER, overlay.vertexBuffer);
        glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }
    if (overlay.uvLocation >= 0) {
        const GLuint location = static_cast<GLuint>(overlay.uvLocation);
        glEnableVertexAttribArray(location);
        glBindBuffer(GL_ARRAY_BUFFER, overlay.uvBuffer);
        glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    }

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
    glDisable(GL_BLEND);

    if (overlay.positionLocation >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(overlay.positionLocation));
    if (overlay.uvLocation >= 0)
        glDisableVertexAttribArray(static_cast<GLuint>(overlay.uvLocation));
}

void cleanupTextOverlay()
{
    if (!overlay.ready)
        return;
    glDeleteBuffers(1, &overlay.vertexBuffer);
    glDeleteBuffers(1, &overlay.uvBuffer);
    glDeleteTextures(1, &overlay.texture);
    deleteShaderProgram(overlay.program);
    overlay = TextOverlayState();
}
