#version 330 core
// Sobel edge detector: the gradient magnitude of the input, compressed so that HDR
// colours and normals both give edges in [0, 1]. Alpha (depth in the normal target)
// counts as a further channel.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    a scene target (lit colour, or normal and depth)
// out: color       edge strength in rgb, alpha 1

in vec2 UV;

uniform sampler2D inputtex;

out vec4 color;

const float DEPTH_WEIGHT = 6.0;
const float EDGE_GAIN = 0.45;

vec4 tap(vec2 offset)
{
    vec4 c = texture(inputtex, UV + offset);
    vec3 compressed = c.rgb / (1.0 + abs(c.rgb));
    return vec4(compressed, c.a * DEPTH_WEIGHT);
}

void main()
{
    vec2 texel = 1.0 / vec2(max(textureSize(inputtex, 0), ivec2(1)));
    vec4 tl = tap(vec2(-texel.x, texel.y));
    vec4 t = tap(vec2(0.0, texel.y));
    vec4 tr = tap(vec2(texel.x, texel.y));
    vec4 l = tap(vec2(-texel.x, 0.0));
    vec4 r = tap(vec2(texel.x, 0.0));
    vec4 bl = tap(vec2(-texel.x, -texel.y));
    vec4 b = tap(vec2(0.0, -texel.y));
    vec4 br = tap(vec2(texel.x, -texel.y));

    vec4 gx = (tr + 2.0 * r + br) - (tl + 2.0 * l + bl);
    vec4 gy = (tl + 2.0 * t + tr) - (bl + 2.0 * b + br);
    float edge = sqrt(dot(gx, gx) + dot(gy, gy)) * EDGE_GAIN;
    edge = edge / (1.0 + edge);
    color = vec4(vec3(edge), 1.0);
}
