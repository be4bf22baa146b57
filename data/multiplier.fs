#version 330 core
// Multiplies a picture by a mask (for example an occlusion term).
// in:  UV        texture coordinate from trivial.vs
//      inputtex  the picture
//      mask      the factor per pixel (rgb)
// out: color     opaque product

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D mask;

out vec4 color;

void main()
{
    color = vec4(texture(inputtex, UV).rgb * texture(mask, UV).rgb, 1.0);
}
