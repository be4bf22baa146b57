#include "studio/KeyInput.h"

#include <GLFW/glfw3.h>

namespace studio {

namespace {
constexpr double shiftBars = 8.0;
} // namespace

KeyInput::KeyInput(GLFWwindow* window) : window(window)
{
    if (!window)
        return;
    glfwSetWindowUserPointer(window, this);
    glfwSetKeyCallback(window, onKey);
    glfwSetCharCallback(window, onChar);
}

KeyInput::~KeyInput()
{
    if (!window)
        return;
    glfwSetKeyCallback(window, nullptr);
    glfwSetCharCallback(window, nullptr);
    glfwSetWindowUserPointer(window, nullptr);
}

std::vector<Command> KeyInput::take()
{
    std::vector<Command> taken;
    taken.swap(pending);
    return taken;
}

void KeyInput::onKey(GLFWwindow* window, int key, int, int action, int mods)
{
    auto* input = static_cast<KeyInput*>(glfwGetWindowUserPointer(window));
    if (!input || action == GLFW_RELEASE)
        return;
    const bool repeat = action == GLFW_REPEAT;
    const double bars = (mods & GLFW_MOD_SHIFT) ? shiftBars : 1.0;
    switch (key) {
    case GLFW_KEY_LEFT:
        input->pending.push_back(Command{CommandKind::SeekBars, -bars});
        break;
    case GLFW_KEY_RIGHT:
        input->pending.push_back(Command{CommandKind::SeekBars, bars});
        break;
    case GLFW_KEY_SPACE:
        if (!repeat)
            input->pending.push_back(Command{CommandKind::TogglePause});
        break;
    case GLFW_KEY_HOME:
        input->pending.push_back(Command{CommandKind::Home});
        break;
    case GLFW_KEY_TAB:
        if (!repeat)
            input->pending.push_back(Command{CommandKind::ToggleOverlay});
        break;
    case GLFW_KEY_ESCAPE:
        input->pending.push_back(Command{CommandKind::Quit});
        break;
    default:
        break;
    }
}

void KeyInput::onChar(GLFWwindow* window, unsigned int codepoint)
{
    auto* input = static_cast<KeyInput*>(glfwGetWindowUserPointer(window));
    if (!input)
        return;
    if (codepoint == '[')
        input->pending.push_back(Command{CommandKind::MarkLoopStart});
    else if (codepoint == ']')
        input->pending.push_back(Command{CommandKind::MarkLoopEnd});
    else if (codepoint == 'l' || codepoint == 'L')
        input->pending.push_back(Command{CommandKind::ToggleLoop});
}

} // namespace studio
