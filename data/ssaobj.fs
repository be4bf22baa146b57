#version 330 core
// Object pass of the occlusion scene: the two scene textures.
// in:  uv, worldNormal, viewNormal, viewDepth    from ssaobj.vs
//      myTextureSampler                          the model's colour texture
// out: colour (0)       textured colour under a soft light, opaque
//      normalDepth (1)  view-space unit normal (xyz) and view depth (w); the cleared
//                       background keeps w = 0

in vec2 uv;
in vec3 worldNormal;
in vec3 viewNormal;
in float viewDepth;

uniform sampler2D myTextureSampler;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 normalDepth;

const vec3 LIGHT_DIRECTION = vec3(0.45, 0.85, 0.3);   // towards the light, world space
// Mostly ambient light, so that the occlusion is what shapes the picture.
const float AMBIENT = 0.7;
const float DIFFUSE = 0.3;
const float MIN_LENGTH = 1e-6;

vec3 safeNormalize(vec3 v)
{
    float l = length(v);
    return l > MIN_LENGTH ? v / l : vec3(0.0, 0.0, 1.0);
}

void main()
{
    vec3 albedo = texture(myTextureSampler, uv).rgb;
    float light = AMBIENT + DIFFUSE * max(dot(safeNormalize(worldNormal), normalize(LIGHT_DIRECTION)), 0.0);
    colour = vec4(albedo * light, 1.0);
    normalDepth = vec4(safeNormalize(viewNormal), max(viewDepth, MIN_LENGTH));
}
