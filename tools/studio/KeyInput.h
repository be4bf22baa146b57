// The studio's keys, turned into the same commands standard input gives. The window's
// events arrive while the buffers are swapped; the commands wait here for the next frame.
// Brackets and L are taken as the characters typed, so they work on any keyboard layout.
#pragma once

#include <vector>

#include "studio/Command.h"

struct GLFWwindow;

namespace studio {

class KeyInput {
public:
    explicit KeyInput(GLFWwindow* window);
    ~KeyInput();
    KeyInput(const KeyInput&) = delete;
    KeyInput& operator=(const KeyInput&) = delete;

    // The commands of the keys pressed since the last call, in order.
    std::vector<Command> take();

private:
    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onChar(GLFWwindow* window, unsigned int codepoint);

    GLFWwindow* window;
    std::vector<Command> pending;
};

} // namespace studio
