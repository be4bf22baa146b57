#version 330 core
// Screen-space ambient occlusion over the scene's view-space positions: neighbours that
// rise above a pixel's tangent plane darken it, more when they are close. The result is
// the composited colour with the occlusion applied.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    normal * 0.5 + 0.5 (rgb) and linear depth (alpha) of the scene
//      texture1    view-space position (xyz), alpha 0 where nothing was drawn (sky)
//      texture2    the default composite of the scene (lit colour)
// out: color       colour darkened by occlusion

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D texture1;
uniform sampler2D texture2;

out vec4 color;

const int SAMPLES = 12;
const float RADIUS = 1.6;           // metres around the pixel that can occlude it
const float MIN_RADIUS_UV = 0.002;
const float MAX_RADIUS_UV = 0.06;
const float BIAS = 0.04;
const float STRENGTH = 1.35;
const float GOLDEN_ANGLE = 2.39996323;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

void main()
{
    vec3 base = texture(texture2, UV).rgb;
    vec4 position = texture(texture1, UV);
    if (position.a < 0.5) {
        color = vec4(base, 1.0);
        return;
    }
    vec3 p = position.xyz;
    vec3 n = normalize(texture(inputtex, UV).rgb * 2.0 - 1.0);
    float depth = max(-p.z, 0.1);
    float radiusUV = clamp(RADIUS / (2.0 * depth), MIN_RADIUS_UV, MAX_RADIUS_UV);
    vec2 aspect = vec2(float(textureSize(texture1, 0).y) / float(max(textureSize(texture1, 0).x, 1)), 1.0);

    float rotation = hash(gl_FragCoord.xy) * 6.2831853;
    // Sample i lies at angle rotation + i * GOLDEN_ANGLE: each direction is the one before
    // turned by the golden angle, so one sine and cosine serve all samples (a software
    // rasterizer pays for every trigonometric call on every pixel).
    vec2 direction = vec2(cos(rotation), sin(rotation));
    const vec2 turn = vec2(cos(GOLDEN_ANGLE), sin(GOLDEN_ANGLE));
    float occlusion = 0.0;
    for (int i = 0; i < SAMPLES; ++i) {
        float t = (float(i) + 0.5) / float(SAMPLES);
        vec2 offset = direction * sqrt(t) * radiusUV * aspect;
        direction = vec2(direction.x * turn.x - direction.y * turn.y,
                         direction.y * turn.x + direction.x * turn.y);
        vec4 q = texture(texture1, UV + offset);
        if (q.a < 0.5)
            continue;
        vec3 d = q.xyz - p;
        float distance2 = dot(d, d);
        float rise = dot(n, d) - BIAS * depth * 0.02;
        float falloff = 1.0 / (1.0 + distance2 / (RADIUS * RADIUS));
        occlusion += max(rise, 0.0) * inversesqrt(max(distance2, 1e-6)) * falloff;
    }
    float ambient = clamp(1.0 - STRENGTH * occlusion / float(SAMPLES), 0.0, 1.0);
    color = vec4(base * ambient, 1.0);
}
