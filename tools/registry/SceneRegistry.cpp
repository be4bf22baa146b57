// Registered scenes. A new scene joins with one entry here.
#include "registry/SceneRegistry.h"

#include "registry/TestCard.h"
#include "engine/ImageCache.h"
#include "engine/Texture.h"
#include "runtime/Demo.h"
#include "scenes/AoScene.h"
#include "scenes/Motionscene.h"
#include "scenes/SnowViewer.h"
#include "scenes/SsrScene.h"
#include "scenes/ToyViewer.h"

namespace OrvelDemo {

namespace {

Tarvo::PostScene* createMain(Tarvo::aDemo& demo)
{
    demo.createScene();
    return demo.getScene();
}

// Scenes other than the main one are built the same way and, like it, live until the
// program ends.
template <typename SceneType>
Tarvo::PostScene* create(Tarvo::aDemo& demo)
{
    Tarvo::BackgroundTextureLoads textures;
    auto* scene = new SceneType();
    textures.finish();
    demo.setScene(scene);
    Tarvo::ImageCache::release();
    return scene;
}

void advanceSnow(Tarvo::PostScene& scene, double time)
{
    static_cast<SnowViewer&>(scene).advance(time);
}

} // namespace

const std::vector<SceneEntry>& sceneRegistry()
{
    static const std::vector<SceneEntry> entries = {
        {"main", "the show's main scene", createMain},
        {"ao", "the ambient-occlusion scene", create<AoScene>},
        {"motion", "the motion-blur scene", create<Motionscene>, "./data/science/motion/sync",
         "./data/scenes/motion/timeline.txt"},
        {"ssr", "the screen-space-reflection scene", create<SsrScene>},
        {"snow", "the snow particles on their own", create<SnowViewer>, nullptr, nullptr, advanceSnow},
        {"toy", "the shader-toy scene", create<ToyViewer>},
        {"testcard", "a picture that changes with every row, through the full post-processing chain",
         create<TestCard>},
    };
    return entries;
}

std::string timelinePath(const SceneEntry& entry)
{
    return entry.timeline ? entry.timeline : "./data/timeline.txt";
}

std::vector<std::string> sceneNames()
{
    std::vector<std::string> names;
    for (const SceneEntry& entry : sceneRegistry())
        names.emplace_back(entry.name);
    return names;
}

const SceneEntry* findScene(const std::string& name)
{
    for (const SceneEntry& entry : sceneRegistry())
        if (name == entry.name)
            return &entry;
    return nullptr;
}

} // namespace OrvelDemo
