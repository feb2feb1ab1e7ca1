// Turns input events into handler calls: one hit-test serves presses, releases, moves and the pointer shown.
#pragma once

#include <array>
#include <functional>
#include <optional>

#include "platform/display.h"
#include "scene/scene.h"

namespace zuvela {

// What a mouse handler receives: positions relative to the control (the window's own for ControlId::Form).
// `button` is the button pressed for a press and the sum of the buttons held for a move.
struct MouseArgs {
    int button = 0;
    int shift = 0;
    double x = 0;
    double y = 0;
};

struct KeyArgs {
    int code = 0;
    int shift = 0;
};

class EventRouter {
  public:
    using ClickHandler = std::function<void()>;
    using MouseHandler = std::function<void(const MouseArgs&)>;
    using KeyHandler = std::function<void(const KeyArgs&)>;
    // Told which control the pointer is over (ControlId::Form for the bare window), so it can show its
    // pointer.
    using PointerWatcher = std::function<void(ControlId)>;

    explicit EventRouter(Scene& scene) : m_scene(scene) {}

    void on_click(ControlId id, ClickHandler handler) { slot(id).click = std::move(handler); }
    void on_mouse_down(ControlId id, MouseHandler handler) { slot(id).mouse_down = std::move(handler); }
    void on_mouse_move(ControlId id, MouseHandler handler) { slot(id).mouse_move = std::move(handler); }
    void on_key_down(ControlId id, KeyHandler handler) { slot(id).key_down = std::move(handler); }
    void watch_pointer(PointerWatcher watcher) { m_pointer_watcher = std::move(watcher); }

    // Runs the handlers for one event, each under the error trap.
    void dispatch(const InputEvent& event);

  private:
    struct Handlers {
        ClickHandler click;
        MouseHandler mouse_down;
        MouseHandler mouse_move;
        KeyHandler key_down;
    };

    Handlers& slot(ControlId id) { return m_handlers[std::size_t(index_of(id))]; }
    ControlId target_at(Point p) const;
    MouseArgs args_for(ControlId target, const MouseEvent& e, int button) const;
    void mouse(const MouseEvent& e);
    void key(const KeyEvent& e);

    Scene& m_scene;
    std::array<Handlers, k_control_count + 1> m_handlers;
    PointerWatcher m_pointer_watcher;
    std::optional<ControlId> m_capture;  // the target of the press that is still held
    std::optional<ControlId> m_pressed;  // where the left button went down, for the click
    std::optional<ControlId> m_hovered;
};

}  // namespace zuvela
