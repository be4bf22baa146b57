#version 330 core
// Darkens a picture towards its edges with a vignette image.
// in:  UV        texture coordinate from trivial.vs
//      inputtex  the picture
//      vignette  the vignette image: white keeps, black darkens
// out: color     opaque picture

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D vignette;

out vec4 color;

void main()
{
    color = vec4(texture(inputtex, UV).rgb * texture(vignette, UV).rgb, 1.0);
}
