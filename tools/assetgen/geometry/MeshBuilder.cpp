// Mesh building. Every primitive ends in addTriangle, which applies the transform and
// turns the winding to agree with the normals, so front faces are always the outside
// whatever order a primitive lists its corners in.
#include "geometry/MeshBuilder.h"

#include <bit>
#include <cmath>
#include <numbers>

#include "geometry/Outline.h"

namespace assetgen {

namespace {

// Twice the area below which a triangle is dropped (about a tenth of a square millimetre).
constexpr float kMinArea2 = 1e-7f;

// The faces of a block by corner index (bit 0: +u, bit 1: +v, bit 2: +w): the low and
// the high face across u, then v, then w, each listed round its edge.
constexpr int kBlockFaces[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4},
                                   {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};

std::uint32_t bits(float f)
{
    return std::bit_cast<std::uint32_t>(f == 0.0f ? 0.0f : f); // -0 and 0 share a slot
}

glm::vec3 safeNormalize(const glm::vec3& v, const glm::vec3& fallback)
{
    const float length = glm::length(v);
    return length > 1e-12f ? v / length : fallback;
}

// Two unit vectors spanning the plane with normal n, for planar texture coordinates.
void planeAxes(const glm::vec3& n, glm::vec3& s, glm::vec3& t)
{
    const glm::vec3 helper = std::fabs(n.y) < 0.9f ? glm::vec3(0, 1, 0) : glm::vec3(1, 0, 0);
    s = glm::normalize(glm::cross(helper, n));
    t = glm::cross(n, s);
}

} // namespace

std::size_t MeshBuilder::KeyHash::operator()(const std::array<std::uint32_t, 3>& k) const
{
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint32_t v : k)
        h = (h ^ v) * 1099511628211ull;
    return static_cast<std::size_t>(h);
}

MeshBuilder::MeshBuilder()
{
    stack.push_back(glm::mat4(1.0f));
}

void MeshBuilder::pushTransform(const glm::mat4& m)
{
    stack.push_back(stack.back() * m);
}

void MeshBuilder::popTransform()
{
    if (stack.size() > 1)
        stack.pop_back();
}

// The 1-based index of v in values, which gains v the first time it is seen.
template <class Values, class Vector>
std::int32_t MeshBuilder::intern(Pool& pool, Values& values, const Vector& v)
{
    std::array<std::uint32_t, 3> key{};
    for (int i = 0; i < Vector::length(); ++i)
        key[i] = bits(v[i]);
    const auto [it, added] = pool.try_emplace(key, static_cast<std::int32_t>(values.size() + 1));
    if (added)
        values.push_back(v);
    return it->second;
}

void MeshBuilder::emit(const MeshVertex& v)
{
    result.corners.push_back(intern(positionPool, result.positions, v.position));
    const glm::vec2 uv(v.uv.x + static_cast<float>(material) * kMaterialStride, v.uv.y);
    result.corners.push_back(intern(uvPool, result.texCoords, uv));
    result.corners.push_back(intern(normalPool, result.normals, v.normal));
}

void MeshBuilder::addTriangle(MeshVertex a, MeshVertex b, MeshVertex c)
{
    const glm::mat4& m = stack.back();
    const glm::mat3 normalMatrix = glm::transpose(glm::inverse(glm::mat3(m)));
    for (MeshVertex* v : {&a, &b, &c}) {
        v->position = glm::vec3(m * glm::vec4(v->position, 1.0f));
        v->normal = safeNormalize(normalMatrix * v->normal, glm::vec3(0, 1, 0));
    }
    const glm::vec3 geometric = glm::cross(b.position - a.position, c.position - a.position);
    if (glm::dot(geometric, geometric) < kMinArea2 * kMinArea2)
        return;
    if (glm::dot(geometric, a.normal + b.normal + c.normal) < 0.0f)
        std::swap(b, c);
    emit(a);
    emit(b);
    emit(c);
}

void MeshBuilder::addFlatPolygon(const std::vector<glm::vec3>& points, const glm::vec3& outward)
{
    if (points.size() < 3)
        return;
    glm::vec3 n(0.0f);
    for (std::size_t i = 1; i + 1 < points.size(); ++i)
        n += glm::cross(points[i] - points[0], points[i + 1] - points[0]);
    n = safeNormalize(n, outward);
    if (glm::dot(n, outward) < 0.0f)
        n = -n;
    glm::vec3 s, t;
    planeAxes(n, s, t);
    auto vertex = [&](const glm::vec3& p) {
        return MeshVertex{p, glm::vec2(glm::dot(p, s), glm::dot(p, t)) / uvScale, n};
    };
    for (std::size_t i = 1; i + 1 < points.size(); ++i)
        addTriangle(vertex(points[0]), vertex(points[i]), vertex(points[i + 1]));
}

void MeshBuilder::addFlatQuad(const glm::vec3& p0, const glm::vec3& p1, const glm::vec3& p2,
                              const glm::vec3& p3, const glm::vec3& outward)
{
    addFlatPolygon({p0, p1, p2, p3}, outward);
}

void MeshBuilder::addBlock(const std::array<glm::vec3, 8>& c, bool inward)
{
    glm::vec3 centre(0.0f);
    for (const glm::vec3& p : c)
        centre += p / 8.0f;
    const float facing = inward ? -1.0f : 1.0f;
    for (const auto& f : kBlockFaces) {
        const glm::vec3 faceCentre = (c[f[0]] + c[f[1]] + c[f[2]] + c[f[3]]) / 4.0f;
        addFlatQuad(c[f[0]], c[f[1]], c[f[2]], c[f[3]], (faceCentre - centre) * facing);
    }
}

void MeshBuilder::addBox(const glm::vec3& lo, const glm::vec3& hi, BoxTexture texture, bool inward)
{
    std::array<glm::vec3, 8> c;
    for (int i = 0; i < 8; ++i)
        c[i] = glm::vec3(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z);
    if (texture == BoxTexture::Planar) {
        addBlock(c, inward);
        return;
    }
    for (int face = 0; face < 6; ++face) {
        const int axis = face / 2;
        const int u = (axis + 1) % 3;
        const int v = (axis + 2) % 3;
        glm::vec3 normal(0.0f);
        normal[axis] = (face % 2 == 0) != inward ? -1.0f : 1.0f;
        MeshVertex corner[4];
        for (int k = 0; k < 4; ++k) {
            const glm::vec3& p = c[kBlockFaces[face][k]];
            corner[k] = {p, glm::vec2(p[u] - lo[u], p[v] - lo[v]) / uvScale, normal};
        }
        addTriangle(corner[0], corner[1], corner[2]);
        addTriangle(corner[0], corner[2], corner[3]);
    }
}

void MeshBuilder::addBeam(const glm::vec3& a, const glm::vec3& b, float width, float height,
                          const glm::vec3& up)
{
    const glm::vec3 d = safeNormalize(b - a, glm::vec3(1, 0, 0));
    glm::vec3 side = glm::cross(d, up);
    if (glm::dot(side, side) < 1e-8f)
        side = glm::cross(d, glm::vec3(1, 0, 0));
    if (glm::dot(side, side) < 1e-8f)
        side = glm::cross(d, glm::vec3(0, 0, 1));
    side = glm::normalize(side);
    const glm::vec3 upward = glm::cross(side, d);
    std::array<glm::vec3, 8> c;
    for (int i = 0; i < 8; ++i)
        c[i] = (i & 4 ? b : a) + side * (i & 1 ? 0.5f : -0.5f) * width
               + upward * (i & 2 ? 0.5f : -0.5f) * height;
    addBlock(c);
}

void MeshBuilder::addPrism(const std::vector<glm::vec2>& input, float z0, float z1,
                           float smoothDegrees)
{
    if (input.size() < 3)
        return;
    Outline outline = input;
    if (signedArea2(outline) < 0.0f)
        outline.assign(input.rbegin(), input.rend());
    if (z1 < z0)
        std::swap(z0, z1);
    const std::size_t n = outline.size();

    std::vector<glm::vec3> edgeNormal(n);
    for (std::size_t i = 0; i < n; ++i) {
        const glm::vec2 d = outline[(i + 1) % n] - outline[i];
        edgeNormal[i] = safeNormalize(glm::vec3(d.y, -d.x, 0.0f), glm::vec3(1, 0, 0));
    }
    const float smoothCos = std::cos(smoothDegrees * std::numbers::pi_v<float> / 180.0f);
    // Normal of edge i at its corner `corner` (i or i + 1), shared with the neighbour
    // edge when the outline turns gently there.
    auto cornerNormal = [&](std::size_t edge, std::size_t other) {
        if (smoothDegrees > 0.0f && glm::dot(edgeNormal[edge], edgeNormal[other]) > smoothCos)
            return glm::normalize(edgeNormal[edge] + edgeNormal[other]);
        return edgeNormal[edge];
    };

    float perimeter = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        const glm::vec2 a = outline[i];
        const glm::vec2 b = outline[(i + 1) % n];
        const float next = perimeter + glm::length(b - a);
        const glm::vec3 na = cornerNormal(i, (i + n - 1) % n);
        const glm::vec3 nb = cornerNormal(i, (i + 1) % n);
        const MeshVertex a0{{a, z0}, glm::vec2(perimeter, z0) / uvScale, na};
        const MeshVertex b0{{b, z0}, glm::vec2(next, z0) / uvScale, nb};
        const MeshVertex b1{{b, z1}, glm::vec2(next, z1) / uvScale, nb};
        const MeshVertex a1{{a, z1}, glm::vec2(perimeter, z1) / uvScale, na};
        addTriangle(a0, b0, b1);
        addTriangle(a0, b1, a1);
        perimeter = next;
    }
    for (const auto& t : triangulate(outline)) {
        for (float z : {z0, z1}) {
            const glm::vec3 normal(0.0f, 0.0f, z == z1 ? 1.0f : -1.0f);
            MeshVertex v[3];
            for (int k = 0; k < 3; ++k)
                v[k] = MeshVertex{{outline[t[k]], z}, outline[t[k]] / uvScale, normal};
            addTriangle(v[0], v[1], v[2]);
        }
    }
}

float profileLength(const std::vector<LathePoint>& profile)
{
    float length = 0.0f;
    for (std::size_t s = 0; s + 1 < profile.size(); ++s)
        length += glm::length(glm::vec2(profile[s + 1].axial - profile[s].axial,
                                        profile[s + 1].radius - profile[s].radius));
    return length;
}

void MeshBuilder::addLathe(const std::vector<LathePoint>& profile, int segments,
                           float creaseDegrees)
{
    if (profile.size() < 2 || segments < 3)
        return;
    const std::size_t count = profile.size() - 1;
    std::vector<glm::vec2> segmentNormal(count); // (axial, radial) components
    std::vector<float> length(count + 1, 0.0f);
    for (std::size_t s = 0; s < count; ++s) {
        const glm::vec2 d(profile[s + 1].axial - profile[s].axial,
                          profile[s + 1].radius - profile[s].radius);
        const float l = glm::length(d);
        segmentNormal[s] = l > 0.0f ? glm::vec2(-d.y, d.x) / l : glm::vec2(0, 1);
        length[s + 1] = length[s] + l;
    }
    const float creaseCos = std::cos(creaseDegrees * std::numbers::pi_v<float> / 180.0f);
    auto endNormal = [&](std::size_t s, std::ptrdiff_t neighbour) {
        if (neighbour < 0 || neighbour >= static_cast<std::ptrdiff_t>(count))
            return segmentNormal[s];
        const glm::vec2 other = segmentNormal[static_cast<std::size_t>(neighbour)];
        if (glm::dot(segmentNormal[s], other) > creaseCos)
            return glm::normalize(segmentNormal[s] + other);
        return segmentNormal[s];
    };
    auto vertex = [&](std::size_t point, const glm::vec2& n, int step) {
        // The last step lands exactly on the first, so the seam shares its positions.
        const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(step % segments) / segments;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        const LathePoint& p = profile[point];
        return MeshVertex{{p.axial, p.radius * c, p.radius * s},
                          {static_cast<float>(step) / segments, length[point] / uvScale},
                          {n.x, n.y * c, n.y * s}};
    };
    for (std::size_t s = 0; s < count; ++s) {
        const glm::vec2 n0 = endNormal(s, static_cast<std::ptrdiff_t>(s) - 1);
        const glm::vec2 n1 = endNormal(s, static_cast<std::ptrdiff_t>(s) + 1);
        for (int j = 0; j < segments; ++j) {
            const MeshVertex a = vertex(s, n0, j);
            const MeshVertex b = vertex(s + 1, n1, j);
            const MeshVertex c = vertex(s + 1, n1, j + 1);
            const MeshVertex d = vertex(s, n0, j + 1);
            addTriangle(a, b, c);
            addTriangle(a, c, d);
        }
    }
}

void MeshBuilder::addFrustum(const glm::vec3& a, const glm::vec3& b, float radiusA,
                             float radiusB, int segments, bool caps)
{
    const float l = glm::length(b - a);
    if (l <= 0.0f)
        return;
    std::vector<LathePoint> profile;
    if (caps)
        profile.push_back({0.0f, 0.0f});
    profile.push_back({0.0f, radiusA});
    profile.push_back({l, radiusB});
    if (caps)
        profile.push_back({l, 0.0f});
    pushTransform(frameAlong(a, b));
    addLathe(profile, segments);
    popTransform();
}

void MeshBuilder::addCylinder(const glm::vec3& a, const glm::vec3& b, float radius, int segments,
                              bool caps)
{
    addFrustum(a, b, radius, radius, segments, caps);
}

void MeshBuilder::addHeightField(const HeightGrid& grid, const std::function<float(float, float)>& height)
{
    std::vector<float> xs, zs;
    for (int i = 0; i <= grid.cellsX; ++i)
        xs.push_back(grid.corner.x + grid.cell.x * static_cast<float>(i));
    for (int j = 0; j <= grid.cellsZ; ++j)
        zs.push_back(grid.corner.y + grid.cell.y * static_cast<float>(j));
    addHeightField(xs, zs, grid, height);
}

void MeshBuilder::addHeightField(const std::vector<float>& xs, const std::vector<float>& zs,
                                 const HeightGrid& grid, const std::function<float(float, float)>& height)
{
    auto vertex = [&](std::size_t i, std::size_t j) {
        const float x = xs[i];
        const float z = zs[j];
        const float e = grid.slopeStep;
        const glm::vec3 normal = glm::normalize(glm::vec3(height(x - e, z) - height(x + e, z), 2.0f * e,
                                                          height(x, z - e) - height(x, z + e)));
        return MeshVertex{{x, height(x, z), z}, (glm::vec2(x, z) - grid.uvOrigin) / grid.uvMetres, normal};
    };
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        for (std::size_t j = 0; j + 1 < zs.size(); ++j) {
            const MeshVertex a = vertex(i, j);
            const MeshVertex c = vertex(i + 1, j + 1);
            addTriangle(a, vertex(i + 1, j), c);
            addTriangle(a, c, vertex(i, j + 1));
        }
    }
}

void MeshBuilder::append(const Tarvo::ObjMesh& other)
{
    auto corner = [&](std::size_t i) {
        return MeshVertex{other.positions[static_cast<std::size_t>(other.corners[i] - 1)],
                          other.texCoords[static_cast<std::size_t>(other.corners[i + 1] - 1)],
                          other.normals[static_cast<std::size_t>(other.corners[i + 2] - 1)]};
    };
    const Material own = material;
    material = Material::Plain; // the appended coordinates already hold their materials
    for (std::size_t i = 0; i + 8 < other.corners.size(); i += 9)
        addTriangle(corner(i), corner(i + 3), corner(i + 6));
    material = own;
}

glm::mat4 frameAlong(const glm::vec3& a, const glm::vec3& b, const glm::vec3& upHint)
{
    const glm::vec3 ex = safeNormalize(b - a, glm::vec3(1, 0, 0));
    glm::vec3 ey = upHint - ex * glm::dot(upHint, ex);
    if (glm::dot(ey, ey) < 1e-6f) {
        const glm::vec3 other = std::fabs(ex.x) < 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 0, 1);
        ey = other - ex * glm::dot(other, ex);
    }
    ey = glm::normalize(ey);
    const glm::vec3 ez = glm::cross(ex, ey);
    glm::mat4 m(1.0f);
    m[0] = glm::vec4(ex, 0.0f);
    m[1] = glm::vec4(ey, 0.0f);
    m[2] = glm::vec4(ez, 0.0f);
    m[3] = glm::vec4(a, 1.0f);
    return m;
}

} // namespace assetgen
