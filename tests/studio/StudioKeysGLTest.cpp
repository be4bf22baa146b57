// vantor-studio edited by its window's keys, in-process: the key events go through the
// same callbacks GLFW calls during the swap, and each frame is run as the studio's loop
// runs it. The track view takes a typed value at the cursor, undo and redo, the
// interpolation cycle, a block copied and pasted, a save, and the question asked before
// quitting with unsaved edits; F12's screenshot shows each edit in the picture.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "StudioShow.h"
#include "runtime/Window.h"
#include "studio/KeyInput.h"
#include "studio/Studio.h"
#include "studio/StudioEditor.h"
#include "studio/Transport.h"
#include "support/ReadFile.h"
#include "support/ScratchDir.h"

namespace studio {
namespace {

namespace fs = std::filesystem;

const std::string timeline = "#   start   rows   0-48\n#   end     rows  48-300\ntrack e\n0     2.0  step\n300   0.0  step\n\ntrack cardfade\n0     0.0  step\n";

std::vector<int> rowsOf(Studio& studio, const std::string& track)
{
    std::vector<int> rows;
    if (const DocumentTrack* t = studio.editor().session().document().track(track))
        for (const DocumentKey& key : t->keys)
            rows.push_back(key.key.row);
    return rows;
}

class StudioKeysGLTest : public testing::Test {
protected:
    void frame()
    {
        studio->beginFrame();
        studio->drawFrame();
    }
    void press(int key, int mods = 0)
    {
        KeyInput::onKey(window, key, 0, GLFW_PRESS, mods);
        KeyInput::onKey(window, key, 0, GLFW_RELEASE, mods);
        frame();
    }
    void type(const std::string& text)
    {
        for (const char c : text)
            KeyInput::onChar(window, static_cast<unsigned char>(c));
        frame();
    }
    double shot()
    {
        const std::string name = "vantor-studio-testcard-" + std::to_string(cursorRow(studio->transport().row())) + ".png";
        fs::remove(name);
        press(GLFW_KEY_F12);
        return studiotest::meanBrightness(name);
    }

    testsupport::ScratchDir folder;
    std::unique_ptr<Studio> studio;
    GLFWwindow* window = nullptr;
};

TEST_F(StudioKeysGLTest, TheTrackViewEditsByKeysAndAsksBeforeQuittingWithUnsavedEdits)
{
    ASSERT_NO_FATAL_FAILURE(studiotest::makeStudioShow(folder.path()));
    folder.write("data/timeline.txt", timeline);
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    StudioOptions options;
    options.scene = "testcard";
    options.width = 96;
    options.height = 54;
    options.paused = true;
    options.hasRow = true;
    options.row = 40.0;
    options.remember = false;
    std::FILE* out = std::tmpfile();
    std::FILE* log = std::tmpfile();
    studio = std::make_unique<Studio>(options, out, log);
    if (!studio->start())
        GTEST_SKIP() << "no window for the studio";
    window = Tarvo::currentWindow();
    frame();
    const double drawn = shot();
    ASSERT_GT(drawn, 40.0);

    press(GLFW_KEY_TAB);
    ASSERT_EQ(studio->view(), Studio::View::Tracks);
    press(GLFW_KEY_RIGHT); // from "e" to "cardfade"
    EXPECT_EQ(studio->editor().cursorTrackName(), "cardfade");
    type("1");
    press(GLFW_KEY_ENTER);
    EXPECT_EQ(rowsOf(*studio, "cardfade"), (std::vector<int>{0, 40}));
    EXPECT_LT(shot(), 2.0) << "faded to black from row 40";
    EXPECT_EQ(testsupport::readFile("data/timeline.txt"), timeline);

    press(GLFW_KEY_Z, GLFW_MOD_CONTROL);
    EXPECT_EQ(rowsOf(*studio, "cardfade"), (std::vector<int>{0}));
    EXPECT_GT(shot(), 40.0);
    press(GLFW_KEY_Y, GLFW_MOD_CONTROL);
    EXPECT_EQ(rowsOf(*studio, "cardfade"), (std::vector<int>{0, 40}));
    type("i");
    ASSERT_EQ(rowsOf(*studio, "cardfade").size(), 2u);
    EXPECT_EQ(studio->editor().session().document().track("cardfade")->keys[1].key.type, Linear);

    // A block of rows 39 to 41 copied, pasted at row 46: the key lands on 47.
    press(GLFW_KEY_UP);
    EXPECT_EQ(cursorRow(studio->transport().row()), 39);
    press(GLFW_KEY_DOWN, GLFW_MOD_SHIFT);
    press(GLFW_KEY_DOWN, GLFW_MOD_SHIFT);
    press(GLFW_KEY_C, GLFW_MOD_CONTROL);
    for (int i = 0; i < 5; ++i)
        press(GLFW_KEY_DOWN);
    press(GLFW_KEY_V, GLFW_MOD_CONTROL);
    EXPECT_EQ(rowsOf(*studio, "cardfade"), (std::vector<int>{0, 40, 47}));
    // Ctrl+Up goes back to the key before; Alt+Down moves it a row later.
    press(GLFW_KEY_UP, GLFW_MOD_CONTROL);
    EXPECT_EQ(cursorRow(studio->transport().row()), 40);
    press(GLFW_KEY_DOWN, GLFW_MOD_ALT);
    EXPECT_EQ(rowsOf(*studio, "cardfade"), (std::vector<int>{0, 41, 47}));

    // The sections of the timeline's header: Ctrl+PgDn and Ctrl+PgUp go from one to the next.
    press(GLFW_KEY_PAGE_DOWN, GLFW_MOD_CONTROL);
    EXPECT_EQ(cursorRow(studio->transport().row()), 48);
    press(GLFW_KEY_PAGE_UP, GLFW_MOD_CONTROL);
    press(GLFW_KEY_PAGE_UP, GLFW_MOD_CONTROL); // none before the first: stays
    EXPECT_EQ(cursorRow(studio->transport().row()), 0);
    for (int i = 0; i < 5; ++i)
        press(GLFW_KEY_PAGE_DOWN); // five beats
    press(GLFW_KEY_UP);
    EXPECT_EQ(cursorRow(studio->transport().row()), 39);
    // The wheel scrolls four rows a notch, down to later rows.
    KeyInput::onScroll(window, 0.0, -1.0);
    frame();
    EXPECT_EQ(cursorRow(studio->transport().row()), 43);
    KeyInput::onScroll(window, 0.0, 1.0);
    frame();
    press(GLFW_KEY_DOWN);
    press(GLFW_KEY_DOWN);

    press(GLFW_KEY_S, GLFW_MOD_CONTROL);
    EXPECT_FALSE(studio->editor().session().dirty());
    EXPECT_EQ(testsupport::readFile("data/timeline.txt"), timeline + "41    1.0  linear\n47    1.0  linear\n");

    // Unsaved again: Escape asks, C keeps editing, D quits with the edits kept aside.
    press(GLFW_KEY_DELETE);
    EXPECT_EQ(rowsOf(*studio, "cardfade"), (std::vector<int>{0, 47}));
    press(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(studio->running());
    EXPECT_TRUE(studio->editor().asking());
    press(GLFW_KEY_C);
    EXPECT_TRUE(studio->running());
    EXPECT_FALSE(studio->editor().asking());
    press(GLFW_KEY_ESCAPE);
    press(GLFW_KEY_D);
    EXPECT_FALSE(studio->running());
    EXPECT_EQ(testsupport::readFile("data/timeline.txt.recovery"), timeline + "47    1.0  linear\n");
    EXPECT_EQ(testsupport::readFile("data/timeline.txt"), timeline + "41    1.0  linear\n47    1.0  linear\n");
    studio->finish();
    std::fclose(out);
    std::fclose(log);
}

} // namespace
} // namespace studio
