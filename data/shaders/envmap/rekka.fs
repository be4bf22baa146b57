#version 330 core
// Geometry pass of painted, weathered steel (the far pump jacks, the truck's paint):
// a warm industrial paint whose grime comes from myTextureSampler, with a clear-coat
// environment glint. Writes the four scene targets.
// in:  viewPos, viewNormal, worldNormal, uv, clipNow, clipPrev (envmap.vs)
//      myTextureSampler  grime image (also sampled as a soft environment);  V  view matrix
// out: 0 lit colour (HDR), 1 normal * 0.5 + 0.5 with linear depth / DEPTH_RANGE in alpha,
//      2 screen-space velocity (rg), 3 view-space position (alpha 1)

#include "surface.glsl"

const vec3 PAINT_COLOR = vec3(0.62, 0.16, 0.08);
const float HAZE_DENSITY = 0.0022;
const float SHININESS = 24.0;

void main()
{
    vec3 n = facingNormal();
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

    writeTargets(color, n, HAZE_DENSITY);
}
