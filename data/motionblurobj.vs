#version 330 core
// Object pass of the motion-blur scene: textured models with this and the previous
// draw's clip-space position, from which the fragment shader takes the screen velocity.
// in:  vertexPos, vertexUV, vertexnormal   object-space corner data
//      MVP, oldMVP                         this and the previous draw's full transform
//      M                                   model matrix (rigid)
// out: uv, worldNormal, clipNow, clipPrev

in vec3 vertexPos;
in vec2 vertexUV;
in vec3 vertexnormal;

uniform mat4 MVP;
uniform mat4 oldMVP;
uniform mat4 M;

out vec2 uv;
out vec3 worldNormal;
out vec4 clipNow;
out vec4 clipPrev;

void main()
{
    vec4 position = vec4(vertexPos, 1.0);
    clipNow = MVP * position;
    clipPrev = oldMVP * position;
    worldNormal = mat3(M) * vertexnormal;
    uv = vertexUV;
    gl_Position = clipNow;
}
