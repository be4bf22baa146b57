// WebGL refuses a draw while the bound target has a colour attachment that the fragment
// shader writes no output for (desktop GL leaves such an attachment's contents undefined
// and draws). The scenes' targets have one attachment per geometry output, and the
// full-screen passes that draw into them write one colour; for the length of one draw this
// narrows the bound target's draw buffers to the outputs the current program has. Desktop
// builds draw as they always have: the scope does nothing there.
#pragma once

#include <GL/glew.h>

namespace Tarvo {

class DrawBufferScope {
public:
    DrawBufferScope();
    ~DrawBufferScope();
    DrawBufferScope(const DrawBufferScope&) = delete;
    DrawBufferScope& operator=(const DrawBufferScope&) = delete;

private:
    unsigned restoreCount = 0; // attachments to re-enable when the draw is done; 0: none
};

// The draw buffers for a target of count attachments drawn by a program whose outputs are
// the locations set in outputMask: attachment i where the program writes location i, none
// elsewhere. Only the first maxDrawBuffers entries are written; returns how many there are.
unsigned drawBuffersFor(unsigned outputMask, unsigned count, GLenum* buffers, unsigned maxDrawBuffers);

} // namespace Tarvo
