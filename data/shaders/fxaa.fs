#version 330 core
// FXAA: finds luma edges, walks along each edge to its ends to learn where the pixel sits
// on the staircase, and re-samples the picture across the edge by that amount; isolated
// sub-pixel detail is blended with its neighbourhood. Flat areas pass through untouched.
// in:  UV        texture coordinate from trivial.vs
//      inputtex  the post-processed picture, the window's size (linear filtering, sampled
//                between texels along edges)
// out: color     the anti-aliased picture, opaque

in vec2 UV;

uniform sampler2D inputtex;

out vec4 color;

const float EDGE_THRESHOLD_MIN = 0.0312;  // ignore contrast below this in dark areas
const float EDGE_THRESHOLD_MAX = 0.125;   // ... and below this fraction of the local maximum
const float SUBPIXEL_QUALITY = 0.75;      // strength of sub-pixel smoothing
const float GRADIENT_SCALE = 0.25;        // an edge end is where the luma changes this much
const int SEARCH_STEPS = 10;              // samples taken along the edge in each direction
const float SEARCH_STEP_SIZE[SEARCH_STEPS] =
    float[](1.0, 1.0, 1.0, 1.0, 1.0, 1.5, 2.0, 2.0, 4.0, 8.0);
const vec3 LUMA_WEIGHTS = vec3(0.299, 0.587, 0.114);

// Perceptual luma: square root approximates the display's gamma, so edges in dark areas
// count as much as the eye sees them.
float luma(vec3 c)
{
    return sqrt(dot(clamp(c, 0.0, 1.0), LUMA_WEIGHTS));
}

float lumaAt(vec2 uv)
{
    return luma(texture(inputtex, uv).rgb);
}

// The picture has the window's size, so the pixel's own texel and its neighbours lie on
// texel centres, where filtering returns the texel itself: fetching the texel (clamped at
// the border, as the texture's edge mode would be) gives the same values for a fraction of
// a filtered lookup's cost on a software rasterizer.
ivec2 lastTexel;
ivec2 centreTexel;

vec3 texelAt(ivec2 offset)
{
    return texelFetch(inputtex, clamp(centreTexel + offset, ivec2(0), lastTexel), 0).rgb;
}

void main()
{
    ivec2 size = max(textureSize(inputtex, 0), ivec2(1));
    vec2 texel = 1.0 / vec2(size);
    lastTexel = size - 1;
    centreTexel = clamp(ivec2(UV * vec2(size)), ivec2(0), lastTexel);
    vec3 centre = texelAt(ivec2(0, 0));

    float lumaC = luma(centre);
    float lumaD = luma(texelAt(ivec2(0, -1)));
    float lumaU = luma(texelAt(ivec2(0, 1)));
    float lumaL = luma(texelAt(ivec2(-1, 0)));
    float lumaR = luma(texelAt(ivec2(1, 0)));

    float lumaMin = min(lumaC, min(min(lumaD, lumaU), min(lumaL, lumaR)));
    float lumaMax = max(lumaC, max(max(lumaD, lumaU), max(lumaL, lumaR)));
    float range = lumaMax - lumaMin;
    if (range < max(EDGE_THRESHOLD_MIN, lumaMax * EDGE_THRESHOLD_MAX)) {
        color = vec4(centre, 1.0);
        return;
    }

    float lumaDL = luma(texelAt(ivec2(-1, -1)));
    float lumaUR = luma(texelAt(ivec2(1, 1)));
    float lumaUL = luma(texelAt(ivec2(-1, 1)));
    float lumaDR = luma(texelAt(ivec2(1, -1)));

    float lumaDU = lumaD + lumaU;
    float lumaLR = lumaL + lumaR;
    float lumaLeftCorners = lumaDL + lumaUL;
    float lumaDownCorners = lumaDL + lumaDR;
    float lumaRightCorners = lumaDR + lumaUR;
    float lumaUpCorners = lumaUR + lumaUL;

    // Which way does the edge run? Compare second differences across rows and columns.
    float edgeHorizontal = abs(-2.0 * lumaL + lumaLeftCorners)
        + 2.0 * abs(-2.0 * lumaC + lumaDU) + abs(-2.0 * lumaR + lumaRightCorners);
    float edgeVertical = abs(-2.0 * lumaU + lumaUpCorners)
        + 2.0 * abs(-2.0 * lumaC + lumaLR) + abs(-2.0 * lumaD + lumaDownCorners);
    bool horizontal = edgeHorizontal >= edgeVertical;

    // Which side of the pixel is the edge on? The steeper neighbour across it.
    float luma1 = horizontal ? lumaD : lumaL;
    float luma2 = horizontal ? lumaU : lumaR;
    float gradient1 = luma1 - lumaC;
    float gradient2 = luma2 - lumaC;
    bool steepest1 = abs(gradient1) >= abs(gradient2);
    float gradientScaled = GRADIENT_SCALE * max(abs(gradient1), abs(gradient2));

    float stepLength = horizontal ? texel.y : texel.x;
    float lumaLocalAverage;
    if (steepest1) {
        stepLength = -stepLength;
        lumaLocalAverage = 0.5 * (luma1 + lumaC);
    } else {
        lumaLocalAverage = 0.5 * (luma2 + lumaC);
    }

    // Walk both ways along the edge, half a texel towards it, until the luma leaves the
    // edge's average by the gradient: those are the ends of the staircase step.
    vec2 edgeUV = UV;
    if (horizontal)
        edgeUV.y += 0.5 * stepLength;
    else
        edgeUV.x += 0.5 * stepLength;
    vec2 along = horizontal ? vec2(texel.x, 0.0) : vec2(0.0, texel.y);

    vec2 uv1 = edgeUV - along * SEARCH_STEP_SIZE[0];
    vec2 uv2 = edgeUV + along * SEARCH_STEP_SIZE[0];
    float lumaEnd1 = lumaAt(uv1) - lumaLocalAverage;
    float lumaEnd2 = lumaAt(uv2) - lumaLocalAverage;
    bool reached1 = abs(lumaEnd1) >= gradientScaled;
    bool reached2 = abs(lumaEnd2) >= gradientScaled;
    if (!reached1)
        uv1 -= along * SEARCH_STEP_SIZE[1];
    if (!reached2)
        uv2 += along * SEARCH_STEP_SIZE[1];

    for (int i = 2; i < SEARCH_STEPS && !(reached1 && reached2); ++i) {
        if (!reached1)
            lumaEnd1 = lumaAt(uv1) - lumaLocalAverage;
        if (!reached2)
            lumaEnd2 = lumaAt(uv2) - lumaLocalAverage;
        reached1 = abs(lumaEnd1) >= gradientScaled;
        reached2 = abs(lumaEnd2) >= gradientScaled;
        if (!reached1)
            uv1 -= along * SEARCH_STEP_SIZE[i];
        if (!reached2)
            uv2 += along * SEARCH_STEP_SIZE[i];
    }

    float distance1 = horizontal ? (UV.x - uv1.x) : (UV.y - uv1.y);
    float distance2 = horizontal ? (uv2.x - UV.x) : (uv2.y - UV.y);
    bool nearer1 = distance1 < distance2;
    float distanceFinal = min(distance1, distance2);
    float edgeLength = max(distance1 + distance2, 1e-6);
    float pixelOffset = 0.5 - distanceFinal / edgeLength;

    // Only move when the nearer end turns the way the centre leans; otherwise the pixel
    // is on the far side of the step and stays as it is.
    bool centreDarker = lumaC < lumaLocalAverage;
    bool correct = ((nearer1 ? lumaEnd1 : lumaEnd2) < 0.0) != centreDarker;
    float edgeOffset = correct ? pixelOffset : 0.0;

    // Sub-pixel aliasing: a pixel unlike its whole 3x3 neighbourhood is pulled toward it.
    float lumaAverage = (1.0 / 12.0)
        * (2.0 * (lumaDU + lumaLR) + lumaLeftCorners + lumaRightCorners);
    float subPixel1 = clamp(abs(lumaAverage - lumaC) / range, 0.0, 1.0);  // range > 0 here
    float subPixel2 = (-2.0 * subPixel1 + 3.0) * subPixel1 * subPixel1;
    float subPixelOffset = subPixel2 * subPixel2 * SUBPIXEL_QUALITY;

    float finalOffset = max(edgeOffset, subPixelOffset);
    vec2 finalUV = UV;
    if (horizontal)
        finalUV.y += finalOffset * stepLength;
    else
        finalUV.x += finalOffset * stepLength;

    color = vec4(texture(inputtex, finalUV).rgb, 1.0);
}
