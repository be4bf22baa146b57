#version 330 core
// The studio overlay's panel and text, placed in window pixels.
// in:  overlayVertex  xy: position in pixels from the window's top-left corner
//                     zw: coordinates in the glyph atlas (unused by the panel)
//      screen         the window's size in pixels
// out: atlasUV        coordinates in the glyph atlas

in vec4 overlayVertex;

uniform vec2 screen;

out vec2 atlasUV;

void main()
{
    vec2 toClip = 2.0 / max(screen, vec2(1.0));
    vec2 clip = overlayVertex.xy * toClip - 1.0;
    gl_Position = vec4(clip.x, -clip.y, 0.0, 1.0);
    atlasUV = overlayVertex.zw;
}
