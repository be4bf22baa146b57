#version 330 core
// Object pass of the reflection scene: the four scene textures.
// in:  uv, viewPos, viewNormal, worldNormal, upness   from ssrobj.vs
//      myTextureSampler                              the model's colour texture
// out: colour (0)        textured colour under a key and a fill light, opaque
//      normal (1)        view-space unit normal (xyz)
//      position (2)      view-space position (xyz); w = 1 marks drawn pixels
//      reflectivity (3)  share of reflected light (r): floors reflect, walls barely

#include "../common/textured.glsl"

in vec3 viewPos;
in vec3 viewNormal;
in vec3 worldNormal;
in float upness;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 normal;
layout(location = 2) out vec4 position;
layout(location = 3) out vec4 reflectivity;

const vec3 KEY_DIRECTION = vec3(0.4, 0.9, 0.25);   // towards the light, world space
const float AMBIENT = 0.35;
const float DIFFUSE = 0.65;
const float FLOOR_REFLECTIVITY = 0.75;
const float WALL_REFLECTIVITY = 0.12;

void main()
{
    vec3 albedo = texture(myTextureSampler, uv).rgb;
    const vec3 towardsViewer = vec3(0.0, 0.0, 1.0);
    float light = AMBIENT + DIFFUSE
        * max(dot(safeNormalize(worldNormal, towardsViewer), normalize(KEY_DIRECTION)), 0.0);
    colour = vec4(albedo * light, 1.0);
    normal = vec4(safeNormalize(viewNormal, towardsViewer), 1.0);
    position = vec4(viewPos, 1.0);
    float floorness = smoothstep(0.8, 0.98, upness);
    reflectivity = vec4(mix(WALL_REFLECTIVITY, FLOOR_REFLECTIVITY, floorness), 0.0, 0.0, 1.0);
}
