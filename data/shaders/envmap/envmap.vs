#version 330 core
// Geometry pass vertex shader of the main scene's metal objects (bridge, pump jacks,
// truck); shared by envmap.fs and rekka.fs.
// in:  vertexPos, vertexUV, vertexnormal   object-space corner data
//      MVP, oldMVP     this and the previous draw's full transform
//      V               the camera's view matrix (rigid)
//      invProjection   inverse of the scene projection, set by the scene each frame, so
//                      view space follows from MVP even for animated parts
// out: viewPos, viewNormal (view space), uv, clipNow, clipPrev, worldNormal
//      material        the surface's material number, carried in vertexUV.x in steps of
//                      MATERIAL_STRIDE (uv keeps the surface's own coordinate)

in vec3 vertexPos;
in vec2 vertexUV;
in vec3 vertexnormal;

uniform mat4 MVP;
uniform mat4 oldMVP;
uniform mat4 V;
uniform mat4 invProjection;

out vec3 viewPos;
out vec3 viewNormal;
out vec3 worldNormal;
out vec2 uv;
out vec4 clipNow;
out vec4 clipPrev;
flat out float material;

const float MATERIAL_STRIDE = 1024.0;

void main()
{
    vec4 position = vec4(vertexPos, 1.0);
    clipNow = MVP * position;
    clipPrev = oldMVP * position;
    mat4 modelView = invProjection * MVP;
    viewPos = (modelView * position).xyz;
    viewNormal = mat3(modelView) * vertexnormal;
    // V is rigid: its transpose takes view-space directions back to the world.
    worldNormal = transpose(mat3(V)) * viewNormal;
    material = floor(vertexUV.x / MATERIAL_STRIDE + 0.5);
    uv = vec2(vertexUV.x - material * MATERIAL_STRIDE, vertexUV.y);
    gl_Position = clipNow;
}
