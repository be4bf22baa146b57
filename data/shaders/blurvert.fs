#version 330 core
// Vertical half of the separable Gaussian blur used by the glow.
// in:  UV           texture coordinate from trivial.vs
//      inputtex     the picture to blur
//      sigma        Gaussian standard deviation, in steps of 1/iResolution of the picture
//                   height; 0 (or less than MIN_SIGMA) passes the picture through
//      iResolution  reference resolution that sets the step; 0 or less uses the texture's
//                   own height
// out: color        the blurred picture, opaque (so blending cannot darken it)

in vec2 UV;

uniform sampler2D inputtex;
uniform float sigma;
uniform float iResolution;

out vec4 color;

const int MAX_TAPS = 32;          // taps on each side of the centre
const float MIN_SIGMA = 0.05;      // below this the kernel is a single tap
const float KERNEL_EXTENT = 3.0;  // the kernel reaches 3 sigma; beyond that weights vanish
const vec2 AXIS = vec2(0.0, 1.0);

void main()
{
    vec4 centre = texture(inputtex, UV);
    float s = abs(sigma);
    if (!(s >= MIN_SIGMA)) {      // also catches NaN
        color = vec4(centre.rgb, 1.0);
        return;
    }

    float resolution = iResolution > 0.0 ? iResolution : float(textureSize(inputtex, 0).y);
    vec2 stepUV = AXIS / max(resolution, 1.0);

    // Wide kernels keep MAX_TAPS taps and space them further apart.
    float reach = KERNEL_EXTENT * s;
    int taps = int(min(ceil(reach), float(MAX_TAPS)));
    float spacing = max(reach / float(MAX_TAPS), 1.0);

    vec4 sum = centre;
    float weightSum = 1.0;
    for (int i = 1; i <= MAX_TAPS; ++i) {
        if (i > taps)
            break;
        float x = float(i) * spacing;
        float u = x / s;           // in sigmas; squaring x first could overflow
        float w = exp(-0.5 * u * u);
        vec2 offset = stepUV * x;
        sum += w * (texture(inputtex, UV + offset) + texture(inputtex, UV - offset));
        weightSum += 2.0 * w;
    }
    color = vec4(sum.rgb / weightSum, 1.0);   // weightSum >= 1: the centre always counts
}
