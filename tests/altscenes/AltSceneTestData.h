// A data directory for rendering the alternative scenes in tests: the repository's shaders,
// the scene meshes as the asset generator writes them, small patterned images and the
// tracks a test asks for. Also picture helpers for reading results back.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <map>
#include <string>
#include <vector>

#include "support/ScratchDir.h"
#include "sync/SyncTracks.h"

namespace altscenetest {

using Tracks = std::map<std::string, std::vector<TrackKey>>;

// Fills the scratch folder's data/ afresh with everything the alternative scenes and the
// viewers open, writes the tracks and makes the folder the working directory, with a fresh
// track store so that these tracks are the ones scenes get.
void makeAltSceneData(const testsupport::ScratchDir& scratch, const Tracks& tracks = {});

// Linear RGBA float pixels of a texture, bottom row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;

    static Picture of(GLuint texture, int width, int height);
    const float* at(int x, int y) const;
    // Mean of red, green and blue over the picture.
    float mean() const;
    // Mean brightness of a square of pixels around (x, y), clamped to the picture.
    float meanAround(int x, int y, int radius) const;
    // Sum of absolute differences between horizontal and vertical neighbours: how much
    // sharp detail the picture holds.
    double edgeEnergy() const;
    // Number of pixels whose colour differs from (r, g, b) by more than limit (summed over
    // the three channels).
    int pixelsUnlike(float r, float g, float b, float limit) const;
};

// Writes the picture as DIR/name.png when the environment names a folder in
// VANTOR_TEST_PICTURES, to look at what a test saw.
void keepPicture(const Picture& picture, const std::string& name);

// Window pixel of a world point seen through projection x view.
glm::ivec2 pixelOf(const glm::mat4& projectionView, const glm::vec3& world, int width, int height);

// The "Compiling:", "Loading OBJ file", "texID_[" and "SYNC TRACK" lines of a log, in order.
std::vector<std::string> loadEvents(const std::string& log);

} // namespace altscenetest
