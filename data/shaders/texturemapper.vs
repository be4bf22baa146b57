#version 330 core
// Geometry pass vertex shader of the sky box: a plain textured mesh.
// in:  vertexPos, vertexUV, vertexnormal;  MVP
// out: uv

in vec3 vertexPos;
in vec2 vertexUV;
in vec3 vertexnormal;

uniform mat4 MVP;

out vec2 uv;

void main()
{
    uv = vertexUV;
    gl_Position = MVP * vec4(vertexPos, 1.0);
}
