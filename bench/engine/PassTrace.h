// The passes of a frame as the driver sees them, recorded without touching the engine:
// every framebuffer bind goes through GLEW's function pointer, which the trace points at
// its own function for as long as it is installed. A pass is the stretch between two
// binds; the engine clears on every bind, so each pass is "bind, clear, draw (or not)".
// Optionally each bind waits for the driver first, so the time between binds is what
// the pass before it cost.
#pragma once

#include <GL/glew.h>

#include <string>
#include <vector>

#include "PassClock.h"

namespace framebench {

struct Pass {
    GLuint framebuffer = 0;
    int width = 0;              // the viewport the pass drew with
    int height = 0;
    int drawBuffers = 0;        // colour attachments written (the window: 1)
    int outputs = 0;            // most fragment outputs of the programs it drew with
    GLuint texture = 0;         // the target's first colour texture (0 for the window)
    std::vector<GLuint> programs; // in the order they were made current
    PassTime time;              // to the next bind, when timed

    bool draws() const { return !programs.empty(); }
};

class PassTrace {
public:
    PassTrace();
    ~PassTrace();
    PassTrace(const PassTrace&) = delete;
    PassTrace& operator=(const PassTrace&) = delete;

    // Starts a frame: what is bound now is the first pass. With timed set, every bind
    // (and end()) first waits for the driver to finish what was asked of it.
    void begin(bool timed);
    // Ends the frame; passes() then holds it.
    void end();
    const std::vector<Pass>& passes() const { return recorded; }

    // The passes that drew with a program.
    static int drawingPasses(const std::vector<Pass>& passes);

private:
    static void GLAPIENTRY bindFramebuffer(GLenum target, GLuint framebuffer);
    static void GLAPIENTRY useProgram(GLuint program);
    void startPass(GLuint framebuffer);
    void closePass();
    void noteProgram(GLuint program);

    PFNGLBINDFRAMEBUFFERPROC realBind;
    PFNGLUSEPROGRAMPROC realUse;
    std::vector<Pass> recorded;
    bool recording = false;
    bool timed = false;
    PassClock clock;
};

} // namespace framebench
