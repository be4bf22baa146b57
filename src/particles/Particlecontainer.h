// The engine's base for billboard particle systems: a fixed pool of particles advanced by
// a rule of the derived class, streamed to the GPU each frame and drawn as camera-facing
// quads with one instanced draw call.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo {

// One pool slot.
struct Particle {
    glm::vec3 position{0.0f};
    glm::vec3 restPosition{0.0f};
    glm::vec3 velocity{0.0f};
    glm::vec4 colour{0.0f};
    glm::vec4 viewPosition{0.0f}; // written at each update
    double size = 0.0;
    double weight = 0.0;  // set by the initialiser; the container does not read it
    double sortKey = 0.0; // written at each update; larger is farther from the camera
    std::uint8_t colourBytes[4] = {0, 0, 0, 0}; // red, green, blue, alpha as sent to the GPU
};

class Particlecontainer {
public:
    // Fixed vertex attribute indices of "./data/shaders/particle.vs".
    static constexpr GLuint cornerAttribute = 0;
    static constexpr GLuint positionSizeAttribute = 1;
    static constexpr GLuint colourAttribute = 2;
    // The last update time before the first update; any negative value means "none yet".
    static constexpr double noUpdateYet = -42.0;

    // Allocates everything the pool will ever need and loads the particle program and the
    // texture (repeat wrapping). The derived class fills the pool with initParticles.
    Particlecontainer(int poolSize, const std::string& texturePath);
    ~Particlecontainer();
    Particlecontainer(const Particlecontainer&) = delete;
    Particlecontainer& operator=(const Particlecontainer&) = delete;

    // Advances one particle by dt (the time since the previous update); the base leaves it.
    virtual void updateParticle(double dt, Particle& particle);
    // Advances every particle, computes view-space positions and sort keys, fills the
    // streams in pool order and uploads them.
    virtual void update(double time, const glm::mat4& view);
    // Updates, draws every particle with one instanced call, then sorts the pool farthest
    // first so that the next frame's streams run back to front. The owner sets blending
    // and depth state around it and calls setUniforms first.
    virtual void draw(double time, const glm::mat4& view);
    // Everything draw does but the drawing: for frames that are skipped, so the frames
    // after them come out as if they had been drawn.
    void step(double time, const glm::mat4& view);
    // Makes the particle program current with its texture on unit 0. projection is the
    // whole world-to-clip transform ("P"); right and up are the camera's axes in world
    // space, along which the billboards are spread.
    virtual void setUniforms(const glm::mat4& projection, const glm::vec3& right, const glm::vec3& up);
    virtual void initParticles() = 0;
    // Streams both per-particle arrays to their buffers, orphaning each store first.
    virtual void upload();

    int getPoolSize() const { return poolSize; }
    int getParticleCount() const { return particleCount; }
    const std::vector<Particle>& getParticles() const { return particles; }
    const std::vector<float>& getPositionSizeStream() const { return positionSizeStream; }
    const std::vector<std::uint8_t>& getColourStream() const { return colourStream; }
    double getLastUpdateTime() const { return lastUpdateTime; }
    GLuint getProgram() const { return program; }
    GLuint getTexture() const { return texture; }
    GLuint getQuadBuffer() const { return quadBuffer; }
    GLuint getPositionSizeBuffer() const { return positionSizeBuffer; }
    GLuint getColourBuffer() const { return colourBuffer; }

    // The sort key of a view-space position: its squared distance from the camera.
    static double sortKeyOf(const glm::vec4& viewPosition);

protected:
    int poolSize;
    GLuint quadBuffer = 0;
    GLuint positionSizeBuffer = 0;
    GLuint colourBuffer = 0;
    glm::vec3 origin{0.0f};
    int particleCount;
    std::vector<Particle> particles;
    std::vector<std::uint8_t> colourStream;   // 4 bytes per particle
    std::vector<float> positionSizeStream;    // x, y, z, size per particle
    GLuint program = 0;
    GLuint texture = 0;
    double lastUpdateTime = noUpdateYet;

private:
    void sortFarthestFirst();
};

} // namespace Tarvo
