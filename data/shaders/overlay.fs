#version 330 core
// The studio overlay: a translucent panel, and text whose coverage comes from the glyph
// atlas.
// in:  atlasUV  coordinates in the glyph atlas, from overlay.vs
//      glyphs   the atlas: glyph coverage in red, 0 to 1
//      colour   the colour and opacity drawn
//      solid    1 for the panel (full coverage), 0 for text
// out: fragColour  colour with the coverage as its opacity

in vec2 atlasUV;

uniform sampler2D glyphs;
uniform vec4 colour;
uniform float solid;

out vec4 fragColour;

void main()
{
    float coverage = max(solid, texture(glyphs, atlasUV).r);
    fragColour = vec4(colour.rgb, colour.a * coverage);
}
