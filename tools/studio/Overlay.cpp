#include "studio/Overlay.h"

#include <algorithm>
#include <cmath>

#include "engine/GlState.h"
#include "engine/ShaderProgram.h"
#include "engine/WindowSize.h"

namespace studio {

namespace {

constexpr float margin = 8.0f;
constexpr float panelColour[4] = {0.0f, 0.0f, 0.0f, 0.62f};
constexpr float textColour[4] = {0.93f, 0.93f, 0.88f, 1.0f};
constexpr float alertColour[4] = {1.0f, 0.45f, 0.4f, 1.0f};
constexpr float highlightColour[4] = {0.2f, 0.32f, 0.62f, 0.85f};
constexpr float ruleColour[4] = {0.6f, 0.6f, 0.6f, 0.7f};
constexpr int ranged = 5; // panel, highlight, rules, text, alerts
constexpr int floatsPerVertex = 4;

void addQuad(std::vector<float>& out, float x0, float y0, float x1, float y1, float s0 = 0.0f, float t0 = 0.0f,
    float s1 = 0.0f, float t1 = 0.0f)
{
    const float corners[6][4] = {{x0, y0, s0, t0}, {x1, y0, s1, t0}, {x0, y1, s0, t1},
        {x0, y1, s0, t1}, {x1, y0, s1, t0}, {x1, y1, s1, t1}};
    for (const auto& corner : corners)
        out.insert(out.end(), corner, corner + floatsPerVertex);
}

} // namespace

Overlay::Overlay(int windowHeight)
{
    const float size = std::clamp(std::floor(static_cast<float>(windowHeight) / 48.0f), 10.0f, 20.0f);
    program = loadShaderProgram("./data/shaders/overlay.vs", "./data/shaders/overlay.fs");
    glGenBuffers(1, &buffer);
    if (!font.load(Tarvo::FontAtlas::defaultFontPath(), size))
        return;
    advance = font.textWidth("M");
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, font.width(), font.height(), 0, GL_RED, GL_UNSIGNED_BYTE,
        font.coverage().data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Glyphs are drawn at the size they were rasterised at, on whole pixels.
    Tarvo::setEdgeSampling(GL_NEAREST);
}

Overlay::~Overlay()
{
    glDeleteTextures(1, &texture);
    glDeleteBuffers(1, &buffer);
    deleteShaderProgram(program);
}

int Overlay::columns(int windowWidth) const
{
    if (!(advance > 0.0f))
        return 1;
    return std::max(1, static_cast<int>((static_cast<float>(windowWidth) - 4.0f * margin) / advance));
}

int Overlay::lines(int windowHeight) const
{
    const float height = std::ceil(font.lineHeight());
    if (!(height > 0.0f))
        return 1;
    return std::max(1, static_cast<int>((static_cast<float>(windowHeight) - 3.0f * margin) / height));
}

double Overlay::lineHeight() const
{
    return std::ceil(font.lineHeight());
}

int Overlay::lineAt(double y) const
{
    const double height = std::ceil(font.lineHeight());
    if (!(height > 0.0))
        return -1;
    return static_cast<int>(std::floor((y - 2.0 * margin) / height));
}

void Overlay::draw(const std::vector<OverlayLine>& lines, int windowWidth, int windowHeight)
{
    if (!ready() || lines.empty() || !Tarvo::programLinked(program))
        return;
    const GLint vertexLocation = Tarvo::attributeLocation(program, "overlayVertex");
    if (vertexLocation < 0)
        return;

    // The panel first, then the highlighted line and the rules, then each colour's text:
    // one buffer, five ranges.
    float widest = 0.0f;
    for (const OverlayLine& line : lines)
        widest = std::max(widest, font.textWidth(line.text));
    const float lineHeight = std::ceil(font.lineHeight());
    const float right = 3.0f * margin + widest;
    vertices.clear();
    addQuad(vertices, margin, margin, right, 2.0f * margin + lineHeight * lines.size());
    GLsizei ranges[ranged] = {6, 0, 0, 0, 0};
    for (int bar = 0; bar < 2; ++bar) {
        const size_t before = vertices.size();
        for (size_t i = 0; i < lines.size(); ++i) {
            const float top = 2.0f * margin + lineHeight * static_cast<float>(i);
            if (bar == 0 && lines[i].highlight)
                addQuad(vertices, margin, top, right, top + lineHeight);
            else if (bar == 1 && lines[i].rule)
                addQuad(vertices, margin, top, right, top + 1.0f);
        }
        ranges[1 + bar] = static_cast<GLsizei>((vertices.size() - before) / floatsPerVertex);
    }
    for (int alert = 0; alert < 2; ++alert) {
        const size_t before = vertices.size();
        float baseline = 2.0f * margin + std::round(font.ascent());
        for (const OverlayLine& line : lines) {
            if (line.alert == (alert == 1)) {
                for (const Tarvo::GlyphQuad& q : font.layout(line.text, 2.0f * margin, baseline))
                    addQuad(vertices, q.x0, q.y0, q.x1, q.y1, q.s0, q.t0, q.s1, q.t1);
            }
            baseline += lineHeight;
        }
        ranges[3 + alert] = static_cast<GLsizei>((vertices.size() - before) / floatsPerVertex);
    }

    const GLboolean blend = glIsEnabled(GL_BLEND);
    const GLboolean depth = glIsEnabled(GL_DEPTH_TEST);
    // Over the frame, wherever the window's frame is drawn (it is scaled when shown).
    glBindFramebuffer(GL_FRAMEBUFFER, Tarvo::windowFramebuffer());
    glViewport(0, 0, windowWidth, windowHeight);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(Tarvo::uniformLocation(program, "glyphs"), 0);
    glUniform2f(Tarvo::uniformLocation(program, "screen"), static_cast<float>(windowWidth),
        static_cast<float>(windowHeight));
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)), vertices.data(),
        GL_STREAM_DRAW);
    glEnableVertexAttribArray(static_cast<GLuint>(vertexLocation));
    glVertexAttribPointer(static_cast<GLuint>(vertexLocation), floatsPerVertex, GL_FLOAT, GL_FALSE, 0, nullptr);

    const float* colours[ranged] = {panelColour, highlightColour, ruleColour, textColour, alertColour};
    GLint first = 0;
    for (int i = 0; i < ranged; ++i) {
        glUniform4fv(Tarvo::uniformLocation(program, "colour"), 1, colours[i]);
        glUniform1f(Tarvo::uniformLocation(program, "solid"), i < 3 ? 1.0f : 0.0f);
        if (ranges[i] > 0)
            glDrawArrays(GL_TRIANGLES, first, ranges[i]);
        first += ranges[i];
    }

    glDisableVertexAttribArray(static_cast<GLuint>(vertexLocation));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (!blend)
        glDisable(GL_BLEND);
    if (depth)
        glEnable(GL_DEPTH_TEST);
}

} // namespace studio
