#version 330 core
// Billboard particles: one camera-facing quad per instance, spread along the camera's
// world-space axes around the particle's centre.
// in:  corner (0)        quad corner in [-0.5, 0.5]^2 (per vertex)
//      positionSize (1)  particle centre in world space (xyz) and size (w) (per instance)
//      colour (2)        particle colour, normalised bytes (per instance)
//      P                 world-to-clip transform (projection times view)
//      camRight, camUp   the camera's right and up axes in world space
// out: uv                texture coordinate over the quad, (0,0) to (1,1)
//      tint              the particle's colour

layout(location = 0) in vec3 corner;
layout(location = 1) in vec4 positionSize;
layout(location = 2) in vec4 colour;

uniform mat4 P;
uniform vec3 camRight;
uniform vec3 camUp;

out vec2 uv;
out vec4 tint;

void main()
{
    vec3 centre = positionSize.xyz;
    float size = positionSize.w;
    vec3 world = centre + (camRight * corner.x + camUp * corner.y) * size;
    gl_Position = P * vec4(world, 1.0);
    uv = corner.xy + vec2(0.5);
    tint = colour;
}
