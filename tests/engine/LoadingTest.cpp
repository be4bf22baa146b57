// A start-up's loading as an object its owner holds: steps count in the current loading's
// account only, its listener hears about them between loaders and never inside one, and
// each loading decodes into its own image cache.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

#include "engine/Loading.h"
#include "support/CapturedOutput.h"
#include "support/ScratchDir.h"

namespace {

using Tarvo::LoadPhase;
using Tarvo::LoadStep;
using Tarvo::Loading;

TEST(LoadingTest, StepsCountInTheCurrentLoadingAndNowhereWithoutOne)
{
    {
        const LoadStep ignored(LoadPhase::Shaders);
    }
    EXPECT_EQ(Loading::current(), nullptr) << "steps without an owner are not an error";

    Loading first;
    Loading second;
    first.makeCurrent();
    first.account().begin(4);
    {
        const LoadStep step(LoadPhase::Meshes);
        const LoadStep uncounted(LoadPhase::Textures, false);
    }
    second.makeCurrent();
    {
        const LoadStep step(LoadPhase::Shaders);
    }
    EXPECT_EQ(first.account().progress().stepsDone, 1);
    EXPECT_DOUBLE_EQ(first.account().progress().fraction(), 0.25);
    EXPECT_EQ(second.account().progress().stepsDone, 1);
    EXPECT_DOUBLE_EQ(second.account().progress().fraction(), 0.0) << "nothing expected: no fraction";
}

TEST(LoadingTest, TheListenerHearsOfProgressOnlyBetweenLoaders)
{
    Loading loading;
    loading.makeCurrent();
    loading.account().begin(10);
    std::vector<int> heard;
    loading.account().setListener([&](const Tarvo::LoadProgress& p) { heard.push_back(p.stepsDone); });
    {
        // A model that loads its texture: the texture's step ends inside the model's.
        const LoadStep model(LoadPhase::Meshes);
        {
            const LoadStep texture(LoadPhase::Textures);
        }
        EXPECT_TRUE(heard.empty()) << "told in the middle of a loader";
    }
    {
        const LoadStep shader(LoadPhase::Shaders);
    }
    EXPECT_EQ(heard, (std::vector<int>{2, 3}));
    loading.account().setListener(nullptr);
    {
        const LoadStep after(LoadPhase::Shaders);
    }
    EXPECT_EQ(heard.size(), 2u);
}

TEST(LoadingTest, OnlyTheCurrentLoadingIsCleared)
{
    auto owned = std::make_unique<Loading>();
    Loading other;
    owned->makeCurrent();
    other.makeCurrent();
    owned.reset();
    EXPECT_EQ(Loading::current(), &other) << "a loading that was not current leaves the current one";
    auto last = std::make_unique<Loading>();
    last->makeCurrent();
    last.reset();
    EXPECT_EQ(Loading::current(), nullptr);
}

TEST(LoadingTest, EachLoadingHasItsOwnImagesAndSaysOnceWhatDoesNotDecode)
{
    testsupport::ScratchDir folder;
    const std::string broken = folder.file("broken.png");
    std::ofstream(broken) << "not an image";
    testsupport::CapturedOutput out;
    Loading first;
    Loading second;
    EXPECT_EQ(first.images().get(broken)->components, 0);
    EXPECT_EQ(first.images().get(broken)->components, 0);
    EXPECT_FALSE(second.images().get(broken)->failure.empty());
    const std::string log = out.take();
    const std::string line = "Image " + broken + " cannot be decoded: ";
    const auto firstSaid = log.find(line);
    ASSERT_NE(firstSaid, std::string::npos) << log;
    const auto secondSaid = log.find(line, firstSaid + 1);
    ASSERT_NE(secondSaid, std::string::npos) << "each cache says it once\n" << log;
    EXPECT_EQ(log.find(line, secondSaid + 1), std::string::npos) << log;
}

} // namespace
