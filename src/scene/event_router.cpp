#include "scene/event_router.h"

#include <cmath>

#include "platform/errors.h"

namespace zuvela {

void EventRouter::dispatch(const InputEvent& event) {
    if (const auto* m = std::get_if<MouseEvent>(&event)) {
        mouse(*m);
    } else if (const auto* k = std::get_if<KeyEvent>(&event)) {
        key(*k);
    }
}

ControlId EventRouter::target_at(Point p) const {
    const std::optional<ControlId> hit = m_scene.control_at(p);
    if (!hit || !m_scene.control(*hit).enabled) return ControlId::Form;
    return *hit;
}

MouseArgs EventRouter::args_for(ControlId target, const MouseEvent& e, int button) const {
    if (target == ControlId::Form) return {button, e.shift, e.x, e.y};
    const Rect& place = m_scene.control(target).place;
    return {button, e.shift, e.x - place.x, e.y - place.y};
}

void EventRouter::mouse(const MouseEvent& e) {
    const Point p{int(std::floor(e.x)), int(std::floor(e.y))};
    const ControlId under = target_at(p);
    const ControlId target = m_capture.value_or(under);

    switch (e.action) {
        case MouseAction::Down: {
            const bool first_button = (e.buttons & ~e.button) == 0;
            if (first_button) m_capture = target;
            if (target != ControlId::Form) m_scene.take_focus(target);
            if (e.button == k_left_button) m_pressed = target;
            if (auto& h = slot(target).mouse_down) run_trapped([&] { h(args_for(target, e, e.button)); });
            break;
        }
        case MouseAction::Up: {
            const std::optional<ControlId> pressed = e.button == k_left_button ? m_pressed : std::nullopt;
            if (e.button == k_left_button) m_pressed.reset();
            if (e.buttons == 0) m_capture.reset();
            if (pressed && *pressed == under && under != ControlId::Form) {
                if (auto& h = slot(under).click) run_trapped([&] { h(); });
            }
            break;
        }
        case MouseAction::Move:
            if (auto& h = slot(target).mouse_move) run_trapped([&] { h(args_for(target, e, e.buttons)); });
            break;
    }

    // While a press keeps the mouse, the pointer stays the pressed control's.
    const ControlId shown = m_capture ? *m_capture : m_scene.control_at(p).value_or(ControlId::Form);
    if (m_pointer_watcher && m_hovered != shown) {
        m_hovered = shown;
        m_pointer_watcher(shown);
    }
}

void EventRouter::key(const KeyEvent& e) {
    const ControlId focused = m_scene.focus();
    if (auto& h = slot(focused).key_down) run_trapped([&] { h(KeyArgs{e.code, e.shift}); });
}

}  // namespace zuvela
