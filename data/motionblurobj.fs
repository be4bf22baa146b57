#version 330 core
// Object pass of the motion-blur scene: the two scene textures.
// in:  uv, worldNormal, clipNow, clipPrev   from motionblurobj.vs
//      myTextureSampler                    the model's colour texture
// out: colour (0)    textured colour under a key and a fill light, opaque
//      velocity (1)  screen movement since the previous draw in texture units (rg);
//                    zero where nothing was drawn

in vec2 uv;
in vec3 worldNormal;
in vec4 clipNow;
in vec4 clipPrev;

uniform sampler2D myTextureSampler;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 velocity;

// The scene's glow adds roughly its own picture again, so the lights are set to about half
// of what would look right without it.
const vec3 KEY_DIRECTION = vec3(0.5, 0.8, -0.35);  // towards the light, world space
const vec3 KEY_COLOUR = vec3(0.42, 0.39, 0.34);
const vec3 FILL_COLOUR = vec3(0.09, 0.1, 0.13);
const float MIN_W = 1e-4;   // a previous position behind the camera has no screen place

vec3 safeNormalize(vec3 v)
{
    float l = length(v);
    return l > 1e-6 ? v / l : vec3(0.0, 1.0, 0.0);
}

void main()
{
    vec3 albedo = texture(myTextureSampler, uv).rgb;
    vec3 n = safeNormalize(worldNormal);
    float key = max(dot(n, normalize(KEY_DIRECTION)), 0.0);
    float fill = 0.5 + 0.5 * n.y;
    colour = vec4(albedo * (KEY_COLOUR * key + FILL_COLOUR * fill), 1.0);

    vec2 motion = vec2(0.0);
    if (clipNow.w > MIN_W && clipPrev.w > MIN_W)
        motion = (clipNow.xy / clipNow.w - clipPrev.xy / clipPrev.w) * 0.5;
    velocity = vec4(motion, 0.0, 1.0);
}
