// Times frames and their passes on the GPU with timestamp queries: one at the start and
// end of a frame and one at every framebuffer bind, which is where a pass of the engine
// begins (binding pushes and clears a target, releasing re-binds the one below).
#pragma once

#include <GL/glew.h>

#include <vector>

#include "capture/GpuTimes.h"

namespace capture {

class GpuTimer {
public:
    GpuTimer();
    ~GpuTimer();
    GpuTimer(const GpuTimer&) = delete;
    GpuTimer& operator=(const GpuTimer&) = delete;

    // False when the driver has no timestamp counter; the other calls then do nothing.
    bool available() const { return counterBits > 0; }
    // Between these two, every bind and program change of the engine is seen (GL's entry
    // points are swapped for the timer's own while a frame is timed).
    void beginFrame();
    void endFrame();
    // The frame just ended, once the GPU has finished it (waits for it).
    GpuFrame collect();

private:
    static void GLAPIENTRY bindFramebuffer(GLenum target, GLuint framebuffer);
    static void GLAPIENTRY useProgram(GLuint program);
    void stamp();

    GLint counterBits = 0;
    PFNGLBINDFRAMEBUFFERPROC realBind = nullptr;
    PFNGLUSEPROGRAMPROC realUse = nullptr;
    std::vector<GLuint> queries; // a pool, reused frame after frame
    size_t used = 0;
    std::vector<GpuPass> passes; // names so far; times filled by collect()
};

} // namespace capture
