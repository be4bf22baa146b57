// The mesh builder's primitives: closed solids facing outwards with the volumes their
// dimensions give, shared vertices stored once, transforms (mirrors included) keeping
// the outside out, and the outline triangulation the extrusions rest on.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <glm/gtc/matrix_transform.hpp>

#include "ModelTestUtil.h"
#include "geometry/MeshBuilder.h"
#include "geometry/Outline.h"

using namespace assetgen;
using modeltest::isClosed;
using modeltest::signedVolume;
using modeltest::windingAgainstNormals;

namespace {


// Area of a regular polygon with n corners on a circle of radius r.
double polygonArea(int n, double r)
{
    return 0.5 * n * r * r * std::sin(2.0 * std::numbers::pi / n);
}

} // namespace

TEST(ModelMeshBuilder, BoxIsAClosedOutwardSolidWithEightSharedCorners)
{
    MeshBuilder b;
    b.addBox({-1.0f, 0.0f, 2.0f}, {3.0f, 0.5f, 4.0f});
    EXPECT_EQ(b.triangleCount(), 12u);
    EXPECT_EQ(b.mesh().positions.size(), 8u);
    EXPECT_EQ(b.mesh().normals.size(), 6u);
    EXPECT_TRUE(isClosed(b.mesh()));
    EXPECT_EQ(windingAgainstNormals(b.mesh()), 0u);
    EXPECT_NEAR(signedVolume(b.mesh()), 4.0 * 0.5 * 2.0, 1e-5);
}

TEST(ModelMeshBuilder, PerFaceBoxesShowTheWholeTextureOnEachFaceAndMayFaceInwards)
{
    MeshBuilder b;
    b.setUvScale(2.0f);
    b.addBox(glm::vec3(-1.0f), glm::vec3(1.0f), BoxTexture::PerFace);
    EXPECT_EQ(b.mesh().texCoords.size(), 4u); // the corners of the unit square, nothing else
    for (const glm::vec2& t : b.mesh().texCoords)
        EXPECT_TRUE((t.x == 0.0f || t.x == 1.0f) && (t.y == 0.0f || t.y == 1.0f)) << t.x << " " << t.y;
    EXPECT_TRUE(isClosed(b.mesh()));
    EXPECT_NEAR(signedVolume(b.mesh()), 8.0, 1e-5);

    MeshBuilder room;
    room.addBox(glm::vec3(-1.0f), glm::vec3(1.0f), BoxTexture::PerFace, true);
    EXPECT_TRUE(isClosed(room.mesh()));
    EXPECT_EQ(windingAgainstNormals(room.mesh()), 0u);
    EXPECT_NEAR(signedVolume(room.mesh()), -8.0, 1e-5);
}

TEST(ModelMeshBuilder, BlockFacesOutwardWhateverTheCornerFrame)
{
    // A tapered leg given in a left-handed corner order (u runs towards -x).
    std::array<glm::vec3, 8> c;
    for (int i = 0; i < 8; ++i) {
        const float top = i & 2 ? 1.0f : 0.0f;
        const float half = top ? 0.5f : 1.0f;
        c[i] = {i & 1 ? -half : half, 4.0f * top, i & 4 ? half : -half};
    }
    MeshBuilder b;
    b.addBlock(c);
    EXPECT_TRUE(isClosed(b.mesh()));
    EXPECT_EQ(windingAgainstNormals(b.mesh()), 0u);
    // Frustum of a square pyramid: h / 3 * (A1 + A2 + sqrt(A1 A2)).
    EXPECT_NEAR(signedVolume(b.mesh()), 4.0 / 3.0 * (4.0 + 1.0 + 2.0), 1e-4);
}

TEST(ModelMeshBuilder, BeamRunsBetweenItsEndsWithItsCrossSection)
{
    MeshBuilder b;
    b.addBeam({0.0f, 0.0f, 0.0f}, {3.0f, 4.0f, 0.0f}, 0.2f, 0.3f);
    EXPECT_TRUE(isClosed(b.mesh()));
    EXPECT_NEAR(signedVolume(b.mesh()), 5.0 * 0.2 * 0.3, 1e-5);
    // A vertical beam with the default up hint still has a proper cross-section.
    MeshBuilder v;
    v.addBeam({0.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 0.0f}, 0.1f, 0.1f);
    EXPECT_NEAR(signedVolume(v.mesh()), 2.0 * 0.01, 1e-6);
}

TEST(ModelMeshBuilder, CylinderAndConeHaveTheVolumesOfTheirPolygons)
{
    MeshBuilder b;
    b.addCylinder({1.0f, 2.0f, 3.0f}, {1.0f, 2.0f, 7.0f}, 0.5f, 16);
    EXPECT_TRUE(isClosed(b.mesh()));
    EXPECT_EQ(windingAgainstNormals(b.mesh()), 0u);
    EXPECT_NEAR(signedVolume(b.mesh()), polygonArea(16, 0.5) * 4.0, 1e-4);

    MeshBuilder cone;
    cone.addFrustum({0, 0, 0}, {0, 3, 0}, 1.0f, 0.0f, 24);
    EXPECT_TRUE(isClosed(cone.mesh()));
    EXPECT_NEAR(signedVolume(cone.mesh()), polygonArea(24, 1.0) * 3.0 / 3.0, 1e-4);
}

TEST(ModelMeshBuilder, CylinderSidesShadeRoundAndCapsShadeFlat)
{
    MeshBuilder b;
    b.addCylinder({0, 0, 0}, {2, 0, 0}, 1.0f, 12);
    for (const modeltest::Corner& c : modeltest::corners(b.mesh())) {
        const bool onCap = std::fabs(std::fabs(c.normal.x) - 1.0f) < 1e-5f;
        if (onCap) {
            EXPECT_NEAR(c.position.x, c.normal.x > 0 ? 2.0f : 0.0f, 1e-5f);
        } else {
            // Side normals point straight out from the axis.
            const glm::vec3 radial(0.0f, c.position.y, c.position.z);
            EXPECT_NEAR(glm::dot(glm::normalize(radial), c.normal), 1.0f, 1e-4f);
        }
    }
}

TEST(ModelMeshBuilder, PrismOfAConcaveOutlineIsClosedInEitherOrientation)
{
    // An L shape, given clockwise, extruded with its faces in reverse order.
    const Outline shape{{0, 0}, {0, 2}, {1, 2}, {1, 1}, {3, 1}, {3, 0}};
    MeshBuilder b;
    b.addPrism(shape, 1.5f, -0.5f);
    EXPECT_TRUE(isClosed(b.mesh()));
    EXPECT_EQ(windingAgainstNormals(b.mesh()), 0u);
    EXPECT_NEAR(signedVolume(b.mesh()), 4.0 * 2.0, 1e-5);
}

TEST(ModelMeshBuilder, LatheClosesOnTheAxisAndKeepsCreases)
{
    // A capsule-like solid: disc, cylinder, disc.
    MeshBuilder b;
    b.addLathe({{0.0f, 0.0f}, {0.0f, 1.0f}, {2.0f, 1.0f}, {2.0f, 0.0f}}, 32);
    EXPECT_TRUE(isClosed(b.mesh()));
    EXPECT_NEAR(signedVolume(b.mesh()), polygonArea(32, 1.0) * 2.0, 1e-4);
    // The rim is a crease: corners there keep either the cap's normal or the side's,
    // never a blend of the two.
    for (const modeltest::Corner& c : modeltest::corners(b.mesh())) {
        if (c.position.x != 0.0f)
            continue;
        EXPECT_TRUE(std::fabs(c.normal.x + 1.0f) < 1e-5f || std::fabs(c.normal.x) < 1e-5f)
            << c.normal.x;
    }
}

TEST(ModelMeshBuilder, TransformsIncludingMirrorsKeepTheOutsideOut)
{
    MeshBuilder b;
    b.pushTransform(glm::translate(glm::mat4(1.0f), glm::vec3(10, 0, 0)));
    b.pushTransform(glm::scale(glm::mat4(1.0f), glm::vec3(-1.0f, 2.0f, 1.0f)));
    b.addCylinder({0, 0, 0}, {1, 0, 0}, 0.5f, 12);
    b.popTransform();
    b.popTransform();
    b.popTransform(); // one pop too many leaves the identity in place
    b.addBox({0, 0, 0}, {1, 1, 1});
    EXPECT_EQ(windingAgainstNormals(b.mesh()), 0u);
    const modeltest::Bounds box = modeltest::bounds(b.mesh());
    EXPECT_FLOAT_EQ(box.min.x, 0.0f);
    EXPECT_FLOAT_EQ(box.max.x, 10.0f);
    // The mirrored, stretched cylinder: twice the volume, still positive.
    EXPECT_NEAR(signedVolume(b.mesh()), polygonArea(12, 0.5) * 2.0 + 1.0, 1e-4);
}

TEST(ModelMeshBuilder, DegenerateTrianglesAreDropped)
{
    MeshBuilder b;
    const MeshVertex a{{0, 0, 0}, {0, 0}, {0, 0, 1}};
    const MeshVertex c{{1, 0, 0}, {1, 0}, {0, 0, 1}};
    b.addTriangle(a, c, MeshVertex{{2, 0, 0}, {2, 0}, {0, 0, 1}}); // collinear
    b.addTriangle(a, a, c);
    EXPECT_EQ(b.triangleCount(), 0u);
    b.addCylinder({0, 0, 0}, {0, 0, 0}, 1.0f, 8); // zero length
    EXPECT_EQ(b.triangleCount(), 0u);
}

TEST(ModelMeshBuilder, AppendPlacesAnotherMeshByTheCurrentTransform)
{
    MeshBuilder part;
    part.addBox({0, 0, 0}, {1, 1, 1});
    MeshBuilder whole;
    whole.pushTransform(glm::translate(glm::mat4(1.0f), glm::vec3(0, 5, 0)));
    whole.append(part.mesh());
    EXPECT_EQ(whole.triangleCount(), 12u);
    EXPECT_FLOAT_EQ(modeltest::bounds(whole.mesh()).min.y, 5.0f);
    EXPECT_TRUE(isClosed(whole.mesh()));
}

TEST(ModelOutline, TriangulationCoversConcaveOutlinesExactly)
{
    const Outline comb{{0, 0}, {5, 0}, {5, 3}, {4, 3}, {4, 1}, {3, 1}, {3, 3},
                       {2, 3}, {2, 1}, {1, 1}, {1, 3}, {0, 3}};
    const auto triangles = triangulate(comb);
    EXPECT_EQ(triangles.size(), comb.size() - 2);
    double area = 0.0;
    for (const auto& t : triangles) {
        const glm::vec2 a = comb[t[0]], b = comb[t[1]], c = comb[t[2]];
        const double twice = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
        EXPECT_GT(twice, 0.0); // counter-clockwise
        area += twice / 2.0;
    }
    EXPECT_NEAR(area, signedArea2(comb) / 2.0, 1e-5);
}

TEST(ModelOutline, ShapesAreCounterClockwiseWithTheirAreas)
{
    EXPECT_NEAR(signedArea2(circleOutline({1, 1}, 2.0f, 64)) / 2.0, polygonArea(64, 2.0), 1e-3);
    const Outline slot = slotOutline({0, 0}, {3, 0}, 0.5f, 16);
    EXPECT_NEAR(signedArea2(slot) / 2.0, 3.0 + polygonArea(32, 0.5), 1e-3);
    const Outline ring = ringSectorOutline({0, 0}, 1.0f, 2.0f, 0.0f, float(std::numbers::pi / 2), 64);
    EXPECT_NEAR(signedArea2(ring) / 2.0, std::numbers::pi / 4.0 * 3.0, 2e-3);
    EXPECT_EQ(triangulate(ring).size(), ring.size() - 2);
}

TEST(ModelOutline, DegenerateOutlinesGiveNoTrianglesAndDoNotHang)
{
    EXPECT_TRUE(triangulate({}).empty());
    EXPECT_TRUE(triangulate({{0, 0}, {1, 0}}).empty());
    EXPECT_TRUE(triangulate({{0, 0}, {1, 0}, {2, 0}, {3, 0}}).empty());
    // A bow tie crosses itself; whatever is clipped, the call returns.
    const auto bowTie = triangulate({{0, 0}, {2, 2}, {2, 0}, {0, 2}});
    EXPECT_LE(bowTie.size(), 2u);
}
