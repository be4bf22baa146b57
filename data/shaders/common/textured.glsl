// What every textured object pass reads: the corner's texture coordinate and the model's
// colour texture, and a normalisation that cannot divide by zero.
// in:  uv                 from the vertex shader
//      myTextureSampler   the model's texture

in vec2 uv;

uniform sampler2D myTextureSampler;

// A degenerate (zero-length) vector becomes the given fallback direction.
vec3 safeNormalize(vec3 v, vec3 fallback)
{
    float l = length(v);
    return l > 1e-6 ? v / l : fallback;
}
