#version 330 core
// Object pass of the occlusion scene: textured models with their view-space normal and
// depth for the occlusion pass.
// in:  vertexPos, vertexUV, vertexnormal   object-space corner data
//      MVP, M, V                           full transform, model and (rigid) view matrices
// out: uv, worldNormal, viewNormal, viewDepth (distance in front of the camera)

in vec3 vertexPos;
in vec2 vertexUV;
in vec3 vertexnormal;

uniform mat4 MVP;
uniform mat4 M;
uniform mat4 V;

out vec2 uv;
out vec3 worldNormal;
out vec3 viewNormal;
out float viewDepth;

void main()
{
    vec4 position = vec4(vertexPos, 1.0);
    mat4 modelView = V * M;
    viewDepth = -(modelView * position).z;
    // Both matrices are rigid, so normals go through their upper 3x3 parts.
    viewNormal = mat3(modelView) * vertexnormal;
    worldNormal = mat3(M) * vertexnormal;
    uv = vertexUV;
    gl_Position = MVP * position;
}
