// The studio's keys and mouse, turned into the same commands standard input gives. The
// window's events arrive while the buffers are swapped; the commands wait here for the
// next frame. Brackets, L and M are taken as the characters typed, so they work on any
// keyboard layout. With the track view shown, the keys the editor uses (arrows, pages,
// Enter, Delete, typing) go to it as they come; with Control, they do in every view.
#pragma once

#include <optional>
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
    // Whether the track view is shown: the keys' meanings change with it.
    void setEditing(bool on) { editing = on; }

    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onChar(GLFWwindow* window, unsigned int codepoint);
    static void onMouseButton(GLFWwindow* window, int button, int action, int mods);
    static void onCursor(GLFWwindow* window, double x, double y);
    static void onScroll(GLFWwindow* window, double dx, double dy);

private:
    GLFWwindow* window;
    std::vector<Command> pending;
    bool editing = false;
    bool dragging = false;
};

// The transport's command for a typed character ([, ], L, M), if it has one.
std::optional<CommandKind> characterCommand(unsigned int codepoint);

} // namespace studio
