#version 330 core
// Object pass of the occlusion scene: the two scene textures.
// in:  uv, worldNormal, viewNormal, viewDepth    from ssaobj.vs
//      myTextureSampler                          the model's colour texture
// out: colour (0)       textured colour under a soft light, opaque
//      normalDepth (1)  view-space unit normal, octahedron-encoded (rg), and view depth
//                       (b); the cleared background keeps b = 0. Alpha is 1 like every
//                       output, so that blending, when it is on, passes the values through.

#include "shaders/common/textured.glsl"

in vec3 worldNormal;
in vec3 viewNormal;
in float viewDepth;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 normalDepth;

const vec3 LIGHT_DIRECTION = vec3(0.45, 0.85, 0.3);   // towards the light, world space
// Mostly ambient light, so that the occlusion is what shapes the picture.
const float AMBIENT = 0.7;
const float DIFFUSE = 0.3;
const float MIN_LENGTH = 1e-6;

// The unit sphere folded onto the octahedron |x| + |y| + |z| = 1 and flattened: two
// numbers that keep a normal exact in any direction.
vec2 encodeNormal(vec3 n)
{
    n /= abs(n.x) + abs(n.y) + abs(n.z);
    vec2 folded = (1.0 - abs(n.yx)) * vec2(n.x >= 0.0 ? 1.0 : -1.0, n.y >= 0.0 ? 1.0 : -1.0);
    return n.z >= 0.0 ? n.xy : folded;
}

void main()
{
    vec3 albedo = texture(myTextureSampler, uv).rgb;
    const vec3 towardsViewer = vec3(0.0, 0.0, 1.0);
    float light = AMBIENT + DIFFUSE
        * max(dot(safeNormalize(worldNormal, towardsViewer), normalize(LIGHT_DIRECTION)), 0.0);
    colour = vec4(albedo * light, 1.0);
    normalDepth = vec4(encodeNormal(safeNormalize(viewNormal, towardsViewer)),
        max(viewDepth, MIN_LENGTH), 1.0);
}
