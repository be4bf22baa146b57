// Registered scenes. A new scene joins with one entry here.
#include "scenes/SceneRegistry.h"

#include "engine/Loading.h"
#include "engine/Texture.h"
#include "runtime/Demo.h"
#include "scenes/AoScene.h"
#include "scenes/Motionscene.h"
#include "scenes/SceneUno.h"
#include "scenes/SceneUnoTracks.h"
#include "scenes/SnowViewer.h"
#include "scenes/SsrScene.h"
#include "scenes/TestCard.h"
#include "scenes/ToyViewer.h"

namespace OrvelDemo {

namespace {

// Every scene is built the same way and, like the show's, lives until the program ends.
// Its images decode on other threads while it compiles its shaders and reads its meshes;
// they are uploaded once it stands, and the decoded pixels are not needed again.
template <typename SceneType>
Tarvo::PostScene* create(Tarvo::aDemo& demo)
{
    Tarvo::Loading& loading = demo.getLoading();
    if constexpr (requires { SceneType::loadSteps; })
        loading.account().expectMore(SceneType::loadSteps);
    Tarvo::BackgroundTextureLoads textures(loading);
    auto* scene = new SceneType();
    textures.finish();
    demo.setScene(scene);
    loading.images().release();
    return scene;
}

std::vector<std::string> mainTracks()
{
    std::vector<std::string> names{"e"};
    names.insert(names.end(), unoTrackNames.begin(), unoTrackNames.end());
    return names;
}

void advanceSnow(Tarvo::PostScene& scene, double time)
{
    static_cast<SnowViewer&>(scene).advance(time);
}

constexpr SceneEntry entries[] = {
    {"main", "the show's main scene", create<SceneUno>, nullptr, nullptr, nullptr, mainTracks},
    {"ao", "the ambient-occlusion scene", create<AoScene>},
    {"motion", "the motion-blur scene", create<Motionscene>, "./data/science/motion/sync",
     "./data/scenes/motion/timeline.txt"},
    {"ssr", "the screen-space-reflection scene", create<SsrScene>},
    {"snow", "the snow particles on their own", create<SnowViewer>, nullptr, nullptr, advanceSnow},
    {"toy", "the shader-toy scene", create<ToyViewer>},
    {"testcard", "a picture that changes with every row, through the full post-processing chain",
     create<TestCard>},
};

} // namespace

std::span<const SceneEntry> sceneRegistry()
{
    return entries;
}

const SceneEntry& mainScene()
{
    return sceneRegistry().front();
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

namespace Tarvo {

void aDemo::createScene()
{
    OrvelDemo::mainScene().create(*this);
}

} // namespace Tarvo
