#version 330 core
// Geometry pass of the main scene's standing and moving objects (the bridge with its
// valley, the near pump jack, the truck): each surface shaded by its material
// (materials.glsl), reflecting myTextureSampler (an equirectangular environment image,
// zenith in its first row) under the low dusk sun, then distance haze. Writes the four
// scene targets.
// in:  viewPos, viewNormal, worldNormal, uv, material, clipNow, clipPrev (envmap.vs)
//      myTextureSampler  environment image;  V  view matrix
// out: 0 lit colour (HDR)
//      1 view-space normal * 0.5 + 0.5, alpha = linear depth / DEPTH_RANGE
//      2 screen-space velocity in texture units (rg), this frame minus the previous
//      3 view-space position (xyz), alpha 1 for geometry

#include "materials.glsl"

const float HAZE_DENSITY = 0.0016;

void main()
{
    writeTargets(shadeMaterial(0.0), facingNormal(), HAZE_DENSITY);
}
