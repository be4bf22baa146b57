#version 330 core
// Billboard particles: the sprite texture tinted by the particle's colour; the alpha goes
// to the blending the owner sets up.
// in:  uv        texture coordinate over the quad
//      tint      the particle's colour and opacity
//      particle  the sprite (unit 0)
// out: color     tinted sprite

in vec2 uv;
in vec4 tint;

uniform sampler2D particle;

out vec4 color;

void main()
{
    color = texture(particle, uv) * tint;
}
