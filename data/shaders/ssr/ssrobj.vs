#version 330 core
// Object pass of the reflection scene: textured models with their view-space position and
// normal, and how reflective each surface is.
// in:  vertexPos, vertexUV, vertexnormal   object-space corner data
//      MVP, M, V                           full transform, model and (rigid) view matrices
// out: uv, viewPos, viewNormal, worldNormal, upness (the object-space normal's y, so
//      a floor stays reflective while its model swings)

in vec3 vertexPos;
in vec2 vertexUV;
in vec3 vertexnormal;

uniform mat4 MVP;
uniform mat4 M;
uniform mat4 V;

out vec2 uv;
out vec3 viewPos;
out vec3 viewNormal;
out vec3 worldNormal;
out float upness;

void main()
{
    vec4 position = vec4(vertexPos, 1.0);
    mat4 modelView = V * M;
    viewPos = (modelView * position).xyz;
    viewNormal = mat3(modelView) * vertexnormal;
    worldNormal = mat3(M) * vertexnormal;
    upness = vertexnormal.y;
    uv = vertexUV;
    gl_Position = MVP * position;
}
