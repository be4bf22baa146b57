#version 330 core
// Compositing pass of the motion-blur scene: each pixel averages the picture along the
// path its surface travelled since the previous frame. The velocity is taken as the
// fastest of a few neighbours, so the streaks also reach over the background that a
// moving edge has just uncovered.
// in:  UV        texture coordinate from trivial.vs
//      texture0  lit colour of the scene
//      texture1  screen movement since the previous frame in texture units (rg)
//      time      seconds (unused)
// out: color     blurred, opaque picture

#include "shaders/common/composite.glsl"

uniform sampler2D texture0;
uniform sampler2D texture1;

const int SAMPLES = 16;
const float SHUTTER = 1.0;      // fraction of the frame-to-frame movement that blurs
const float MAX_BLUR = 0.08;    // longest streak in texture units
const float SEARCH = 0.02;      // how far neighbours are searched for faster movement
const float MIN_MOTION = 1e-5;

vec2 motionAt(vec2 uv)
{
    ivec2 size = textureSize(texture1, 0);
    ivec2 texel = clamp(ivec2(uv * vec2(size)), ivec2(0), size - 1);
    return texelFetch(texture1, texel, 0).rg;
}

void main()
{
    vec2 motion = motionAt(UV);
    const vec2 directions[8] = vec2[8](vec2(1, 0), vec2(-1, 0), vec2(0, 1), vec2(0, -1),
                                       vec2(0.7, 0.7), vec2(-0.7, 0.7), vec2(0.7, -0.7), vec2(-0.7, -0.7));
    for (int i = 0; i < 8; ++i) {
        vec2 other = motionAt(UV + directions[i] * SEARCH);
        if (dot(other, other) > dot(motion, motion))
            motion = other;
    }
    motion *= SHUTTER;
    float length2 = dot(motion, motion);
    if (length2 > MAX_BLUR * MAX_BLUR)
        motion *= MAX_BLUR * inversesqrt(length2);

    if (length2 < MIN_MOTION * MIN_MOTION) {
        color = vec4(texture(texture0, UV).rgb, 1.0);
        return;
    }
    vec3 sum = vec3(0.0);
    for (int i = 0; i < SAMPLES; ++i) {
        float t = float(i) / float(SAMPLES - 1) - 0.5;
        sum += texture(texture0, UV - motion * t).rgb;
    }
    color = vec4(sum / float(SAMPLES), 1.0);
}
