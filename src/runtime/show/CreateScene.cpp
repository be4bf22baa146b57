// The main scene of the show. It lives beside the entry point because it pulls in every
// scene's code, which the runtime library itself does not need.
#include "runtime/Demo.h"

namespace Tarvo {

void aDemo::createScene()
{
    // The show's scene is not part of this build yet: the window shows the cleared
    // frame while the music, the rows and the end track run.
    scene = nullptr;
}

} // namespace Tarvo
