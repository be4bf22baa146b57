#version 330 core
// Post-processing pass: black-and-white mix and a light film grain.
// in:  UV           texture coordinate from trivial.vs
//      inputtex     the composited picture
//      bwmix        0 = full colour, 1 = black and white (clamped)
//      iGlobalTime  seconds; moves the grain from frame to frame
// out: color        opaque picture

in vec2 UV;

uniform sampler2D inputtex;
uniform float bwmix;
uniform float iGlobalTime;

out vec4 color;

const vec3 LUMA = vec3(0.2126, 0.7152, 0.0722);   // Rec. 709 luminance weights
const float GRAIN_STRENGTH = 0.018;               // peak grain, about 4/255
const float GRAIN_FPS = 24.0;                     // grain pattern changes like film frames

// Cheap hash noise in [0, 1), stable for a pixel within one grain frame.
float hash(vec2 p)
{
    vec3 p3 = fract(vec3(p.xyx) * 0.1031);
    p3 += dot(p3, p3.yzx + 33.33);
    return fract((p3.x + p3.y) * p3.z);
}

void main()
{
    vec3 c = texture(inputtex, UV).rgb;
    float luma = dot(c, LUMA);
    c = mix(c, vec3(luma), clamp(bwmix, 0.0, 1.0));

    // Grain is strongest in the mid-tones and fades out in deep blacks and highlights,
    // so black frames stay black.
    float frame = floor(iGlobalTime * GRAIN_FPS);
    float n = hash(gl_FragCoord.xy + vec2(frame * 17.0, frame * 59.0)) - 0.5;
    float midtone = 4.0 * luma * (1.0 - clamp(luma, 0.0, 1.0));
    c += n * GRAIN_STRENGTH * midtone;

    color = vec4(max(c, vec3(0.0)), 1.0);
}
