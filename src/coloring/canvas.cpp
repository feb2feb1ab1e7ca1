#include "coloring/canvas.h"

#include <algorithm>
#include <cmath>

#include "coloring/pencil.h"
#include "shell/forma_main.h"

namespace zuvela {

namespace {

// Positions between pixels go to the nearest one, halves to the even one.
std::int32_t rounded(double v) {
    return std::int32_t(std::nearbyint(v));
}

}  // namespace

Canvas::Canvas(FormaMain& window) : m_window(window) {
    take_picture(window.scene().control(ControlId::Slika).picture);
    // The start scene is decoded once the splash shows; its picture 1 comes onto the canvas then, unless
    // another picture came first.
    window.when_start_scene_built([this] {
        if (!m_picture) take_picture(m_window.scene().control(ControlId::Slika).picture);
    });
    EventRouter& router = window.router();
    router.on_mouse_down(ControlId::Slika, [this](const MouseArgs& a) { Slika_MouseDown(a); });
    router.on_mouse_move(ControlId::Slika, [this](const MouseArgs& a) { Slika_MouseMove(a); });
}

void Canvas::Slika_MouseDown(const MouseArgs& args) {
    ProgramState& state = m_window.state();
    const Point at{rounded(args.x), rounded(args.y)};
    state.last_x = at.x;
    state.last_y = at.y;
    if (state.fill_mode == k_false) return;

    if (args.button == k_left_button) {
        const Color fill_color = Color(state.current_color) & k_color_mask;
        // A press on the canvas's last half pixel rounds to just outside it: there is nothing to fill there,
        // and nothing that counts as an outline either.
        if (m_image.contains(at.x, at.y)) {
            if (is_outline_color(m_image.at(at.x, at.y))) return;
            did_change(m_fill.fill(m_image, at, fill_color));
        }
    }
    if (state.window_sounds_on()) m_window.play_sound_effect("/SOUND/SVPLAVA.WAV");
}

void Canvas::Slika_MouseMove(const MouseArgs& args) {
    ProgramState& state = m_window.state();
    if (args.button == k_left_button && state.fill_mode == k_false) {
        const Color pen_color = Color(state.current_color) & k_color_mask;
        const Point to{rounded(args.x), rounded(args.y)};
        did_change(draw_pencil_segment(m_image, {state.last_x, state.last_y}, to, pen_color));
        state.last_x = to.x;
        state.last_y = to.y;
        return;
    }
    if (auto& reset = m_window.seams().reset_rollover_buttons) reset();
}

void Canvas::load_picture(std::string_view literal) {
    take_picture(m_window.load_asset_picture(literal));
}

void Canvas::load_picture_file(const std::string& path) {
    take_picture(m_window.platform().files.load_picture(path));
}

void Canvas::take_image_as_picture() {
    m_picture = std::make_shared<const Raster>(m_image);
    m_window.scene().set_picture(ControlId::Slika, m_picture);
}

void Canvas::take_picture(PictureRef picture) {
    m_picture = std::move(picture);
    std::fill(m_image.pixels.begin(), m_image.pixels.end(), Color{0x00FFFFFF});
    if (m_picture) {
        const int w = std::min(m_picture->width, m_image.width);
        const int h = std::min(m_picture->height, m_image.height);
        for (int y = 0; y < h; ++y) {
            const Color* src = m_picture->row(y);
            Color* dst = m_image.row(y);
            for (int x = 0; x < w; ++x) dst[x] = src[x] & k_color_mask;
        }
    }
    Scene& scene = m_window.scene();
    scene.set_picture(ControlId::Slika, m_picture);
    scene.set_live_source(ControlId::Slika, &m_image);
}

void Canvas::show_directly(const Raster* screen) {
    m_window.scene().set_live_source(ControlId::Slika, screen ? screen : &m_image);
}

void Canvas::did_change(const Rect& area) {
    m_window.scene().invalidate_inside(ControlId::Slika, area);
}

}  // namespace zuvela
