// The metal surfaces of the main scene (envmap.fs, rekka.fs): their inputs from
// envmap.vs, the dusk light they share, the environment lookup, and the haze and target
// writes that finish every pixel.
// in:  viewPos, viewNormal, worldNormal, uv, clipNow, clipPrev (envmap.vs)
//      myTextureSampler  the surface's image;  V  view matrix

#include "../common/textured.glsl"
#include "../common/velocity.glsl"
#include "../scenetargets.glsl"

in vec3 viewPos;
in vec3 viewNormal;
in vec3 worldNormal;

uniform mat4 V;

const float PI = 3.14159265;
const vec3 SUN_DIRECTION = vec3(-0.62, 0.28, 0.73);   // world space, low in the west
const vec3 SUN_COLOR = vec3(1.35, 0.86, 0.52);
const vec3 SKY_FILL = vec3(0.20, 0.24, 0.36);
const vec3 HAZE_AWAY = vec3(0.20, 0.17, 0.21);    // the dusk air away from the sun
const vec3 HAZE_SUNWARD = vec3(0.62, 0.40, 0.22); // and lit through towards it
const float HAZE_MAX = 0.8;
const float GAMMA = 2.2;             // images hold display-encoded colour

// Texture coordinate of a direction in an equirectangular image, zenith in its first row.
vec2 equirect(vec3 direction)
{
    vec3 d = normalize(direction);
    return vec2(atan(d.z, d.x) / (2.0 * PI) + 0.5, acos(clamp(d.y, -1.0, 1.0)) / PI);
}

// The view-space normal turned towards the viewer: thin parts are seen from both sides.
vec3 facingNormal()
{
    vec3 n = normalize(viewNormal);
    return gl_FrontFacing ? n : -n;
}

// Distance haze over the lit colour, warmer where the view looks towards the low sun
// (as the sky's horizon is), then the four targets.
void writeTargets(vec3 color, vec3 n, float hazeDensity)
{
    float haze = 1.0 - exp(-length(viewPos) * hazeDensity);
    vec3 viewWorld = transpose(mat3(V)) * normalize(viewPos);
    vec2 sunward = normalize(SUN_DIRECTION.xz);
    vec2 looking = safeNormalize(vec3(viewWorld.x, viewWorld.z, 0.0), vec3(1.0, 0.0, 0.0)).xy;
    float towardSun = pow(max(dot(looking, sunward), 0.0), 3.0);
    vec3 hazeColor = mix(HAZE_AWAY, HAZE_SUNWARD, towardSun);
    color = mix(color, hazeColor, clamp(haze, 0.0, HAZE_MAX));

    outColor = vec4(color, 1.0);
    outNormalDepth = vec4(n * 0.5 + 0.5, -viewPos.z / DEPTH_RANGE);
    outVelocity = vec4(screenVelocity(), 0.0, 1.0);
    outPosition = vec4(viewPos, 1.0);
}
