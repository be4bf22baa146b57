#version 330 core
// Geometry pass of polished metal: environment reflection from myTextureSampler (an
// equirectangular image, zenith in its first row), a low dusk sun, a cool rim and
// distance haze. Writes the four scene targets.
// in:  viewPos, viewNormal, worldNormal, uv, clipNow, clipPrev (envmap.vs)
//      myTextureSampler  environment image;  V  view matrix
// out: 0 lit colour (HDR)
//      1 view-space normal * 0.5 + 0.5, alpha = linear depth / DEPTH_RANGE
//      2 screen-space velocity in texture units (rg), this frame minus the previous
//      3 view-space position (xyz), alpha 1 for geometry

in vec3 viewPos;
in vec3 viewNormal;
in vec3 worldNormal;
in vec2 uv;
in vec4 clipNow;
in vec4 clipPrev;

uniform sampler2D myTextureSampler;
uniform mat4 V;

layout(location = 0) out vec4 outColor;
layout(location = 1) out vec4 outNormalDepth;
layout(location = 2) out vec4 outVelocity;
layout(location = 3) out vec4 outPosition;

const float PI = 3.14159265;
const float DEPTH_RANGE = 600.0;
const vec3 SUN_DIRECTION = vec3(-0.62, 0.28, 0.73);   // world space, low in the west
const vec3 SUN_COLOR = vec3(1.35, 0.86, 0.52);
const vec3 SKY_FILL = vec3(0.20, 0.24, 0.36);
const vec3 RIM_COLOR = vec3(0.45, 0.55, 0.85);
const vec3 HAZE_COLOR = vec3(0.55, 0.42, 0.40);
const float HAZE_DENSITY = 0.0022;
const vec3 BASE_COLOR = vec3(0.56, 0.58, 0.62);
const float SHININESS = 80.0;
const float GAMMA = 2.2;             // images hold display-encoded colour

vec2 equirect(vec3 direction)
{
    vec3 d = normalize(direction);
    return vec2(atan(d.z, d.x) / (2.0 * PI) + 0.5, acos(clamp(d.y, -1.0, 1.0)) / PI);
}

vec2 velocity()
{
    // A vertex behind the camera in either frame gives no usable motion.
    if (clipNow.w <= 1e-4 || clipPrev.w <= 1e-4)
        return vec2(0.0);
    return (clipNow.xy / clipNow.w - clipPrev.xy / clipPrev.w) * 0.5;
}

void main()
{
    vec3 n = normalize(viewNormal);
    if (!gl_FrontFacing)
        n = -n;
    vec3 toEye = normalize(-viewPos);
    vec3 r = reflect(-toEye, n);
    vec3 reflectedWorld = transpose(mat3(V)) * r;
    vec3 environment = pow(texture(myTextureSampler, equirect(reflectedWorld)).rgb, vec3(GAMMA));

    vec3 sun = normalize(mat3(V) * normalize(SUN_DIRECTION));
    float facing = max(dot(n, toEye), 0.0);
    float fresnel = 0.08 + 0.92 * pow(1.0 - facing, 5.0);
    float diffuse = max(dot(n, sun), 0.0);
    float specular = pow(max(dot(r, sun), 0.0), SHININESS) * (SHININESS + 2.0) / 8.0;
    float skyLight = 0.5 + 0.5 * normalize(worldNormal).y;
    float rim = pow(1.0 - facing, 3.0);

    vec3 color = BASE_COLOR * (diffuse * SUN_COLOR + skyLight * SKY_FILL) * 0.55;
    color += environment * mix(0.55, 1.0, fresnel);
    color += specular * SUN_COLOR * 0.35;
    color += rim * RIM_COLOR * 0.25;

    float distance = length(viewPos);
    float haze = 1.0 - exp(-distance * HAZE_DENSITY);
    color = mix(color, HAZE_COLOR, clamp(haze, 0.0, 0.85));

    outColor = vec4(color, 1.0);
    outNormalDepth = vec4(n * 0.5 + 0.5, -viewPos.z / DEPTH_RANGE);
    outVelocity = vec4(velocity(), 0.0, 1.0);
    outPosition = vec4(viewPos, 1.0);
}
