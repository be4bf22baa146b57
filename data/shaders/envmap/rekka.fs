#version 330 core
// Geometry pass of painted, weathered steel (the far pump jacks, the truck's paint):
// a warm industrial paint whose grime comes from myTextureSampler, with a clear-coat
// environment glint. Writes the four scene targets.
// in:  viewPos, viewNormal, worldNormal, uv, clipNow, clipPrev (envmap.vs)
//      myTextureSampler  grime image (also sampled as a soft environment);  V  view matrix
// out: 0 lit colour (HDR), 1 normal * 0.5 + 0.5 with linear depth / DEPTH_RANGE in alpha,
//      2 screen-space velocity (rg), 3 view-space position (alpha 1)

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
const vec3 SUN_DIRECTION = vec3(-0.62, 0.28, 0.73);
const vec3 SUN_COLOR = vec3(1.35, 0.86, 0.52);
const vec3 SKY_FILL = vec3(0.20, 0.24, 0.36);
const vec3 PAINT_COLOR = vec3(0.62, 0.16, 0.08);
const vec3 HAZE_COLOR = vec3(0.30, 0.22, 0.24);
const float HAZE_DENSITY = 0.0022;
const float SHININESS = 24.0;
const float GAMMA = 2.2;             // images hold display-encoded colour

vec2 equirect(vec3 direction)
{
    vec3 d = normalize(direction);
    return vec2(atan(d.z, d.x) / (2.0 * PI) + 0.5, acos(clamp(d.y, -1.0, 1.0)) / PI);
}

vec2 velocity()
{
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
    vec3 sun = normalize(mat3(V) * normalize(SUN_DIRECTION));

    float grime = dot(texture(myTextureSampler, uv * 2.0).rgb, vec3(0.333));
    vec3 paint = PAINT_COLOR * mix(0.45, 1.1, grime);
    float facing = max(dot(n, toEye), 0.0);
    float fresnel = 0.04 + 0.96 * pow(1.0 - facing, 5.0);
    float diffuse = max(dot(n, sun), 0.0) * 0.9 + 0.1;
    float skyLight = 0.5 + 0.5 * normalize(worldNormal).y;
    float specular = pow(max(dot(r, sun), 0.0), SHININESS) * 0.6;
    vec3 glint = pow(texture(myTextureSampler, equirect(transpose(mat3(V)) * r)).rgb, vec3(GAMMA));

    vec3 color = paint * (diffuse * SUN_COLOR + skyLight * SKY_FILL);
    color += (glint * 0.5 + SKY_FILL) * fresnel + specular * SUN_COLOR;

    float haze = 1.0 - exp(-length(viewPos) * HAZE_DENSITY);
    color = mix(color, HAZE_COLOR, clamp(haze, 0.0, 0.85));

    outColor = vec4(color, 1.0);
    outNormalDepth = vec4(n * 0.5 + 0.5, -viewPos.z / DEPTH_RANGE);
    outVelocity = vec4(velocity(), 0.0, 1.0);
    outPosition = vec4(viewPos, 1.0);
}
