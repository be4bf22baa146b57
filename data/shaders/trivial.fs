#version 330 core
// Default compositing pass: the scene's lit colour becomes the picture.
// in:  UV        texture coordinate from trivial.vs
//      texture0  lit colour of the scene (further scene outputs are read by other passes)
//      time      seconds (unused by the default pass)
// out: color     opaque picture; empty background stays black

in vec2 UV;

uniform sampler2D texture0;
uniform float time;

out vec4 color;

void main()
{
    color = vec4(texture(texture0, UV).rgb, 1.0);
}
