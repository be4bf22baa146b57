#version 330 core
// Geometry pass of polished metal: environment reflection from myTextureSampler (an
// equirectangular image, zenith in its first row), a low dusk sun, a cool rim and
// distance haze. Writes the four scene targets.
// in:  viewPos, viewNormal, worldNormal, uv, clipNow, clipPrev (envmap.vs)
//      myTextureSampler  environment image;  V  view matrix
// out: 0 lit colour (HDR)
//      1 view-space normal * 0.5 + 0.5, alpha = linear depth / DEPTH_RANGE
//      2 screen-space velocity in texture units (rg), this frame minus the previous
//      3 view-space position (xyz), alpha 1 for geometry

#include "surface.glsl"

const vec3 RIM_COLOR = vec3(0.45, 0.55, 0.85);
const float HAZE_DENSITY = 0.0016;
const vec3 BASE_COLOR = vec3(0.36, 0.37, 0.40);
const float ROUGH_LOD = 4.0;         // mip level of the blurred reflection
const float REFLECTIVITY = 0.45;
const vec3 GROUND_COLOR = vec3(0.24, 0.17, 0.11);   // dust and earth on upward faces
const vec3 DRY_GRASS = vec3(0.32, 0.27, 0.12);
const vec3 ASPHALT = vec3(0.045, 0.045, 0.05);
const vec3 LANE_PAINT = vec3(0.55, 0.5, 0.35);
const float ROAD_HALF_WIDTH = 4.0;   // the road runs along z at x = 0, y = 0
const float ROAD_LEVEL_TOLERANCE = 0.6;
const float SHININESS = 80.0;

float hash(vec2 p)
{
    return fract(sin(dot(p, vec2(127.1, 311.7))) * 43758.5453);
}

// Value noise over the ground plane, a few octaves: patches of dust, gravel and oil.
float groundNoise(vec2 p)
{
    float sum = 0.0;
    float amplitude = 0.5;
    for (int octave = 0; octave < 4; ++octave) {
        vec2 cell = floor(p);
        vec2 f = fract(p);
        f = f * f * (3.0 - 2.0 * f);
        float a = hash(cell), b = hash(cell + vec2(1.0, 0.0));
        float c = hash(cell + vec2(0.0, 1.0)), d = hash(cell + vec2(1.0, 1.0));
        sum += amplitude * mix(mix(a, b, f.x), mix(c, d, f.x), f.y);
        p *= 2.13;
        amplitude *= 0.5;
    }
    return sum;
}

void main()
{
    vec3 n = facingNormal();
    vec3 toEye = normalize(-viewPos);
    vec3 r = reflect(-toEye, n);
    vec3 reflectedWorld = transpose(mat3(V)) * r;
    vec2 envUV = equirect(reflectedWorld);
    // Brushed, weathered steel: mostly a blurred reflection, a little of the sharp one.
    vec3 sharp = pow(texture(myTextureSampler, envUV).rgb, vec3(GAMMA));
    vec3 rough = pow(textureLod(myTextureSampler, envUV, ROUGH_LOD).rgb, vec3(GAMMA));
    vec3 environment = mix(rough, sharp, 0.3);

    vec3 sun = normalize(mat3(V) * normalize(SUN_DIRECTION));
    float facing = max(dot(n, toEye), 0.0);
    float fresnel = 0.06 + 0.5 * pow(1.0 - facing, 5.0);
    float diffuse = max(dot(n, sun), 0.0);
    float specular = pow(max(dot(r, sun), 0.0), SHININESS) * (SHININESS + 2.0) / 8.0;
    float skyLight = 0.5 + 0.5 * normalize(worldNormal).y;
    float rim = pow(1.0 - facing, 3.0);

    // Faces that look up (ground, road, deck tops) gather dust and read as matte;
    // the steel of piers, towers and cables keeps its reflection.
    float matte = smoothstep(0.55, 0.92, normalize(worldNormal).y);
    vec3 worldPos = transpose(mat3(V)) * (viewPos - V[3].xyz);
    float patches = groundNoise(worldPos.xz * 0.035);
    float grain = groundNoise(worldPos.xz * 0.6);
    vec3 ground = mix(GROUND_COLOR, DRY_GRASS, smoothstep(0.35, 0.65, patches));
    ground *= mix(0.7, 1.25, grain);
    // The road: asphalt with a dashed centre line, on the deck and the approaches.
    float road = step(abs(worldPos.x), ROAD_HALF_WIDTH) * step(abs(worldPos.y), ROAD_LEVEL_TOLERANCE);
    float dash = step(abs(worldPos.x), 0.12) * step(fract(worldPos.z / 9.0), 0.5);
    vec3 asphalt = mix(ASPHALT * mix(0.8, 1.2, grain), LANE_PAINT, dash);
    ground = mix(ground, asphalt, road);
    vec3 base = mix(BASE_COLOR, ground, matte);
    vec3 color = base * (diffuse * SUN_COLOR + skyLight * SKY_FILL) * 0.8;
    color += environment * REFLECTIVITY * (0.4 + fresnel) * (1.0 - 0.97 * matte);
    // Glints and the rim light belong to the steel; on the matte ground they would turn
    // every grazing view into a bright sheen.
    float steel = 1.0 - matte;
    color += specular * SUN_COLOR * 0.35 * steel;
    color += rim * RIM_COLOR * 0.25 * steel;

    writeTargets(color, n, HAZE_DENSITY);
}
