#version 330 core
// Fade: alpha 0 gives black, 1 the full picture; values between dim it smoothly.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    the picture
//      alpha       fade amount (clamped to [0, 1])
// out: color

in vec2 UV;

uniform sampler2D inputtex;
uniform float alpha;

out vec4 color;

void main()
{
    float a = clamp(alpha, 0.0, 1.0);
    // Squared so a linear ramp of the track looks even to the eye.
    color = vec4(texture(inputtex, UV).rgb * a * a, 1.0);
}
