// Registered scenes. A new scene joins with one entry here.
#include "capture/SceneRegistry.h"

#include "capture/TestCard.h"
#include "runtime/Demo.h"

namespace capture {

namespace {

Tarvo::PostScene* createMain(Tarvo::aDemo& demo)
{
    demo.createScene();
    return demo.getScene();
}

Tarvo::PostScene* createTestCard(Tarvo::aDemo& demo)
{
    // Like the main scene, it lives until the program ends.
    auto* card = new TestCard();
    demo.setScene(card);
    return card;
}

} // namespace

const std::vector<SceneEntry>& sceneRegistry()
{
    static const std::vector<SceneEntry> entries = {
        {"main", "the show's main scene", createMain},
        {"testcard", "a picture that changes with every row, through the full post-processing chain",
         createTestCard},
    };
    return entries;
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

} // namespace capture
