#version 330 core
// Shader-toy scene: a flight down a twisting tunnel lined with the input image. The image's
// light and dark parts are recoloured with a slowly shifting palette, the far end glows and
// the walls fade into it.
// in:  UV           texture coordinate from trivial.vs (the whole target)
//      inputtex     the image lining the tunnel (repeat wrapping, mip-mapped)
//      iGlobalTime  seconds
// out: color        opaque picture

in vec2 UV;

uniform sampler2D inputtex;
uniform float iGlobalTime;

out vec4 color;

const float PI = 3.14159265;
const float FLIGHT_SPEED = 0.45;     // tunnel depth units per second
const float TWIST_SPEED = 0.06;      // turns of the wall pattern per second
const float TWIST_DEPTH = 0.35;      // extra turn per depth unit: the walls spiral
const float WALL_REPEAT = 2.0;       // image repeats around the tunnel
const float SWAY = 0.22;             // how far the vanishing point wanders
const float MIN_RADIUS = 1e-3;       // keeps 1/r finite at the very centre
const float FOG_DENSITY = 0.55;
const float CORE_GLOW = 0.06;        // brightness of the light at the end of the tunnel
const float VIGNETTE = 0.35;
const float DARK_LEVEL = 0.18;       // brightness of the image's dark parts
const float LIGHT_LEVEL = 1.4;       // ... and of its light parts
const float RIB_LEVEL = 0.7;
const float EXPOSURE = 1.6;          // filmic curve: 1 - exp(-EXPOSURE * c)

// Cosine palette: smooth, saturated colour cycles.
vec3 palette(float t)
{
    const vec3 a = vec3(0.55, 0.45, 0.50);
    const vec3 b = vec3(0.50, 0.45, 0.50);
    const vec3 c = vec3(1.0, 1.0, 1.0);
    const vec3 d = vec3(0.00, 0.15, 0.35);
    return a + b * cos(2.0 * PI * (c * t + d));
}

void main()
{
    float t = iGlobalTime;

    // The target's size from the screen-space change of UV: no resolution uniform needed.
    vec2 texelUV = max(vec2(abs(dFdx(UV.x)), abs(dFdy(UV.y))), vec2(1e-6));
    float aspect = texelUV.y / texelUV.x;

    vec2 p = (UV - 0.5) * 2.0 * vec2(aspect, 1.0);
    p -= SWAY * vec2(sin(t * 0.37), cos(t * 0.29));

    float r = max(length(p), MIN_RADIUS);
    float depth = 1.0 / r;
    float angle = atan(p.y, p.x) / (2.0 * PI);             // -0.5 .. 0.5, seam at +-0.5

    vec2 wallUV = vec2(WALL_REPEAT * (angle + TWIST_SPEED * t + TWIST_DEPTH * depth),
        depth + FLIGHT_SPEED * t);

    // Mip selection from a seam-free copy of the angle, so no line shows where atan wraps.
    float angleShifted = fract(angle + 1.0) - 0.5;
    vec2 gradX = vec2(WALL_REPEAT, 1.0) * vec2(abs(dFdx(angle)) < abs(dFdx(angleShifted))
        ? dFdx(angle) : dFdx(angleShifted), dFdx(depth));
    vec2 gradY = vec2(WALL_REPEAT, 1.0) * vec2(abs(dFdy(angle)) < abs(dFdy(angleShifted))
        ? dFdy(angle) : dFdy(angleShifted), dFdy(depth));
    vec3 wall = textureGrad(inputtex, wallUV, gradX, gradY).rgb;

    // Recolour: dark parts of the image take one palette colour, light parts another.
    float light = dot(wall, vec3(0.299, 0.587, 0.114));
    vec3 shade = mix(palette(0.05 * t + 0.1 * depth) * DARK_LEVEL,
        palette(0.05 * t + 0.1 * depth + 0.5) * LIGHT_LEVEL, smoothstep(0.2, 0.8, light));

    // Ribs of light rushing past, and fog towards the glowing far end.
    float ribs = pow(0.5 + 0.5 * sin(2.0 * PI * (depth + FLIGHT_SPEED * t) * 2.0), 12.0);
    shade += ribs * RIB_LEVEL * palette(0.05 * t + 0.25);
    float fog = exp(-FOG_DENSITY * depth);
    vec3 core = palette(0.05 * t + 0.7) * CORE_GLOW * depth;
    vec3 c = shade * fog + core * (1.0 - fog);

    // Soft vignette and a filmic curve that never clips.
    vec2 v = UV - 0.5;
    c *= 1.0 - VIGNETTE * dot(v, v) * 2.0;
    c = vec3(1.0) - exp(-EXPOSURE * c);

    color = vec4(c, 1.0);
}
