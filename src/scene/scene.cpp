#include "scene/scene.h"

#include <algorithm>
#include <utility>

namespace zuvela {

namespace {

const Rect k_scene_rect{0, 0, k_scene_width, k_scene_height};

void blit(Raster& frame, const Raster& source, Point at, const Rect& clip) {
    const Rect drawn = Rect{at.x, at.y, source.width, source.height}.intersected(clip);
    for (int y = drawn.y; y < drawn.bottom(); ++y) {
        const Color* src = source.row(y - at.y) + (drawn.x - at.x);
        Color* dst = frame.row(y) + drawn.x;
        for (int i = 0; i < drawn.w; ++i) dst[i] = src[i] & k_color_mask;
    }
}

}  // namespace

Scene::Scene() {
    for (const ControlSpec& row : k_controls) {
        Control& c = mutable_control(row.id);
        c.place = row.place;
        c.visible = row.visible;
    }
}

void Scene::set_picture(ControlId id, PictureRef picture) {
    Control& c = mutable_control(id);
    if (c.picture == picture) return;  // the cache hands back the same picture for an unchanged file
    c.picture = std::move(picture);
    if (c.visible && !c.live) invalidate(c.place);
}

void Scene::set_visible(ControlId id, bool visible) {
    Control& c = mutable_control(id);
    if (c.visible == visible) return;
    c.visible = visible;
    invalidate(c.place);
    if (!visible && m_focus == id) pass_focus_on();
}

void Scene::set_enabled(ControlId id, bool enabled) {
    Control& c = mutable_control(id);
    c.enabled = enabled;
    if (!enabled && m_focus == id) pass_focus_on();
}

void Scene::set_position(ControlId id, Point top_left) {
    Control& c = mutable_control(id);
    if (c.visible) invalidate(c.place);
    c.place.x = top_left.x;
    c.place.y = top_left.y;
    if (c.visible) invalidate(c.place);
}

void Scene::set_live_source(ControlId id, const Raster* live) {
    Control& c = mutable_control(id);
    c.live = live;
    if (c.visible) invalidate(c.place);
}

void Scene::set_custom_pointer(ControlId id, PointerId pointer) {
    mutable_control(id).custom_pointer = pointer;
}

void Scene::set_background(PictureRef picture) {
    m_background = std::move(picture);
    invalidate(k_scene_rect);
}

void Scene::invalidate_inside(ControlId id, const Rect& area) {
    const Control& c = control(id);
    if (c.visible) invalidate(area.translated(c.place.x, c.place.y).intersected(c.place));
}

void Scene::invalidate(const Rect& area) {
    m_dirty = m_dirty.united(area.intersected(k_scene_rect));
}

Rect Scene::take_dirty() {
    return std::exchange(m_dirty, Rect{});
}

std::optional<ControlId> Scene::control_at(Point p) const {
    for (const ControlSpec& row : k_controls) {
        const Control& c = control(row.id);
        if (row.kind == ControlKind::Picture && c.visible && c.place.contains(p)) return row.id;
    }
    return std::nullopt;
}

void Scene::compose(Raster& frame, const Rect& area) const {
    const Rect clip = area.intersected(k_scene_rect);
    if (clip.empty()) return;
    const bool covered =
        m_background && m_background->width >= k_scene_width && m_background->height >= k_scene_height;
    if (!covered) {
        for (int y = clip.y; y < clip.bottom(); ++y) std::fill_n(frame.row(y) + clip.x, clip.w, Color{0});
    }
    if (m_background) blit(frame, *m_background, {0, 0}, clip);
    for (auto row = k_controls.rbegin(); row != k_controls.rend(); ++row) {
        const Control& c = control(row->id);
        if (row->kind != ControlKind::Picture || !c.visible) continue;
        const Raster* face = c.live ? c.live : c.picture.get();
        if (face) blit(frame, *face, {c.place.x, c.place.y}, clip.intersected(c.place));
    }
}

bool Scene::can_hold_focus(ControlId id) const {
    const ControlSpec& row = spec_of(id);
    const Control& c = control(id);
    return row.kind == ControlKind::Picture && row.focus_order >= 0 && c.visible && c.enabled;
}

void Scene::take_focus(ControlId id) {
    if (id == ControlId::Form || can_hold_focus(id)) m_focus = id;
}

void Scene::pass_focus_on() {
    // The next control in focus order after the one that lost it, wrapping round; the window if none is left.
    const int from = spec_of(m_focus).focus_order;
    std::optional<ControlId> best;
    int best_distance = 0;
    for (const ControlSpec& row : k_controls) {
        if (row.id == m_focus || !can_hold_focus(row.id)) continue;
        const int distance = (row.focus_order - from + 1000) % 1000;
        if (!best || distance < best_distance) {
            best = row.id;
            best_distance = distance;
        }
    }
    m_focus = best.value_or(ControlId::Form);
}

}  // namespace zuvela
