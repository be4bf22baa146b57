#version 330 core
// Glow combining pass: the picture plus its blurred glow.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    the blurred picture (the glow)
//      origrender  the unblurred picture
//      addconst    a constant added to every channel (0 adds nothing); it lifts the whole
//                  result, which matters where the glow is used as a mask
// out: color       opaque combined picture

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D origrender;
uniform float addconst;

out vec4 color;

const float GLOW_GAIN = 1.6;   // how strongly the blurred light spills around its source

void main()
{
    vec3 glow = texture(inputtex, UV).rgb;
    vec3 orig = texture(origrender, UV).rgb;
    // Screen-like add: bright originals saturate gently instead of clipping hard.
    vec3 lit = orig + glow * GLOW_GAIN * (vec3(1.0) - clamp(orig, 0.0, 1.0) * 0.5);
    color = vec4(lit + vec3(addconst), 1.0);
}
