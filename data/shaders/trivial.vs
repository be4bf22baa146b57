#version 330 core
// Full-screen pass vertex shader, shared by every image effect and compositing pass.
// in:  trivial_vertices  clip-space position of the screen-filling quad (z = 0)
// out: UV                texture coordinate, (0,0) bottom-left to (1,1) top-right

in vec3 trivial_vertices;

out vec2 UV;

void main()
{
    UV = trivial_vertices.xy * 0.5 + 0.5;
    gl_Position = vec4(trivial_vertices, 1.0);
}
