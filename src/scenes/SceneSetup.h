// What the demo's scenes share when they set up: their tracks, opened from the demo
// instance's store, and the alternative scenes' camera (45 degrees, 4:3, looking at the
// origin from (4, 3, 3)) with models placed under it and drawn by one object program.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <initializer_list>

#include "mesh/Model.h"
#include "sync/Sync.h"

namespace OrvelDemo {

// A handle to the named track of the demo instance's store; a handle without a track
// (value 0) when there is no store.
TrackHandle openTrack(const char* name);

// 45 degrees vertical, aspect 4/3, near 0.1, far 100.
glm::mat4 showcaseProjection();
// Looking at the origin from (4, 3, 3), y up.
glm::mat4 showcaseView();

// Gives each model the projection, the view, an identity model matrix and the program.
void placeModels(std::initializer_list<Tarvo::Model*> models, const glm::mat4* projection,
    const glm::mat4& view, GLuint program);

} // namespace OrvelDemo
