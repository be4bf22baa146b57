// The main scene's four geometry targets, written by every geometry pass:
// 0 lit colour (HDR)
// 1 view-space normal * 0.5 + 0.5, alpha = linear depth / DEPTH_RANGE
// 2 screen-space velocity in texture units (rg), this frame minus the previous
// 3 view-space position (xyz), alpha 1 for geometry and 0 for the sky

layout(location = 0) out vec4 outColor;
layout(location = 1) out vec4 outNormalDepth;
layout(location = 2) out vec4 outVelocity;
layout(location = 3) out vec4 outPosition;

const float DEPTH_RANGE = 600.0;
