// The live state of every control: picture, visibility, enabled state, place, and the keyboard focus.
// Changes mark the area they touch; compose() draws that area once per frame.
#pragma once

#include <array>
#include <optional>

#include "platform/display.h"
#include "platform/pictures.h"
#include "scene/control_catalogue.h"

namespace zuvela {

struct Control {
    Rect place;
    bool visible = false;
    bool enabled = true;
    PictureRef picture;
    // When set, the control shows this raster instead of its picture (the canvas shows its canvas image).
    const Raster* live = nullptr;
    // A pointer loaded at run time; 0 keeps the pointer of the control's kind.
    PointerId custom_pointer = 0;
};

class Scene {
  public:
    Scene();

    const Control& control(ControlId id) const { return m_controls[std::size_t(index_of(id))]; }

    void set_picture(ControlId id, PictureRef picture);
    void set_visible(ControlId id, bool visible);
    void set_enabled(ControlId id, bool enabled);
    void set_position(ControlId id, Point top_left);
    void set_live_source(ControlId id, const Raster* live);
    void set_custom_pointer(ControlId id, PointerId pointer);
    void set_background(PictureRef picture);
    const PictureRef& background() const { return m_background; }

    // Marks part of a control's face as changed (scene coordinates are its own, 0,0 at its corner).
    void invalidate_inside(ControlId id, const Rect& area);
    void invalidate(const Rect& area);
    bool needs_redraw() const { return !m_dirty.empty(); }
    Rect take_dirty();

    // The topmost shown picture control under the point, enabled or not.
    std::optional<ControlId> control_at(Point p) const;

    // Draws the window's background and every shown control, bottom-most first, clipped to `area`.
    void compose(Raster& frame, const Rect& area) const;

    // The object holding the keyboard focus: a control, or ControlId::Form for the window itself.
    ControlId focus() const { return m_focus; }
    void take_focus(ControlId id);

    bool timer_enabled() const { return m_timer_enabled; }
    void set_timer_enabled(bool enabled) { m_timer_enabled = enabled; }

  private:
    Control& mutable_control(ControlId id) { return m_controls[std::size_t(index_of(id))]; }
    bool can_hold_focus(ControlId id) const;
    void pass_focus_on();

    std::array<Control, k_control_count> m_controls;
    PictureRef m_background;
    Rect m_dirty;
    ControlId m_focus = ControlId::Slika;
    bool m_timer_enabled = false;
};

}  // namespace zuvela
