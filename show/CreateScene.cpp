// The main scene of the show. It lives beside the entry point because it pulls in every
// scene's code, which the runtime library itself does not need.
#include "engine/ImageCache.h"
#include "engine/LoadProgress.h"
#include "engine/Texture.h"
#include "runtime/Demo.h"
#include "scenes/SceneUno.h"

namespace Tarvo {

void aDemo::createScene()
{
    // The scene's images decode on other threads while it compiles its shaders and reads
    // its meshes; they are uploaded once it stands.
    loading::expectMore(OrvelDemo::SceneUno::loadSteps);
    BackgroundTextureLoads textures;
    scene = new OrvelDemo::SceneUno();
    textures.finish();
    // Every texture is uploaded: the decoded pixels are not needed again.
    ImageCache::release();
}

} // namespace Tarvo
