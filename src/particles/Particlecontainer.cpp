// Pool, streams and the instanced billboard draw. All memory is allocated once here; a
// frame only rewrites the two streams, re-specifies the two stream buffers (so the driver
// can hand out fresh storage instead of waiting for the previous frame's draw) and draws.
#include "particles/Particlecontainer.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "engine/DrawBufferScope.h"
#include "engine/ShaderProgram.h"
#include "engine/Texture.h"

namespace Tarvo {

namespace {

// The billboard's corners as a triangle strip, centred on the particle.
constexpr float quadCorners[12] = {
    -0.5f, -0.5f, 0.0f,
     0.5f, -0.5f, 0.0f,
    -0.5f,  0.5f, 0.0f,
     0.5f,  0.5f, 0.0f,
};

constexpr int floatsPerParticle = 4;
constexpr int bytesPerParticle = 4;

GLuint makeStreamBuffer(GLsizeiptr bytes)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, nullptr, GL_STREAM_DRAW);
    return buffer;
}

} // namespace

Particlecontainer::Particlecontainer(int poolSize, const std::string& texturePath)
    : poolSize(poolSize < 0 ? 0 : poolSize), particleCount(this->poolSize)
{
    if (poolSize < 0)
        std::fprintf(stderr, "Particlecontainer: pool size %d is negative; the pool is empty\n", poolSize);
    const std::size_t count = static_cast<std::size_t>(this->poolSize);
    particles.resize(count);
    colourStream.assign(count * bytesPerParticle, 0);
    positionSizeStream.assign(count * floatsPerParticle, 0.0f);

    program = loadShaderProgram("./data/shaders/particle.vs", "./data/shaders/particle.fs");
    texture = loadTexture(texturePath.c_str(), false);

    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(quadCorners), quadCorners, GL_STATIC_DRAW);
    positionSizeBuffer = makeStreamBuffer(static_cast<GLsizeiptr>(count * floatsPerParticle * sizeof(float)));
    colourBuffer = makeStreamBuffer(static_cast<GLsizeiptr>(count * bytesPerParticle));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

Particlecontainer::~Particlecontainer()
{
    glDeleteBuffers(1, &quadBuffer);
    glDeleteBuffers(1, &positionSizeBuffer);
    glDeleteBuffers(1, &colourBuffer);
    glDeleteTextures(1, &texture);
    deleteShaderProgram(program);
}

void Particlecontainer::updateParticle(double dt, Particle& particle)
{
    (void)dt;
    (void)particle;
}

double Particlecontainer::sortKeyOf(const glm::vec4& viewPosition)
{
    // The camera sits at the view-space origin.
    const glm::dvec3 p(viewPosition.x, viewPosition.y, viewPosition.z);
    const double key = glm::dot(p, p);
    // A NaN key would break the ordering the sort relies on (and with it the sort's
    // bounds); a particle without a usable position counts as the farthest.
    return key == key ? key : std::numeric_limits<double>::infinity();
}

void Particlecontainer::update(double time, const glm::mat4& view)
{
    if (lastUpdateTime < 0.0)
        lastUpdateTime = time;
    const double dt = time - lastUpdateTime;
    for (int i = 0; i < particleCount; ++i) {
        Particle& particle = particles[static_cast<std::size_t>(i)];
        updateParticle(dt, particle);
        particle.viewPosition = view * glm::vec4(particle.position, 1.0f);
        particle.sortKey = sortKeyOf(particle.viewPosition);

        float* slot = &positionSizeStream[static_cast<std::size_t>(i) * floatsPerParticle];
        slot[0] = particle.position.x;
        slot[1] = particle.position.y;
        slot[2] = particle.position.z;
        slot[3] = static_cast<float>(particle.size);
        std::copy(particle.colourBytes, particle.colourBytes + bytesPerParticle,
                  &colourStream[static_cast<std::size_t>(i) * bytesPerParticle]);
    }
    upload();
    lastUpdateTime = time;
}

void Particlecontainer::upload()
{
    const std::size_t count = static_cast<std::size_t>(particleCount);
    const auto positionBytes = static_cast<GLsizeiptr>(count * floatsPerParticle * sizeof(float));
    const auto colourBytes = static_cast<GLsizeiptr>(count * bytesPerParticle);

    glBindBuffer(GL_ARRAY_BUFFER, positionSizeBuffer);
    glBufferData(GL_ARRAY_BUFFER, positionBytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, positionBytes, positionSizeStream.data());

    glBindBuffer(GL_ARRAY_BUFFER, colourBuffer);
    glBufferData(GL_ARRAY_BUFFER, colourBytes, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, colourBytes, colourStream.data());

    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void Particlecontainer::setUniforms(const glm::mat4& projection, const glm::vec3& right, const glm::vec3& up)
{
    // The loader has said why a program did not link; drawing with it would only add GL
    // errors.
    if (!useLinkedProgram(program))
        return;
    bindSampler(program, "particle", 0, texture);
    glUniformMatrix4fv(uniformLocation(program, "P"), 1, GL_FALSE, &projection[0][0]);
    glUniform3fv(uniformLocation(program, "camRight"), 1, &right[0]);
    glUniform3fv(uniformLocation(program, "camUp"), 1, &up[0]);
}

void Particlecontainer::draw(double time, const glm::mat4& view)
{
    update(time, view);

    glEnableVertexAttribArray(cornerAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glVertexAttribPointer(cornerAttribute, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribDivisor(cornerAttribute, 0);

    glEnableVertexAttribArray(positionSizeAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, positionSizeBuffer);
    glVertexAttribPointer(positionSizeAttribute, 4, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribDivisor(positionSizeAttribute, 1);

    glEnableVertexAttribArray(colourAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, colourBuffer);
    glVertexAttribPointer(colourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, 0, nullptr);
    glVertexAttribDivisor(colourAttribute, 1);

    if (particleCount > 0 && programLinked(program)) {
        const DrawBufferScope outputs;
        glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, particleCount);
    }

    // Other draws share the one vertex array object and expect per-vertex attributes.
    glVertexAttribDivisor(cornerAttribute, 0);
    glVertexAttribDivisor(positionSizeAttribute, 0);
    glVertexAttribDivisor(colourAttribute, 0);
    glDisableVertexAttribArray(cornerAttribute);
    glDisableVertexAttribArray(positionSizeAttribute);
    glDisableVertexAttribArray(colourAttribute);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    sortFarthestFirst();
}

void Particlecontainer::step(double time, const glm::mat4& view)
{
    update(time, view);
    sortFarthestFirst();
}

// The next frame's streams follow the pool's order, and blending needs them back to front.
void Particlecontainer::sortFarthestFirst()
{
    std::sort(particles.begin(), particles.begin() + particleCount,
              [](const Particle& a, const Particle& b) { return a.sortKey > b.sortKey; });
}

} // namespace Tarvo
