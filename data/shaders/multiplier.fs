#version 330 core
// Applies the glow mask to the picture: a mask of 1 leaves it unchanged, more lights it
// (glowing edges), less darkens it.
// in:  UV          texture coordinate from trivial.vs
//      inputtex    the motion-blurred picture
//      mask        the glow of the edges plus the "addconst" lift
// out: color       product

in vec2 UV;

uniform sampler2D inputtex;
uniform sampler2D mask;

out vec4 color;

void main()
{
    vec3 picture = texture(inputtex, UV).rgb;
    vec3 m = max(texture(mask, UV).rgb, vec3(0.0));
    color = vec4(picture * m, 1.0);
}
