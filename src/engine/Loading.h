// What a start-up shares while it loads: the decoded images by path, the account of where
// the time goes and how far loading has come, and the texture uploads held back while their
// images decode. One object that someone owns holds it all: the demo instance, or a tool or
// test that loads without one. The engine's loaders (loadTexture, loadShaderProgram, the
// models' readers) keep the signatures every scene calls them by, so they find it as the
// current loading, which its owner sets; without one they load plainly: nothing is cached,
// timed or deferred. Used from the GL thread only.
#pragma once

#include "engine/ImageCache.h"
#include "engine/LoadProgress.h"

namespace Tarvo {

class BackgroundTextureLoads;

// Not copyable, as its image cache is not.
class Loading {
public:
    // No longer current once destroyed.
    ~Loading();

    // The loaders report to this one from now on, until another is made current or this
    // one is destroyed.
    void makeCurrent();
    // Null when nobody's loading is current.
    static Loading* current();

    ImageCache& images() { return imageCache; }
    LoadAccount& account() { return loadAccount; }
    // The scope whose textures wait for their images; null while textures load at once.
    BackgroundTextureLoads* deferredTextures() const { return deferred; }

private:
    friend class BackgroundTextureLoads;
    ImageCache imageCache;
    LoadAccount loadAccount;
    BackgroundTextureLoads* deferred = nullptr;
};

} // namespace Tarvo
