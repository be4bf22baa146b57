#version 330 core
// Brings the HDR picture to display range with a filmic curve, grades it towards dusk
// tones and darkens the frame's edges with the vignette image.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    the picture (linear HDR)
//      vignette    vignette image: white keeps, darker darkens
// out: color       display-referred picture in [0, 1]

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D vignette;

out vec4 color;

const float EXPOSURE = 0.9;
const float VIGNETTE_STRENGTH = 0.85;
const vec3 SHADOW_TINT = vec3(0.92, 0.96, 1.08);
const vec3 HIGHLIGHT_TINT = vec3(1.05, 1.0, 0.92);

// A fitted filmic curve: soft toe, gentle shoulder, white at about 11.
vec3 filmic(vec3 x)
{
    const float a = 2.51, b = 0.03, c = 2.43, d = 0.59, e = 0.14;
    return clamp((x * (a * x + b)) / (x * (c * x + d) + e), 0.0, 1.0);
}

void main()
{
    vec3 hdr = max(texture(inputtex, UV).rgb, vec3(0.0)) * EXPOSURE;
    vec3 mapped = filmic(hdr);
    float luma = dot(mapped, vec3(0.2126, 0.7152, 0.0722));
    mapped *= mix(SHADOW_TINT, HIGHLIGHT_TINT, smoothstep(0.1, 0.8, luma));
    // Display encoding: the targets hold linear light.
    mapped = pow(clamp(mapped, 0.0, 1.0), vec3(1.0 / 2.2));
    vec3 v = texture(vignette, UV).rgb;
    color = vec4(mapped * mix(vec3(1.0), v, VIGNETTE_STRENGTH), 1.0);
}
