#version 330 core
// Horizontal half of a separable Gaussian blur.
// in:  UV           texture coordinate from trivial.vs
//      inputtex     the picture to blur
//      sigma        standard deviation in steps of 1/iResolution; below MIN_SIGMA the
//                   picture passes through
//      iResolution  reference resolution that sets the step; 0 or less uses the texture's
//                   own size
// out: color        blurred, opaque picture

in vec2 UV;

uniform sampler2D inputtex;
uniform float sigma;
uniform float iResolution;

out vec4 color;

const int TAPS = 24;             // taps on each side of the centre
const float MIN_SIGMA = 0.05;
const float EXTENT = 3.0;        // the kernel reaches 3 sigma
const vec2 AXIS = vec2(1.0, 0.0);

void main()
{
    vec3 centre = texture(inputtex, UV).rgb;
    float s = abs(sigma);
    if (!(s >= MIN_SIGMA)) {     // also catches NaN
        color = vec4(centre, 1.0);
        return;
    }
    float resolution = iResolution > 0.0 ? iResolution : float(textureSize(inputtex, 0).x);
    vec2 stepUV = AXIS / max(resolution, 1.0);
    // Wide kernels keep TAPS taps and space them further apart.
    float spacing = max(EXTENT * s / float(TAPS), 1.0);
    vec3 sum = centre;
    float weights = 1.0;
    for (int i = 1; i <= TAPS; ++i) {
        float x = float(i) * spacing;
        if (x > EXTENT * s)
            break;
        float u = x / s;
        float w = exp(-0.5 * u * u);
        sum += w * (texture(inputtex, UV + stepUV * x).rgb + texture(inputtex, UV - stepUV * x).rgb);
        weights += 2.0 * w;
    }
    color = vec4(sum / weights, 1.0);
}
