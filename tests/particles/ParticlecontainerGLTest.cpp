// The particle container on the software renderer: buffers sized once, the first update's
// zero elapsed time, streams in pool order, sorting farthest first after each draw (or
// step without drawing), one instanced draw of 4-vertex strips, and billboards that face
// the camera.
#include <gtest/gtest.h>

#include <stb_image_write.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "engine/Fbo.h"
#include "engine/Transform.h"
#include "particles/SnowParticles.h"
#include "support/CapturedOutput.h"
#include "support/GLTestContext.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;
using Tarvo::Particle;

constexpr int windowSize = 64;

// Particles on the camera's axis at the given distances, each remembering the elapsed
// times it was handed.
class LineOfParticles : public Tarvo::Particlecontainer {
public:
    explicit LineOfParticles(std::vector<float> distances)
        : Particlecontainer(static_cast<int>(distances.size()), "./data/img/particle.png"), distances(std::move(distances))
    {
        initParticles();
    }

    void initParticles() override
    {
        for (std::size_t i = 0; i < distances.size(); ++i) {
            Particle& p = particles[i];
            p.position = glm::vec3(0.0f, 0.0f, -distances[i]);
            p.size = 1.0;
            p.colourBytes[0] = static_cast<std::uint8_t>(i);
            p.colourBytes[3] = 255;
        }
    }

    void updateParticle(double dt, Particle& particle) override
    {
        (void)particle;
        elapsed.push_back(dt);
    }

    Particle& at(std::size_t i) { return particles[i]; }

    std::vector<float> distances;
    std::vector<double> elapsed;
};

// Counts the instanced draws and records the divisors set while they happen.
struct DrawSpy {
    struct Call {
        GLenum mode;
        GLint first;
        GLsizei count;
        GLsizei instances;
    };
    static inline std::vector<Call> calls;
    static inline std::vector<std::pair<GLuint, GLuint>> divisors;
    static inline PFNGLDRAWARRAYSINSTANCEDPROC realDraw = nullptr;
    static inline PFNGLVERTEXATTRIBDIVISORPROC realDivisor = nullptr;

    DrawSpy()
    {
        calls.clear();
        divisors.clear();
        realDraw = __glewDrawArraysInstanced;
        realDivisor = __glewVertexAttribDivisor;
        __glewDrawArraysInstanced = [](GLenum mode, GLint first, GLsizei count, GLsizei instances) {
            calls.push_back({mode, first, count, instances});
            realDraw(mode, first, count, instances);
        };
        __glewVertexAttribDivisor = [](GLuint index, GLuint divisor) {
            divisors.emplace_back(index, divisor);
            realDivisor(index, divisor);
        };
    }
    ~DrawSpy()
    {
        __glewDrawArraysInstanced = realDraw;
        __glewVertexAttribDivisor = realDivisor;
    }
};

GLint bufferSize(GLuint buffer)
{
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

GLint attribute(GLuint index, GLenum what)
{
    GLint value = -1;
    glGetVertexAttribiv(index, what, &value);
    return value;
}

class ParticlecontainerGLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path& dir = scratch.path();
        fs::create_directories(dir / "data" / "img");
        fs::create_directory_symlink(fs::path(VANTOR_SOURCE_DIR) / "data" / "shaders", dir / "data" / "shaders");
        // An opaque white sprite, so a particle shows exactly its colour.
        const std::vector<std::uint8_t> white(8 * 8 * 4, 255);
        stbi_write_png((dir / "data" / "img" / "particle.png").string().c_str(), 8, 8, 4, white.data(), 8 * 4);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        REQUIRE_GL_CONTEXT(windowSize, windowSize);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    testsupport::ScratchDir scratch;
};

} // namespace

TEST_F(ParticlecontainerGLTest, AllocatesItsBuffersOnceAtTheirFullSize)
{
    LineOfParticles line({1, 2, 3});
    EXPECT_EQ(line.getPoolSize(), 3);
    EXPECT_EQ(line.getParticleCount(), 3);
    EXPECT_EQ(line.getLastUpdateTime(), -42.0);
    EXPECT_EQ(bufferSize(line.getQuadBuffer()), 48);
    EXPECT_EQ(bufferSize(line.getPositionSizeBuffer()), 3 * 16);
    EXPECT_EQ(bufferSize(line.getColourBuffer()), 3 * 4);
    EXPECT_EQ(line.getPositionSizeStream().size(), 12u);
    EXPECT_EQ(line.getColourStream().size(), 12u);
    EXPECT_NE(line.getProgram(), 0u);

    line.draw(1.0, glm::mat4(1.0f));
    EXPECT_EQ(bufferSize(line.getPositionSizeBuffer()), 3 * 16);
    EXPECT_EQ(bufferSize(line.getColourBuffer()), 3 * 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticlecontainerGLTest, FirstUpdatePassesZeroThenTheTimeSinceTheLast)
{
    LineOfParticles line({1, 2});
    line.update(5.0, glm::mat4(1.0f));
    EXPECT_EQ(line.elapsed, (std::vector<double>{0.0, 0.0}));
    EXPECT_EQ(line.getLastUpdateTime(), 5.0);
    line.update(5.25, glm::mat4(1.0f));
    EXPECT_EQ(line.elapsed, (std::vector<double>{0.0, 0.0, 0.25, 0.25}));
    EXPECT_EQ(line.getLastUpdateTime(), 5.25);
}

TEST_F(ParticlecontainerGLTest, SortsFarthestFirstAfterADrawAndStreamsInThatOrder)
{
    LineOfParticles line({1, 5, 3, 2, 4});
    const glm::mat4 view(1.0f);
    line.update(0.0, view);
    // Before any draw the streams follow the order the particles were placed in.
    EXPECT_EQ(line.getPositionSizeStream()[2], -1.0f);
    EXPECT_EQ(line.getPositionSizeStream()[6], -5.0f);
    EXPECT_EQ(line.getPositionSizeStream()[3], 1.0f); // size
    EXPECT_EQ(line.at(1).sortKey, 25.0);
    EXPECT_EQ(line.at(1).viewPosition, glm::vec4(0.0f, 0.0f, -5.0f, 1.0f));

    line.draw(0.1, view);
    for (std::size_t i = 0; i + 1 < 5; ++i)
        EXPECT_GE(line.at(i).sortKey, line.at(i + 1).sortKey);
    EXPECT_EQ(line.at(0).position.z, -5.0f);
    EXPECT_EQ(line.at(4).position.z, -1.0f);

    line.update(0.2, view);
    const std::vector<float>& stream = line.getPositionSizeStream();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(stream[static_cast<std::size_t>(i) * 4 + 2], -5.0f + static_cast<float>(i));
    // Each particle's colour travels with it: particle 1 (5 away) was placed second.
    EXPECT_EQ(line.getColourStream()[0], 1);
    EXPECT_EQ(line.getColourStream()[3], 255);
}

TEST_F(ParticlecontainerGLTest, StepUpdatesAndSortsLikeADrawButDrawsNothing)
{
    LineOfParticles line({1, 3, 2});
    DrawSpy spy;
    line.step(0.5, glm::mat4(1.0f));
    EXPECT_TRUE(DrawSpy::calls.empty());
    EXPECT_EQ(line.elapsed.size(), 3u);
    EXPECT_EQ(line.getLastUpdateTime(), 0.5);
    EXPECT_EQ(line.at(0).position.z, -3.0f);
    EXPECT_EQ(line.at(2).position.z, -1.0f);
}

TEST_F(ParticlecontainerGLTest, SortKeyIsTheSquaredDistanceFromTheCamera)
{
    LineOfParticles line({2, 1});
    // The camera moved 10 units back: particle 0 is now 12 away, particle 1 is 11 away.
    const glm::mat4 view = Tarvo::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -10.0f));
    line.update(0.0, view);
    EXPECT_DOUBLE_EQ(line.at(0).sortKey, 144.0);
    EXPECT_DOUBLE_EQ(line.at(1).sortKey, 121.0);
    EXPECT_GT(Tarvo::Particlecontainer::sortKeyOf(glm::vec4(3, 0, -4, 1)),
              Tarvo::Particlecontainer::sortKeyOf(glm::vec4(0, 0, -4.9f, 1)));
    // A position that is not a number sorts as the farthest instead of breaking the sort.
    EXPECT_EQ(Tarvo::Particlecontainer::sortKeyOf(glm::vec4(NAN, 0, 0, 1)), INFINITY);
}

TEST_F(ParticlecontainerGLTest, DrawsAllParticlesWithOneInstancedCall)
{
    LineOfParticles line({1, 2, 3, 4, 5, 6, 7});
    line.setUniforms(glm::mat4(1.0f), glm::vec3(1, 0, 0), glm::vec3(0, 1, 0));
    {
        DrawSpy spy;
        line.draw(0.0, glm::mat4(1.0f));
        ASSERT_EQ(DrawSpy::calls.size(), 1u);
        EXPECT_EQ(DrawSpy::calls[0].mode, static_cast<GLenum>(GL_TRIANGLE_STRIP));
        EXPECT_EQ(DrawSpy::calls[0].first, 0);
        EXPECT_EQ(DrawSpy::calls[0].count, 4);
        EXPECT_EQ(DrawSpy::calls[0].instances, 7);
        // Corners per vertex, centre-and-size and colour per instance, then all reset.
        const std::vector<std::pair<GLuint, GLuint>> expected = {{0, 0}, {1, 1}, {2, 1}, {0, 0}, {1, 0}, {2, 0}};
        EXPECT_EQ(DrawSpy::divisors, expected);
    }
    for (GLuint index : {0u, 1u, 2u}) {
        EXPECT_EQ(attribute(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE);
        EXPECT_EQ(attribute(index, GL_VERTEX_ATTRIB_ARRAY_DIVISOR), 0);
    }
    EXPECT_EQ(attribute(2, GL_VERTEX_ATTRIB_ARRAY_TYPE), GL_UNSIGNED_BYTE);
    EXPECT_EQ(attribute(2, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED), GL_TRUE);
    EXPECT_EQ(attribute(1, GL_VERTEX_ATTRIB_ARRAY_SIZE), 4);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticlecontainerGLTest, BillboardsSpreadAlongTheCameraAxesInTheirColour)
{
    LineOfParticles line({0.0f});
    line.at(0).colourBytes[0] = 255;
    line.at(0).size = 0.5; // half the clip-space square
    Tarvo::Fbo target(windowSize, windowSize, 0, 1, GL_RGBA16F);
    target.bind();
    // An identity "projection" draws the quad in clip space; a right axis twice as long
    // stretches it sideways.
    line.setUniforms(glm::mat4(1.0f), glm::vec3(2, 0, 0), glm::vec3(0, 1, 0));
    line.draw(0.0, glm::mat4(1.0f));
    target.unbind();
    const std::vector<float> pixels = testsupport::readTexture(target.getTexture(0), windowSize, windowSize);
    auto red = [&](int x, int y) { return pixels[(static_cast<std::size_t>(y) * windowSize + x) * 4]; };
    EXPECT_EQ(red(32, 32), 1.0f);
    // The quad covers [-0.5, 0.5] across and [-0.25, 0.25] up: pixels 16..47 by 24..39.
    EXPECT_EQ(red(17, 32), 1.0f);
    EXPECT_EQ(red(46, 32), 1.0f);
    EXPECT_EQ(red(32, 20), 0.0f);
    EXPECT_EQ(red(10, 32), 0.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticlecontainerGLTest, ANegativePoolIsReportedAndDrawsNothing)
{
    struct Empty : Tarvo::Particlecontainer {
        Empty() : Particlecontainer(-3, "./data/img/particle.png") {}
        void initParticles() override {}
    };
    testsupport::CapturedOutput captured(testsupport::CapturedOutput::Stream::err);
    Empty empty;
    EXPECT_NE(captured.take().find("negative"), std::string::npos);
    EXPECT_EQ(empty.getParticleCount(), 0);
    DrawSpy spy;
    empty.draw(0.0, glm::mat4(1.0f));
    EXPECT_TRUE(DrawSpy::calls.empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ParticlecontainerGLTest, SnowFillsItsPoolAndNoiseTableAndDrawsAFrame)
{
    SnowParticles snow;
    EXPECT_EQ(snow.getParticleCount(), 512);
    EXPECT_EQ(snow.getNoise()[0], 1.0);
    EXPECT_EQ(snow.getNoise()[777], snow::noiseValue(777));
    EXPECT_EQ(snow.getParticles()[300].position, snow::initialParticle(300).position);

    const glm::mat4 view = Tarvo::lookAt(glm::vec3(0, 20, -820), glm::vec3(0, 4, 0), glm::vec3(0, 1, 0));
    snow.setUniforms(glm::mat4(1.0f), glm::vec3(1, 0, 0), glm::vec3(0, 1, 0));
    snow.draw(0.0, view);
    snow.draw(16.0, view);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (std::size_t i = 0; i + 1 < 512; ++i)
        ASSERT_GE(snow.getParticles()[i].sortKey, snow.getParticles()[i + 1].sortKey);
}
