// The main scene of the show. It lives beside the entry point because it pulls in every
// scene's code, which the runtime library itself does not need.
#include "engine/ImageCache.h"
#include "runtime/Demo.h"
#include "scenes/SceneUno.h"

namespace Tarvo {

void aDemo::createScene()
{
    scene = new OrvelDemo::SceneUno();
    // Every texture is uploaded: the decoded pixels are not needed again.
    ImageCache::release();
}

} // namespace Tarvo
