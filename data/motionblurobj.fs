#version 330 core
// Object pass of the motion-blur scene: the two scene textures.
// in:  uv, worldNormal, clipNow, clipPrev   from motionblurobj.vs
//      myTextureSampler                    the model's colour texture
// out: colour (0)    textured colour under a key and a fill light, opaque
//      velocity (1)  screen movement since the previous draw in texture units (rg);
//                    zero where nothing was drawn

#include "shaders/common/textured.glsl"
#include "shaders/common/velocity.glsl"

in vec3 worldNormal;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 velocity;

// The scene's glow adds roughly its own picture again, so the lights are set to about half
// of what would look right without it.
const vec3 KEY_DIRECTION = vec3(0.5, 0.8, -0.35);  // towards the light, world space
const vec3 KEY_COLOUR = vec3(0.42, 0.39, 0.34);
const vec3 FILL_COLOUR = vec3(0.09, 0.1, 0.13);

void main()
{
    vec3 albedo = texture(myTextureSampler, uv).rgb;
    vec3 n = safeNormalize(worldNormal, vec3(0.0, 1.0, 0.0));
    float key = max(dot(n, normalize(KEY_DIRECTION)), 0.0);
    float fill = 0.5 + 0.5 * n.y;
    colour = vec4(albedo * (KEY_COLOUR * key + FILL_COLOUR * fill), 1.0);
    velocity = vec4(screenVelocity(), 0.0, 1.0);
}
