#include "studio/KeyInput.h"

#include <GLFW/glfw3.h>

namespace studio {

namespace {
constexpr double shiftBars = 8.0;

KeyInput* inputOf(GLFWwindow* window)
{
    return static_cast<KeyInput*>(glfwGetWindowUserPointer(window));
}

// Points the window's input callbacks at input, or with nullptr takes them away.
void connect(GLFWwindow* window, KeyInput* input)
{
    const bool on = input != nullptr;
    glfwSetWindowUserPointer(window, input);
    glfwSetKeyCallback(window, on ? KeyInput::onKey : nullptr);
    glfwSetCharCallback(window, on ? KeyInput::onChar : nullptr);
    glfwSetMouseButtonCallback(window, on ? KeyInput::onMouseButton : nullptr);
    glfwSetCursorPosCallback(window, on ? KeyInput::onCursor : nullptr);
    glfwSetScrollCallback(window, on ? KeyInput::onScroll : nullptr);
}
} // namespace

KeyInput::KeyInput(GLFWwindow* window) : window(window)
{
    if (window)
        connect(window, this);
}

KeyInput::~KeyInput()
{
    if (window)
        connect(window, nullptr);
}

std::vector<Command> KeyInput::take()
{
    std::vector<Command> taken;
    taken.swap(pending);
    return taken;
}

void KeyInput::onKey(GLFWwindow* window, int key, int, int action, int mods)
{
    KeyInput* input = inputOf(window);
    if (!input || action == GLFW_RELEASE)
        return;
    const bool repeat = action == GLFW_REPEAT;
    auto push = [input](CommandKind kind, double first = 0.0) { input->pending.push_back(Command{kind, first}); };
    switch (key) {
    case GLFW_KEY_SPACE:
        if (!repeat)
            push(CommandKind::TogglePause);
        return;
    case GLFW_KEY_HOME:
        push(CommandKind::Home);
        return;
    case GLFW_KEY_TAB:
        if (!repeat)
            push(CommandKind::ToggleOverlay);
        return;
    case GLFW_KEY_F12:
        if (!repeat)
            push(CommandKind::Screenshot);
        return;
    default:
        break;
    }
    if (input->editing || (mods & GLFW_MOD_CONTROL) || key == GLFW_KEY_ESCAPE) {
        // The editor takes it; an Escape it has no use for quits.
        input->pending.push_back(Command{CommandKind::EditorKey, double(key), double(mods)});
        return;
    }
    const double bars = (mods & GLFW_MOD_SHIFT) ? shiftBars : 1.0;
    if (key == GLFW_KEY_LEFT)
        push(CommandKind::SeekBars, -bars);
    else if (key == GLFW_KEY_RIGHT)
        push(CommandKind::SeekBars, bars);
}

void KeyInput::onChar(GLFWwindow* window, unsigned int codepoint)
{
    KeyInput* input = inputOf(window);
    if (!input)
        return;
    // In the track view the editor sees every character first and hands back those it
    // does not use; elsewhere they are the transport's.
    if (input->editing)
        input->pending.push_back(Command{CommandKind::EditorChar, double(codepoint)});
    else if (const auto command = characterCommand(codepoint))
        input->pending.push_back(Command{*command});
}

std::optional<CommandKind> characterCommand(unsigned int codepoint)
{
    switch (codepoint) {
    case '[': return CommandKind::MarkLoopStart;
    case ']': return CommandKind::MarkLoopEnd;
    case 'l':
    case 'L': return CommandKind::ToggleLoop;
    case 'm':
    case 'M': return CommandKind::ToggleMute;
    default: return std::nullopt;
    }
}

void KeyInput::onMouseButton(GLFWwindow* window, int button, int action, int)
{
    KeyInput* input = inputOf(window);
    if (!input || button != GLFW_MOUSE_BUTTON_LEFT)
        return;
    double x = 0.0, y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    input->dragging = action == GLFW_PRESS;
    input->pending.push_back(Command{action == GLFW_PRESS ? CommandKind::MouseDown : CommandKind::MouseUp, x, y});
}

void KeyInput::onCursor(GLFWwindow* window, double x, double y)
{
    KeyInput* input = inputOf(window);
    if (input && input->dragging)
        input->pending.push_back(Command{CommandKind::MouseMove, x, y});
}

void KeyInput::onScroll(GLFWwindow* window, double, double dy)
{
    if (KeyInput* input = inputOf(window))
        input->pending.push_back(Command{CommandKind::Scroll, dy});
}

} // namespace studio
