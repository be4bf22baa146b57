#version 330 core
// The title logo over the picture: logo 0 shows no logo, 1 shows it fully. The logo
// image keeps its aspect ratio, centred, and casts a soft dark halo for legibility.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    the picture
//      logotex     the logo image with alpha (first row = top)
//      logo        how much of the logo shows (clamped to [0, 1])
// out: color

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D logotex;
uniform float logo;

out vec4 color;

const float LOGO_WIDTH = 0.62;      // fraction of the frame width
const float HALO_STRENGTH = 0.45;

vec4 logoAt(vec2 uv)
{
    vec2 frame = vec2(textureSize(inputtex, 0));
    vec2 image = vec2(max(textureSize(logotex, 0), ivec2(1)));
    float aspect = (frame.x / max(frame.y, 1.0)) * (image.y / image.x);
    vec2 p = vec2((uv.x - 0.5) / LOGO_WIDTH + 0.5, (uv.y - 0.5) / (LOGO_WIDTH * aspect) + 0.5);
    if (any(lessThan(p, vec2(0.0))) || any(greaterThan(p, vec2(1.0))))
        return vec4(0.0);
    // The image's first row is its top; texture coordinates grow upwards.
    return texture(logotex, vec2(p.x, 1.0 - p.y));
}

void main()
{
    vec3 picture = texture(inputtex, UV).rgb;
    float amount = clamp(logo, 0.0, 1.0);
    if (amount <= 0.0) {
        color = vec4(picture, 1.0);
        return;
    }
    vec4 l = logoAt(UV);
    float halo = 0.0;
    for (int i = 0; i < 8; ++i) {
        float angle = float(i) * 0.785398;
        halo += logoAt(UV + vec2(cos(angle), sin(angle)) * 0.006).a;
    }
    picture *= 1.0 - HALO_STRENGTH * amount * clamp(halo / 8.0, 0.0, 1.0);
    color = vec4(mix(picture, l.rgb, l.a * amount), 1.0);
}
