#version 330 core
// Compositing pass of the occlusion scene: screen-space ambient occlusion. Each pixel's
// view-space position is rebuilt from its depth; neighbours inside a sphere around it that
// rise above its tangent plane darken it, the closer the more, so inner corners (walls
// meeting a floor, a cone standing on it) turn dark.
// in:  UV        texture coordinate from trivial.vs
//      texture0  lit colour of the scene
//      texture1  view-space normal, octahedron-encoded (rg), and view depth (b, 0 where
//                nothing was drawn)
//      time      seconds (unused)
// out: color     the colour times the ambient light left; a grey gradient behind

#include "shaders/common/composite.glsl"

uniform sampler2D texture0;
uniform sampler2D texture1;

// The scene's projection: 45 degree vertical field of view, aspect 4/3.
const float TAN_HALF_FOV = 0.41421356;
const float ASPECT = 4.0 / 3.0;

const int SAMPLES = 24;
const float RADIUS = 0.6;          // view-space units around the pixel that can occlude it
const float BIAS = 0.01;           // per unit of depth, against self-occlusion on flat faces
const float STRENGTH = 6.0;
const float EPSILON = 0.01;
const float MAX_RADIUS_UV = 0.15;  // keeps close-up samples in the texture's cache
const float GOLDEN_ANGLE = 2.39996323;
const float TWO_PI = 6.28318531;
const vec3 BACKGROUND_LOW = vec3(0.18, 0.19, 0.22);
const vec3 BACKGROUND_HIGH = vec3(0.55, 0.58, 0.64);

// Interleaved gradient noise: neighbouring pixels turn their sample spirals far apart, so
// the leftover noise is fine-grained rather than blotchy.
float interleavedNoise(vec2 pixel)
{
    return fract(52.9829189 * fract(dot(pixel, vec2(0.06711056, 0.00583715))));
}

vec3 viewPosition(vec2 uv, float depth)
{
    vec2 ndc = uv * 2.0 - 1.0;
    return vec3(ndc.x * TAN_HALF_FOV * ASPECT, ndc.y * TAN_HALF_FOV, -1.0) * depth;
}

vec3 decodeNormal(vec2 e)
{
    vec3 n = vec3(e, 1.0 - abs(e.x) - abs(e.y));
    if (n.z < 0.0)
        n.xy = (1.0 - abs(n.yx)) * vec2(n.x >= 0.0 ? 1.0 : -1.0, n.y >= 0.0 ? 1.0 : -1.0);
    return normalize(n);   // never zero: |x| + |y| + |z| = 1
}

// Exact texels: filtering would blend depths across silhouettes.
vec4 normalDepthAt(vec2 uv)
{
    ivec2 size = textureSize(texture1, 0);
    ivec2 texel = clamp(ivec2(uv * vec2(size)), ivec2(0), size - 1);
    return texelFetch(texture1, texel, 0);
}

void main()
{
    vec4 centre = normalDepthAt(UV);
    if (centre.b <= 0.0) {
        color = vec4(mix(BACKGROUND_LOW, BACKGROUND_HIGH, UV.y), 1.0);
        return;
    }
    vec3 base = texture(texture0, UV).rgb;
    float depth = centre.b;
    vec3 p = viewPosition(UV, depth);
    vec3 n = decodeNormal(centre.rg);

    // The sphere's radius on screen: one texture height spans 2 tan(fov/2) depth units.
    float radiusV = min(RADIUS / (2.0 * TAN_HALF_FOV * depth), MAX_RADIUS_UV);
    vec2 radiusUV = vec2(radiusV / ASPECT, radiusV);

    float rotation = interleavedNoise(gl_FragCoord.xy) * TWO_PI;
    float occlusion = 0.0;
    for (int i = 0; i < SAMPLES; ++i) {
        float t = (float(i) + 0.5) / float(SAMPLES);
        float angle = rotation + float(i) * GOLDEN_ANGLE;
        vec2 sampleUV = UV + vec2(cos(angle), sin(angle)) * sqrt(t) * radiusUV;
        vec4 other = normalDepthAt(sampleUV);
        if (other.b <= 0.0)
            continue;
        vec3 v = viewPosition(sampleUV, other.b) - p;
        float distance2 = dot(v, v);
        float inRange = clamp(1.0 - distance2 / (RADIUS * RADIUS), 0.0, 1.0);
        occlusion += max(dot(v, n) - BIAS * depth, 0.0) / (distance2 + EPSILON) * inRange;
    }
    float ambient = clamp(1.0 - STRENGTH * RADIUS * occlusion / float(SAMPLES), 0.0, 1.0);
    color = vec4(base * ambient, 1.0);
}
