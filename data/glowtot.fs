#version 330 core
// Glow combining pass: a picture plus its blurred copy, lifted by a constant.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    the blurred picture
//      origrender  the unblurred picture
//      addconst    added to every channel (0 adds nothing)
// out: color       opaque combined picture

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D origrender;
uniform float addconst;

out vec4 color;

const float GLOW_GAIN = 1.2;

void main()
{
    vec3 glow = texture(inputtex, UV).rgb;
    vec3 orig = texture(origrender, UV).rgb;
    color = vec4(orig + glow * GLOW_GAIN + vec3(addconst), 1.0);
}
