// The main scene's materials. Every triangle carries a material number (decoded by
// envmap.vs into `material`) that picks a colour, a finish and a glow from the tables
// below; some materials add a pattern of their own: formwork lines and rain streaks on
// concrete, markings and wear on the road, grass, dirt and rock over the ground, ripples
// on the river, seams and rust on the tanks. Moving models take their detail from their
// own texture coordinates (metres on the surface), standing ones from the world position.
// Every pattern is computed for every pixel and weighted by its material, without
// branches: a software rasteriser runs every branch that any pixel of a block takes.
// The numbers must match the generator's material list (tools/assetgen/geometry).
// in:  material (envmap.vs), and what surface.glsl reads

#include "surface.glsl"

flat in float material;

const int MAT_PLAIN = 0;
const int MAT_CAB_PAINT = 1;
const int MAT_GLASS = 2;
const int MAT_CHROME = 3;
const int MAT_RUBBER = 4;
const int MAT_DARK_STEEL = 5;
const int MAT_TRAILER_PANEL = 6;
const int MAT_LIVERY = 7;
const int MAT_HEAD_LAMP = 8;
const int MAT_TAIL_LAMP = 9;
const int MAT_JACK_PAINT = 10;
const int MAT_JACK_ACCENT = 11;
const int MAT_CONCRETE_PAD = 12;
const int MAT_CONCRETE = 13;
const int MAT_CABLE = 14;
const int MAT_RAILING = 15;
const int MAT_LAMP_POST = 16;
const int MAT_STREET_LAMP = 17;
const int MAT_ASPHALT = 18;
const int MAT_KERB = 19;
const int MAT_TERRAIN = 20;
const int MAT_WATER = 21;
const int MAT_TANK = 22;
const int MAT_PIPE = 23;
const int MATERIAL_COUNT = 24;

// Base colour (linear).
const vec3 ALBEDO[MATERIAL_COUNT] = vec3[MATERIAL_COUNT](
    vec3(0.36, 0.37, 0.40),  // plain
    vec3(0.50, 0.035, 0.025), // cab paint: signal red
    vec3(0.010, 0.012, 0.016), // glass
    vec3(0.06, 0.06, 0.065), // chrome
    vec3(0.022, 0.022, 0.024), // rubber
    vec3(0.055, 0.055, 0.06), // dark steel
    vec3(0.70, 0.70, 0.68),  // trailer panel
    vec3(0.025, 0.09, 0.36), // livery blue
    vec3(0.9, 0.9, 0.85),    // head lamp
    vec3(0.5, 0.05, 0.03),   // tail lamp
    vec3(0.72, 0.46, 0.05),  // pump jack paint: oilfield yellow
    vec3(0.36, 0.045, 0.03), // pump jack counterweights: oxide red
    vec3(0.40, 0.38, 0.35),  // concrete pad
    vec3(0.50, 0.48, 0.45),  // concrete
    vec3(0.075, 0.08, 0.085), // cable steel
    vec3(0.42, 0.43, 0.44),  // galvanised railing
    vec3(0.10, 0.11, 0.12),  // lamp post
    vec3(1.0, 0.8, 0.5),     // street lamp lens
    vec3(0.055, 0.055, 0.06), // asphalt
    vec3(0.42, 0.41, 0.39),  // kerb and walkway
    vec3(0.24, 0.21, 0.10),  // terrain (replaced by its pattern)
    vec3(0.018, 0.03, 0.035), // water
    vec3(0.62, 0.62, 0.60),  // tank paint
    vec3(0.50, 0.51, 0.52)); // pipeline cladding

// x: reflectance facing the viewer, y: how much the grazing (Fresnel) reflection adds,
// z: blur of the reflection (mip level of the environment), w: shininess of sun glints.
const vec4 FINISH[MATERIAL_COUNT] = vec4[MATERIAL_COUNT](
    vec4(0.30, 0.50, 4.0, 80.0),  // plain
    vec4(0.05, 0.80, 1.0, 160.0), // cab paint: clear coat
    vec4(0.06, 0.90, 0.0, 300.0), // glass
    vec4(0.85, 0.15, 0.5, 220.0), // chrome
    vec4(0.02, 0.05, 5.0, 12.0),  // rubber
    vec4(0.06, 0.15, 4.0, 30.0),  // dark steel
    vec4(0.04, 0.30, 3.0, 60.0),  // trailer panel
    vec4(0.04, 0.40, 2.0, 90.0),  // livery
    vec4(0.04, 0.50, 1.0, 200.0), // head lamp
    vec4(0.04, 0.50, 1.0, 200.0), // tail lamp
    vec4(0.03, 0.20, 4.0, 40.0),  // pump jack paint
    vec4(0.03, 0.20, 4.0, 40.0),  // pump jack accent
    vec4(0.01, 0.04, 6.0, 8.0),   // concrete pad
    vec4(0.01, 0.05, 6.0, 8.0),   // concrete
    vec4(0.35, 0.30, 3.0, 70.0),  // cable
    vec4(0.25, 0.20, 3.0, 50.0),  // railing
    vec4(0.04, 0.20, 4.0, 40.0),  // lamp post
    vec4(0.04, 0.20, 2.0, 40.0),  // street lamp
    vec4(0.01, 0.06, 6.0, 10.0),  // asphalt
    vec4(0.01, 0.04, 6.0, 8.0),   // kerb
    vec4(0.00, 0.03, 6.0, 4.0),   // terrain
    vec4(0.05, 0.95, 0.5, 400.0), // water
    vec4(0.04, 0.25, 3.0, 40.0),  // tank
    vec4(0.30, 0.30, 3.0, 60.0)); // pipeline

// Light a surface gives off by itself (HDR: strong enough for the glow passes).
const vec3 GLOW[MATERIAL_COUNT] = vec3[MATERIAL_COUNT](
    vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0),
    vec3(7.0, 6.4, 5.2),   // head lamp
    vec3(5.0, 0.35, 0.12), // tail lamp
    vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0),
    vec3(9.0, 5.4, 1.9),   // street lamp: sodium
    vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0), vec3(0.0));

// Ground colours.
const vec3 DRY_GRASS = vec3(0.24, 0.21, 0.085);
const vec3 GREEN_GRASS = vec3(0.10, 0.15, 0.045);
const vec3 DIRT = vec3(0.25, 0.17, 0.10);
const vec3 ROCK = vec3(0.34, 0.32, 0.30);
const vec3 SAND = vec3(0.40, 0.35, 0.25);
const vec3 ROAD_PAINT = vec3(0.75, 0.73, 0.66);
const vec3 RUST = vec3(0.30, 0.12, 0.05);
const vec3 GROUND_BOUNCE = vec3(0.10, 0.075, 0.05);
const vec3 LAMP_LIGHT = vec3(1.6, 0.95, 0.38);
const vec3 SKY_HORIZON_AWAY = vec3(0.50, 0.26, 0.30);
const vec3 SKY_HORIZON_SUNWARD = vec3(1.25, 0.72, 0.32);
const vec3 SKY_ZENITH = vec3(0.09, 0.09, 0.26);

// Where things are (world metres): the river's centre line along x, the valley floor,
// the valley road's centre along x, the bridge deck's lamps.
const float RIVER_Z = 80.0;
const float VALLEY_FLOOR = -25.0;
const float VALLEY_ROAD_Z = -45.0;
const float DECK_HALF_LENGTH = 150.0;
const float DECK_HALF_WIDTH = 5.5;
const float DECK_UNDERSIDE = -2.2;
const float LAMP_SPACING = 15.0;      // alternate sides, every 15 m from z = -135
const float LAMP_X = 2.6;
const float LAMP_HEIGHT = 8.9;
const float CAB_DOOR_REAR = 6.3;      // the door's edges along the rig and its sill and top
const float CAB_DOOR_FRONT = 7.95;
const float CAB_DOOR_SILL = 1.25;
const float CAB_DOOR_TOP = 3.55;

float hash12(vec2 p)
{
    vec3 p3 = fract(vec3(p.xyx) * 0.1031);
    p3 += dot(p3, p3.yzx + 33.33);
    return fract((p3.x + p3.y) * p3.z);
}

float valueNoise(vec2 p)
{
    vec2 cell = floor(p);
    vec2 f = fract(p);
    f = f * f * (3.0 - 2.0 * f);
    float a = hash12(cell);
    float b = hash12(cell + vec2(1.0, 0.0));
    float c = hash12(cell + vec2(0.0, 1.0));
    float d = hash12(cell + vec2(1.0, 1.0));
    return mix(mix(a, b, f.x), mix(c, d, f.x), f.y);
}

// Three octaves in [0, 1].
float fbm(vec2 p)
{
    return valueNoise(p) * 0.57 + valueNoise(p * 2.03 + 17.0) * 0.29 + valueNoise(p * 4.01 + 31.0) * 0.14;
}

// 1 on lines every `period` along x (width in the same units), faded out where the
// lines would be finer than a pixel, so distant surfaces do not shimmer.
float gridLines(float x, float period, float width)
{
    float d = abs(fract(x / period + 0.5) - 0.5) * period;
    float footprint = fwidth(x);
    float line = 1.0 - smoothstep(width, width + footprint, d);
    return line * (1.0 - smoothstep(width, width * 4.0, footprint));
}

float isMaterial(int m, int which)
{
    return m == which ? 1.0 : 0.0;
}

// Light from the deck's street lamps on what lies near them (the road, walkways,
// railings, the truck's roof): a soft pool under each lamp.
float lampPools(vec3 p)
{
    float k = floor((p.z + 135.0) / LAMP_SPACING + 0.5);
    float lampZ = -135.0 + k * LAMP_SPACING;
    float lampX = mod(k, 2.0) < 0.5 ? LAMP_X : -LAMP_X;
    vec3 d = vec3(p.x - lampX, LAMP_HEIGHT - p.y, p.z - lampZ);
    float onDeck = step(abs(p.z), DECK_HALF_LENGTH) * step(abs(p.x), DECK_HALF_WIDTH + 1.0)
                   * step(-0.5, p.y) * step(p.y, LAMP_HEIGHT - 0.5);
    return onDeck * 30.0 / (12.0 + dot(d, d));
}

// The dusk sky along a world direction, as the river mirrors it: warm at the horizon
// towards the sun, rose away from it, deep blue overhead. (The environment image puts a
// dark skyline at the horizon, which a calm surface would mirror as a black band.)
vec3 duskSky(vec3 direction, vec3 sunWorld)
{
    vec3 d = normalize(direction);
    float toward = pow(max(dot(safeNormalize(vec3(d.x, 0.0, d.z), vec3(1.0, 0.0, 0.0)),
                               safeNormalize(vec3(sunWorld.x, 0.0, sunWorld.z), vec3(1.0, 0.0, 0.0))), 0.0), 2.0);
    vec3 horizon = mix(SKY_HORIZON_AWAY, SKY_HORIZON_SUNWARD, toward);
    return mix(horizon, SKY_ZENITH, smoothstep(0.0, 0.45, max(d.y, 0.0)));
}

// The deck casts the low sun's light away from a band of the valley: 0 where the sun
// ray from p passes through the deck slab, 1 elsewhere.
float deckShadow(vec3 p, vec3 sunWorld)
{
    float t = (DECK_UNDERSIDE + 1.0 - p.y) / max(sunWorld.y, 0.05);
    vec2 hit = p.xz + sunWorld.xz * t;
    float inside = step(abs(hit.x), DECK_HALF_WIDTH) * step(abs(hit.y), DECK_HALF_LENGTH);
    return 1.0 - inside * step(p.y, DECK_UNDERSIDE - 0.5);
}

// The noises a pixel's patterns draw on: broad patches, metre-scale detail, a fine grain
// that only near surfaces get (far away it would only shimmer), and one more noise
// stretched as each material's own pattern needs it (rain streaks down concrete, rust
// runs down tanks, road spray on the rig, chips on the jacks).
struct SurfaceNoise {
    float broad;
    float detail;
    float grain;
    float pattern;
};

// Ground: dry grass with greener hollows, dirt patches, rock on slopes, sand and mud
// along the river, trodden dirt with oil stains over the field.
vec3 groundAlbedo(vec3 p, vec3 worldN, SurfaceNoise s)
{
    float slope = 1.0 - clamp(worldN.y, 0.0, 1.0);
    vec3 ground = mix(DRY_GRASS, GREEN_GRASS, smoothstep(0.42, 0.68, s.broad));
    ground = mix(ground, DIRT, smoothstep(0.52, 0.72, s.detail + 0.25 * (s.broad - 0.5)));
    float floorLevel = step(p.y, VALLEY_FLOOR + 0.5);
    float riverside = floorLevel * (1.0 - smoothstep(28.0, 36.0, abs(p.z - RIVER_Z)));
    float oilField = floorLevel - riverside;
    float stains = smoothstep(0.62, 0.8, s.detail) * smoothstep(0.3, 0.6, s.broad);
    ground = mix(ground, mix(DIRT, DIRT * 0.35, stains), 0.45 * oilField);
    ground = mix(ground, SAND, riverside * 0.8);
    ground = mix(ground, ROCK * mix(0.8, 1.1, s.detail), smoothstep(0.22, 0.42, slope + 0.15 * (s.detail - 0.5)));
    return ground * mix(0.7, 1.2, s.detail) * mix(0.85, 1.12, s.grain);
}

// Concrete: formwork lifts every 1.2 m and panels every 2.4 m (a grid on the deck's
// underside), darker rain streaks, damp near the valley floor.
vec3 concreteAlbedo(vec3 base, vec3 p, vec3 worldN, float along, SurfaceNoise s)
{
    float horizontal = step(0.7, abs(worldN.y));
    float lines = mix(max(gridLines(p.y, 1.2, 0.012), 0.6 * gridLines(along, 2.4, 0.01)),
                      max(gridLines(p.x, 2.4, 0.012), gridLines(p.z, 1.2, 0.012)), horizontal);
    float streaks = smoothstep(0.5, 0.78, s.pattern);
    float damp = 1.0 - smoothstep(VALLEY_FLOOR, VALLEY_FLOOR + 4.0, p.y);
    return base * mix(0.78, 1.08, s.broad) * mix(0.9, 1.05, s.grain) * (1.0 - 0.3 * lines)
           * (1.0 - 0.35 * streaks) * (1.0 - 0.35 * damp);
}

// Roads: asphalt with lighter worn aggregate, a dashed centre line and edge lines on the
// top face. The deck and approaches run along z, the valley road along x.
vec3 roadAlbedo(vec3 base, vec3 p, vec3 worldN, SurfaceNoise s)
{
    float valleyRoad = step(p.y, VALLEY_FLOOR + 1.0);
    float across = mix(p.x, p.z - VALLEY_ROAD_Z, valleyRoad);
    float down = mix(p.z, p.x, valleyRoad);
    float halfWidth = mix(4.0, 3.0, valleyRoad);
    float dash = gridLines(across, 1.0e4, 0.1) * step(fract(down / 9.0), 0.5);
    float edge = gridLines(abs(across) - (halfWidth - 0.3), 1.0e4, 0.08);
    float marking = max(dash, edge) * step(0.9, worldN.y) * (0.75 + 0.25 * s.detail);
    return mix(base * mix(0.65, 1.6, s.detail) * mix(0.8, 1.2, s.grain), ROAD_PAINT, marking);
}

// Tanks: welded courses every 2 m, rust running down from the seams.
vec3 tankAlbedo(vec3 base, vec3 p, SurfaceNoise s)
{
    float seams = gridLines(p.y, 2.0, 0.02);
    float rust = smoothstep(0.55, 0.8, s.pattern) * (0.4 + 0.6 * s.broad);
    return mix(base * (1.0 - 0.4 * seams), RUST, rust * 0.8);
}

// The rig: dust over its paint, road spray rising from the wheels in blotches (it only
// ever moves along the road, so the world height is its own), the trailer's panel seams
// across its sides (their v runs along the rig) and the cab's door (the cab's sides are
// its side outline, u along the rig, v up).
vec3 rigAlbedo(vec3 base, int m, vec3 p, vec3 worldN, SurfaceNoise s)
{
    float seams = gridLines(uv.y, 1.25, 0.012) * isMaterial(m, MAT_TRAILER_PANEL);
    float door = max(gridLines(uv.x - CAB_DOOR_REAR, 1.0e4, 0.012), gridLines(uv.x - CAB_DOOR_FRONT, 1.0e4, 0.012))
                 * step(CAB_DOOR_SILL, uv.y) * step(uv.y, CAB_DOOR_TOP) * step(0.9, abs(worldN.x));
    seams = max(seams, door * isMaterial(m, MAT_CAB_PAINT));
    float dust = mix(0.8, 1.1, valueNoise(uv * 5.3 + 3.0));
    float spray = (1.0 - smoothstep(1.0, 3.6, p.y)) * smoothstep(0.25, 0.75, s.pattern);
    return mix(base * dust * (1.0 - 0.45 * seams), DIRT * 0.5, spray * 0.75);
}

// The lit colour of this pixel's surface; `weathering` adds dust and fading (0 to 1).
vec3 shadeMaterial(float weathering)
{
    int m = clamp(int(material + 0.5), 0, MATERIAL_COUNT - 1);
    vec3 worldN = transpose(mat3(V)) * facingNormal();
    vec3 worldPos = transpose(mat3(V)) * (viewPos - V[3].xyz);
    float dist = length(viewPos);

    float moving = m <= MAT_CONCRETE_PAD ? 1.0 : 0.0;
    float terrain = isMaterial(m, MAT_TERRAIN);
    float concrete = isMaterial(m, MAT_CONCRETE) + isMaterial(m, MAT_CONCRETE_PAD) + isMaterial(m, MAT_KERB);
    float asphalt = isMaterial(m, MAT_ASPHALT);
    float water = isMaterial(m, MAT_WATER);
    float tank = isMaterial(m, MAT_TANK);
    float rig = isMaterial(m, MAT_CAB_PAINT) + isMaterial(m, MAT_TRAILER_PANEL) + isMaterial(m, MAT_LIVERY);
    float jack = isMaterial(m, MAT_JACK_PAINT) + isMaterial(m, MAT_JACK_ACCENT);

    vec2 coord = mix(worldPos.xz, uv, moving);
    float along = abs(worldN.x) > abs(worldN.z) ? worldPos.z : worldPos.x;
    vec2 patternCoord = concrete * vec2(along * 0.9, worldPos.y * 0.06) + tank * vec2(along * 1.7, worldPos.y * 0.15)
                        + rig * uv * vec2(0.7, 3.5) + jack * (uv * 3.1 + 11.0);
    SurfaceNoise s = SurfaceNoise(fbm(coord * 0.021), fbm(coord * 0.57 + 5.0),
                                  valueNoise(coord * 7.3) * (1.0 - smoothstep(15.0, 45.0, dist)), fbm(patternCoord));

    vec3 albedo = ALBEDO[m];
    albedo = mix(albedo, groundAlbedo(worldPos, worldN, s), terrain);
    albedo = mix(albedo, concreteAlbedo(albedo, worldPos, worldN, along, s), concrete);
    albedo = mix(albedo, roadAlbedo(albedo, worldPos, worldN, s), asphalt);
    albedo = mix(albedo, tankAlbedo(albedo, worldPos, s), tank);
    // Paint fades on everything that moves outdoors; the jacks' paint has chipped and
    // rusted where the weather gets at it.
    albedo = mix(albedo, albedo * mix(0.72, 1.08, s.detail), rig + jack);
    float chips = smoothstep(0.6, 0.72, s.pattern) * (0.5 + 0.5 * s.broad);
    albedo = mix(albedo, RUST * mix(0.6, 1.1, s.grain), chips * jack);
    albedo = mix(albedo, rigAlbedo(albedo, m, worldPos, worldN, s), rig);
    albedo = mix(albedo, albedo * 0.7 + DIRT * 0.3, weathering * (1.0 - terrain));

    // The river's surface: gentle ripples across the current.
    vec3 ripple = normalize(vec3((s.detail - 0.5) * 0.4, 3.0, (s.grain - 0.5) * 0.3 + (s.broad - 0.5) * 0.4));
    vec3 n = normalize(mix(facingNormal(), mat3(V) * ripple, water));

    // Light: the low sun, the sky above and the ground's bounce below, the environment's
    // reflection with its Fresnel rise, sun glints, and the lamps on the deck.
    vec3 toEye = normalize(-viewPos);
    vec3 r = reflect(-toEye, n);
    vec3 sunWorld = normalize(SUN_DIRECTION);
    vec3 sun = mat3(V) * sunWorld;
    vec4 finish = FINISH[m];
    float facing = max(dot(n, toEye), 0.0);
    float fresnel = finish.x + (1.0 - finish.x) * finish.y * pow(1.0 - facing, 5.0);
    float shadow = mix(deckShadow(worldPos, sunWorld), 1.0, moving);
    float diffuse = max(dot(n, sun), 0.0) * shadow;
    vec3 ambient = mix(GROUND_BOUNCE, SKY_FILL, 0.5 + 0.5 * worldN.y);
    float specular = pow(max(dot(r, sun), 0.0), finish.w) * (finish.w + 2.0) / 8.0;
    vec3 reflectedWorld = transpose(mat3(V)) * r;
    vec3 environment = pow(textureLod(myTextureSampler, equirect(reflectedWorld), finish.z).rgb, vec3(GAMMA));
    environment = mix(environment, duskSky(reflectedWorld, sunWorld), water);

    vec3 color = albedo * (diffuse * SUN_COLOR + ambient + lampPools(worldPos) * LAMP_LIGHT);
    color += environment * fresnel;
    color += specular * SUN_COLOR * shadow * min(fresnel * 2.0 + 0.02, 1.0);
    color += GLOW[m];
    return color;
}
