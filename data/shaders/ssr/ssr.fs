#version 330 core
// Compositing pass of the reflection scene: screen-space reflections. From each reflective
// pixel a ray leaves along the mirrored view direction and is marched in view space; each
// step is projected onto the screen and compared with the surface drawn there. Where the
// ray passes just behind that surface it has hit it, and the colour there is reflected.
// in:  UV          texture coordinate from trivial.vs
//      texture0    lit colour
//      texture1    view-space normal (xyz)
//      texture2    view-space position (xyz), w = 0 where nothing was drawn
//      texture3    reflectivity (r)
//      projection  the scene's projection matrix
//      time        seconds (unused)
// out: color       colour with reflections, opaque; a dark gradient behind

in vec2 UV;

uniform sampler2D texture0;
uniform sampler2D texture1;
uniform sampler2D texture2;
uniform sampler2D texture3;
uniform mat4 projection;
uniform float time;

out vec4 color;

const int STEPS = 64;
const int REFINE_STEPS = 6;
const float FIRST_STEP = 0.05;     // view-space units
const float STEP_GROWTH = 1.06;
const float THICKNESS = 0.35;      // how far behind a surface a ray still counts as hitting it
const float EDGE_FADE = 0.12;      // fades reflections that come from near the screen's edge
const float MIN_REFLECTIVITY = 0.01;
const vec3 BACKGROUND_LOW = vec3(0.01, 0.01, 0.02);
const vec3 BACKGROUND_HIGH = vec3(0.06, 0.07, 0.12);

ivec2 texelOf(vec2 uv)
{
    ivec2 size = textureSize(texture2, 0);
    return clamp(ivec2(uv * vec2(size)), ivec2(0), size - 1);
}

// Screen position of a view-space point; false when it is behind the camera.
bool project(vec3 p, out vec2 uv)
{
    vec4 clip = projection * vec4(p, 1.0);
    if (clip.w <= 1e-4) {
        uv = vec2(-1.0);
        return false;
    }
    uv = clip.xy / clip.w * 0.5 + 0.5;
    return true;
}

bool onScreen(vec2 uv)
{
    return all(greaterThanEqual(uv, vec2(0.0))) && all(lessThanEqual(uv, vec2(1.0)));
}

// How far the ray point is behind the surface drawn where it projects (positive: behind).
// Nothing drawn there counts as far away.
float behind(vec3 p, vec2 uv)
{
    vec4 surface = texelFetch(texture2, texelOf(uv), 0);
    if (surface.w <= 0.0)
        return -1e6;
    return surface.z - p.z;
}

void main()
{
    vec4 here = texelFetch(texture2, texelOf(UV), 0);
    if (here.w <= 0.0) {
        color = vec4(mix(BACKGROUND_LOW, BACKGROUND_HIGH, UV.y), 1.0);
        return;
    }
    vec3 base = texture(texture0, UV).rgb;
    float reflectivity = texelFetch(texture3, texelOf(UV), 0).r;
    if (reflectivity < MIN_REFLECTIVITY) {
        color = vec4(base, 1.0);
        return;
    }

    vec3 p = here.xyz;
    vec3 n = texelFetch(texture1, texelOf(UV), 0).xyz;
    float nLength = length(n);
    vec3 toPoint = length(p) > 1e-6 ? normalize(p) : vec3(0.0, 0.0, -1.0);
    if (nLength < 1e-6) {
        color = vec4(base, 1.0);
        return;
    }
    vec3 r = reflect(toPoint, n / nLength);

    vec3 reflected = vec3(0.0);
    float found = 0.0;
    float stepLength = FIRST_STEP;
    vec3 previous = p;
    // Start a little off the surface so the ray does not hit the pixel it leaves.
    vec3 ray = p + n / nLength * 0.02;
    for (int i = 0; i < STEPS; ++i) {
        previous = ray;
        ray += r * stepLength;
        stepLength *= STEP_GROWTH;
        vec2 uv;
        if (!project(ray, uv) || !onScreen(uv))
            break;
        float d = behind(ray, uv);
        if (d > 0.0 && d < THICKNESS + stepLength) {
            // Halve the last step until the ray meets the surface.
            vec3 lo = previous;
            vec3 hi = ray;
            for (int k = 0; k < REFINE_STEPS; ++k) {
                vec3 mid = 0.5 * (lo + hi);
                vec2 midUV;
                project(mid, midUV);
                if (behind(mid, midUV) > 0.0)
                    hi = mid;
                else
                    lo = mid;
            }
            vec2 hitUV;
            project(hi, hitUV);
            vec2 edge = min(hitUV, 1.0 - hitUV);
            float edgeFade = clamp(min(edge.x, edge.y) / EDGE_FADE, 0.0, 1.0);
            float distanceFade = 1.0 - float(i) / float(STEPS);
            found = edgeFade * distanceFade;
            reflected = texture(texture0, hitUV).rgb;
            break;
        }
    }
    // Glancing views reflect more (Schlick's approximation).
    float cosine = clamp(dot(-toPoint, n / nLength), 0.0, 1.0);
    float fresnel = reflectivity + (1.0 - reflectivity) * pow(1.0 - cosine, 5.0);
    float amount = clamp(fresnel, 0.0, 1.0) * found;
    color = vec4(mix(base, reflected, amount), 1.0);
}
