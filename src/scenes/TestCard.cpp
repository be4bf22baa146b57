// The test card's drawing: one full-screen quad with its own small shader pair, built in
// so that the card needs no files beyond the pipeline's own shaders.
#include "scenes/TestCard.h"

#include "engine/ShaderProgram.h"
#include "runtime/Demo.h"

namespace OrvelDemo {

namespace {

const char* const vertexSource = R"(#version 330 core
// in:  trivial_vertices  clip-space quad corner (z = 0)
// out: UV                (0,0) bottom-left to (1,1) top-right
in vec3 trivial_vertices;
out vec2 UV;
void main()
{
    UV = trivial_vertices.xy * 0.5 + 0.5;
    gl_Position = vec4(trivial_vertices, 1.0);
}
)";

const char* const fragmentSource = R"(#version 330 core
// in:  UV    from the vertex shader
//      time  seconds
//      fade  0 as drawn to 1 black
// out: color red bars moving one bar width in 1/8 s, green rising to the top,
//      blue cycling once a second
in vec2 UV;
uniform float time;
uniform float fade;
out vec4 color;
const float BARS = 8.0;
const float TAU = 6.2831853;
void main()
{
    float bars = step(0.5, fract(UV.x * BARS - time * BARS));
    color = vec4(vec3(bars, UV.y, 0.5 + 0.5 * sin(time * TAU)) * (1.0 - clamp(fade, 0.0, 1.0)), 1.0);
}
)";

} // namespace

TestCard::TestCard() : PostScene("./data/shaders/trivial.fs", 1)
{
    cardProgram = Tarvo::buildBuiltInProgram(vertexSource, fragmentSource, "The test card's shader");
    if (cardProgram != 0) {
        vertexLocation = glGetAttribLocation(cardProgram, "trivial_vertices");
        timeLocation = glGetUniformLocation(cardProgram, "time");
        fadeLocation = glGetUniformLocation(cardProgram, "fade");
    }
    if (gDemo && gDemo->getSync())
        fade = gDemo->getSync()->getTrack("cardfade");
}

TestCard::~TestCard()
{
    glDeleteProgram(cardProgram);
}

void TestCard::drawScene(const double& time)
{
    if (vertexLocation < 0)
        return;
    glUseProgram(cardProgram);
    glUniform1f(timeLocation, static_cast<float>(time));
    glUniform1f(fadeLocation, fade.getValue(gDemo ? gDemo->getRow() : 0.0));
    cardQuad.draw(vertexLocation);
}

} // namespace OrvelDemo
