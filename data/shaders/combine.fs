#version 330 core
// Joins the two edge images: shape edges (from normals and depth) and colour edges.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    edges of the normal-and-depth target
//      vignette    edges of the lit colour
// out: color       combined edge strength, tinted towards the dusk light

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D vignette;

out vec4 color;

const vec3 EDGE_TINT = vec3(1.0, 0.78, 0.55);
const float SHAPE_WEIGHT = 0.7;
const float COLOUR_WEIGHT = 0.5;

void main()
{
    float shape = texture(inputtex, UV).r;
    float colour = texture(vignette, UV).r;
    float edge = clamp(max(shape * SHAPE_WEIGHT, colour * COLOUR_WEIGHT), 0.0, 1.0);
    color = vec4(edge * EDGE_TINT, 1.0);
}
