#version 330 core
// Geometry pass of the sky: the panorama as it is, marked as infinitely far so edge,
// occlusion and motion passes leave it alone.
// in:  uv;  myTextureSampler  the sky panorama
// out: 0 colour, 1 neutral normal at the far depth (alpha 1), 2 no motion,
//      3 no geometry (alpha 0)

in vec2 uv;

uniform sampler2D myTextureSampler;

#include "scenetargets.glsl"

const float SKY_EXPOSURE = 1.6;
const float GAMMA = 2.2;             // images hold display-encoded colour

void main()
{
    outColor = vec4(pow(texture(myTextureSampler, uv).rgb, vec3(GAMMA)) * SKY_EXPOSURE, 1.0);
    outNormalDepth = vec4(0.5, 0.5, 1.0, 1.0);
    outVelocity = vec4(0.0, 0.0, 0.0, 1.0);
    outPosition = vec4(0.0, 0.0, 0.0, 0.0);
}
