#version 330 core
// Geometry pass of the far pump jacks: the materials of envmap.fs (materials.glsl) with
// the dust and faded paint of machines that stand in the field all year, and a little
// more haze. Writes the four scene targets.
// in:  viewPos, viewNormal, worldNormal, uv, material, clipNow, clipPrev (envmap.vs)
//      myTextureSampler  environment image;  V  view matrix
// out: 0 lit colour (HDR), 1 normal * 0.5 + 0.5 with linear depth / DEPTH_RANGE in alpha,
//      2 screen-space velocity (rg), 3 view-space position (alpha 1)

#include "materials.glsl"

const float HAZE_DENSITY = 0.0022;
const float WEATHERING = 0.25;

void main()
{
    writeTargets(shadeMaterial(WEATHERING), facingNormal(), HAZE_DENSITY);
}
