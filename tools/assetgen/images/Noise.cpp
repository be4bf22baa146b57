// Noise functions for the image generators. Lattice noise hashes integer corners with a
// seed; the quintic fade keeps the second derivative continuous so that fractal sums
// show no grid creases even when strongly stretched (brushed metal, waves).
#include "images/Noise.h"

#include <cmath>

namespace assetgen::images {

namespace {

float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

// Wraps a lattice coordinate into [0, period) when a period is set.
int wrap(int value, int period)
{
    if (period <= 0 || static_cast<unsigned>(value) < static_cast<unsigned>(period))
        return value;
    if (value == period)
        return 0;
    const int r = value % period;
    return r < 0 ? r + period : r;
}

// Truncation corrected for negatives: std::floor is a library call on baseline x86-64,
// and this runs several times per noise sample.
int floorInt(float v)
{
    const int i = static_cast<int>(v);
    return i - (v < static_cast<float>(i) ? 1 : 0);
}

// Eight evenly spread unit directions for two-dimensional gradients.
constexpr float gradients2[8][2] = {
    {1.0f, 0.0f}, {-1.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, -1.0f},
    {0.70710678f, 0.70710678f}, {-0.70710678f, 0.70710678f},
    {0.70710678f, -0.70710678f}, {-0.70710678f, -0.70710678f},
};

// Dot product of a corner's gradient with the offset to it; the corner's hash is the
// same as hash2(x, y, seed), split so that callers can share the row half.
inline float gradDot2(std::uint32_t cornerHash, float dx, float dy)
{
    const float* g = gradients2[cornerHash & 7u];
    return g[0] * dx + g[1] * dy;
}

inline std::uint32_t rowHash(int y, std::uint32_t seed)
{
    return hash32(static_cast<std::uint32_t>(y) * 0x9e3779b1u + seed * 0x85ebca77u);
}

inline std::uint32_t cornerHash(int x, std::uint32_t row)
{
    return hash32(static_cast<std::uint32_t>(x) * 0xc2b2ae3du + row);
}

Period doubled(Period period)
{
    return {period.x * 2, period.y * 2};
}

} // namespace

float perlin(float x, float y, std::uint32_t seed, Period period)
{
    const int ix = floorInt(x);
    const int iy = floorInt(y);
    const float fx = x - static_cast<float>(ix);
    const float fy = y - static_cast<float>(iy);
    const int x0 = wrap(ix, period.x);
    const int x1 = wrap(ix + 1, period.x);
    const std::uint32_t row0 = rowHash(wrap(iy, period.y), seed);
    const std::uint32_t row1 = rowHash(wrap(iy + 1, period.y), seed);
    const float n00 = gradDot2(cornerHash(x0, row0), fx, fy);
    const float n10 = gradDot2(cornerHash(x1, row0), fx - 1.0f, fy);
    const float n01 = gradDot2(cornerHash(x0, row1), fx, fy - 1.0f);
    const float n11 = gradDot2(cornerHash(x1, row1), fx - 1.0f, fy - 1.0f);
    const float tx = fade(fx);
    // Unit gradients reach at most sqrt(1/2); scale to about [-1, 1].
    return 1.41421356f * lerp(lerp(n00, n10, tx), lerp(n01, n11, tx), fade(fy));
}

namespace {

// Octaves of a noise, each at twice the frequency (and period) of the one before and gain
// times its weight, averaged by weight. octave(x, y, index, period, weight) gives one
// octave's weighted value.
template <class Octave>
float sumOctaves(float x, float y, int octaves, float gain, Period period, Octave&& octave)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += octave(x, y, static_cast<std::uint32_t>(i), period, amplitude);
        total += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        period = doubled(period);
    }
    return total > 0.0f ? sum / total : 0.0f;
}

} // namespace

float fbm(float x, float y, int octaves, float gain, std::uint32_t seed, Period period)
{
    return sumOctaves(x, y, octaves, gain, period,
                      [seed](float ox, float oy, std::uint32_t i, Period p, float amplitude) {
                          return amplitude * perlin(ox, oy, seed + i * 7919u, p);
                      });
}

float ridged(float x, float y, int octaves, float gain, std::uint32_t seed, Period period)
{
    return sumOctaves(x, y, octaves, gain, period,
                      [seed](float ox, float oy, std::uint32_t i, Period p, float amplitude) {
                          const float n = 1.0f - std::fabs(perlin(ox, oy, seed + i * 104729u, p));
                          return amplitude * n * n;
                      });
}

Cellular cellular(float x, float y, std::uint32_t seed, Period period)
{
    const int ix = floorInt(x);
    const int iy = floorInt(y);
    Cellular result;
    result.f1 = 1e9f;
    result.f2 = 1e9f;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int cx = ix + dx;
            const int cy = iy + dy;
            const std::uint32_t h = hash2(wrap(cx, period.x), wrap(cy, period.y), seed);
            const float px = static_cast<float>(cx) + unitFloat(h);
            const float py = static_cast<float>(cy) + unitFloat(hash32(h));
            const float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < result.f1) {
                result.f2 = result.f1;
                result.f1 = d;
                result.cell = h;
            } else if (d < result.f2) {
                result.f2 = d;
            }
        }
    }
    return result;
}

float cellBorder(float x, float y, std::uint32_t seed, Period period)
{
    const int ix = floorInt(x);
    const int iy = floorInt(y);
    // Feature points of the 5x5 cells around the sample, relative to it.
    float fx[5][5];
    float fy[5][5];
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const std::uint32_t h = hash2(wrap(ix + dx, period.x), wrap(iy + dy, period.y), seed);
            fx[dy + 2][dx + 2] = static_cast<float>(ix + dx) + unitFloat(h) - x;
            fy[dy + 2][dx + 2] = static_cast<float>(iy + dy) + unitFloat(hash32(h)) - y;
        }
    }
    // The nearest point lies in the inner 3x3 cells.
    int nx = 2;
    int ny = 2;
    float best = 1e9f;
    for (int j = 1; j <= 3; ++j) {
        for (int i = 1; i <= 3; ++i) {
            const float d = fx[j][i] * fx[j][i] + fy[j][i] * fy[j][i];
            if (d < best) {
                best = d;
                nx = i;
                ny = j;
            }
        }
    }
    // Distance to the bisector between the nearest point and every other one.
    float border = 1e9f;
    for (int j = 0; j < 5; ++j) {
        for (int i = 0; i < 5; ++i) {
            if (i == nx && j == ny)
                continue;
            const float ex = fx[j][i] - fx[ny][nx];
            const float ey = fy[j][i] - fy[ny][nx];
            const float len2 = ex * ex + ey * ey;
            if (!(len2 > 1e-12f))
                continue;
            const float mx = (fx[j][i] + fx[ny][nx]) * 0.5f;
            const float my = (fy[j][i] + fy[ny][nx]) * 0.5f;
            border = std::fmin(border, (mx * ex + my * ey) / std::sqrt(len2));
        }
    }
    return border;
}

} // namespace assetgen::images
