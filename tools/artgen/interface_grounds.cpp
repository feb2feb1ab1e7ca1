#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "interface_widgets.h"

namespace artgen::ui {

namespace {

constexpr double k_pi = std::numbers::pi;

// Fixed-seed generator: the confetti lies in the same places on every run.
class Lcg {
  public:
    explicit Lcg(std::uint32_t seed) : m_state(seed) {}
    double next() {
        m_state = m_state * 1664525u + 1013904223u;
        return double(m_state >> 8) / double(1u << 24);
    }

  private:
    std::uint32_t m_state;
};

std::uint32_t hash(int x, int y) {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

constexpr Rgb k_confetti[] = {rgb(255, 90, 90),  rgb(255, 200, 40),  rgb(80, 200, 120),
                              rgb(80, 170, 255), rgb(200, 110, 255), rgb(255, 130, 200)};

struct Box {
    double x0, y0, x1, y1;
    bool holds(double x, double y, double margin) const {
        return x > x0 - margin && x < x1 + margin && y > y0 - margin && y < y1 + margin;
    }
};

void confetti(cairo_t* cr, std::uint32_t seed, int count, Box area, std::initializer_list<Box> keep_clear,
              double alpha) {
    Lcg rnd(seed);
    for (int i = 0; i < count; ++i) {
        const double x = area.x0 + rnd.next() * (area.x1 - area.x0);
        const double y = area.y0 + rnd.next() * (area.y1 - area.y0);
        const double r = 4 + rnd.next() * 7;
        const Rgb c = k_confetti[int(rnd.next() * 6) % 6];
        const bool as_star = rnd.next() < 0.4;
        bool clear = true;
        for (const Box& b : keep_clear) clear = clear && !b.holds(x, y, r + 2);
        if (!clear) continue;
        cairo_new_path(cr);
        if (as_star) {
            star_path(cr, x, y, r * 1.2, r * 0.55, 5, rnd.next());
        } else {
            cairo_arc(cr, x, y, r * 0.8, 0, 2 * k_pi);
        }
        set_colour(cr, c, alpha);
        cairo_fill(cr);
    }
}

Rgb wood_at(int x, int y) {
    const double grain =
        std::sin(0.45 * (y + 4 * std::sin(x * 0.018 + y * 0.07) + 2.5 * std::sin(x * 0.051)));
    const double fine = double(hash(x, y) % 7) - 3;
    Rgb c;
    if (y < k_shelf_lip) {
        c = rgb(228, 180, 122);
        const int depth = y - k_shelf_top;
        if (depth < 6) c = mix(rgb(150, 98, 55), c, depth / 6.0);
    } else if (y < k_shelf_lip + 3) {
        c = rgb(244, 206, 156);
    } else {
        c = mix(rgb(204, 144, 84), rgb(165, 108, 58), (y - k_shelf_lip) / 16.0);
    }
    const double shade = (grain * 9 + fine) / 255.0;
    return {c.r + shade, c.g + shade * 0.8, c.b + shade * 0.6};
}

}  // namespace

void paint_wood(Picture& picture, int ox, int oy) {
    cairo_surface_t* s = picture.surface();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    auto byte = [](double v) { return std::uint32_t(std::clamp(v, 0.0, 1.0) * 255 + 0.5); };
    for (int y = 0; y < picture.height(); ++y) {
        if (oy + y < k_shelf_top) continue;
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < picture.width(); ++x) {
            const Rgb c = wood_at(ox + x, oy + y);
            row[x] = 0xFF000000u | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
        }
    }
    cairo_surface_mark_dirty(s);
}

void paint_main_ground(Picture& picture, int ox, int oy) {
    cairo_t* cr = picture.cr();
    cairo_save(cr);
    cairo_translate(cr, -ox, -oy);
    vertical_gradient(cr, 0, k_shelf_top, rgb(140, 208, 255), rgb(214, 240, 255));
    cairo_paint(cr);
    confetti(cr, 7, 260, {0, 0, 1024, double(k_shelf_top)},
             {{22, 21, 788, 637}, {786, 0, 1024, 234}, {797, 232, 1020, 662}, {20, 637, 790, 667}}, 0.45);
    // The board behind the buttons of the right-hand column.
    rounded_rect(cr, 799, 236, 219, 426, 18);
    set_colour(cr, rgb(40, 80, 140), 0.18);
    cairo_fill(cr);
    rounded_rect(cr, 797, 233, 219, 426, 18);
    vertical_gradient(cr, 233, 659, rgb(255, 252, 240), rgb(255, 238, 200));
    cairo_fill_preserve(cr);
    set_colour(cr, rgb(255, 160, 50));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    cairo_restore(cr);
    paint_wood(picture, ox, oy);
}

void paint_gallery_ground(Picture& picture, int ox, int oy) {
    cairo_t* cr = picture.cr();
    cairo_save(cr);
    cairo_translate(cr, -ox, -oy);
    vertical_gradient(cr, 0, 768, rgb(255, 240, 196), rgb(255, 206, 228));
    cairo_paint(cr);
    confetti(cr, 11, 300, {0, 0, 1024, 768}, {{40, 38, 774, 732}, {786, 0, 1024, 300}, {228, 0, 780, 38}},
             0.5);
    rounded_rect(cr, 47, 45, 726, 686, 16);
    set_colour(cr, rgb(120, 60, 40), 0.2);
    cairo_fill(cr);
    rounded_rect(cr, 44, 42, 726, 686, 16);
    set_colour(cr, rgb(255, 253, 246));
    cairo_fill_preserve(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(44, 0, 770, 0);
    const Rgb stops[] = {rgb(255, 80, 80),  rgb(255, 170, 40), rgb(250, 215, 30),
                         rgb(70, 200, 110), rgb(60, 150, 255), rgb(190, 90, 255)};
    for (int i = 0; i < 6; ++i)
        cairo_pattern_add_color_stop_rgb(p, i / 5.0, stops[i].r, stops[i].g, stops[i].b);
    cairo_set_source(cr, p);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

namespace {

void panel_ground(cairo_t* cr, Rgb top, Rgb bottom, Rgb border) {
    vertical_gradient(cr, 0, 250, top, bottom);
    cairo_paint(cr);
    cairo_set_line_width(cr, 8);
    set_colour(cr, border);
    cairo_rectangle(cr, 4, 4, 392, 242);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2);
    set_colour(cr, k_white, 0.9);
    rounded_rect(cr, 11, 11, 378, 228, 10);
    cairo_stroke(cr);
}

}  // namespace

void paint_leave_panel_ground(cairo_t* cr) {
    panel_ground(cr, rgb(255, 246, 190), rgb(255, 212, 140), rgb(245, 120, 40));
}

void paint_info_panel_ground(cairo_t* cr) {
    panel_ground(cr, rgb(232, 247, 255), rgb(190, 226, 255), rgb(50, 120, 225));
}

double product_logo(cairo_t* cr, double cx, double top, double width) {
    constexpr double k_size = 52, k_star = 31;
    constexpr Rgb k_letters[] = {rgb(240, 50, 50), rgb(255, 140, 20), rgb(250, 205, 0),
                                 rgb(50, 185, 90), rgb(40, 120, 240), rgb(170, 70, 240)};
    constexpr const char* k_word[] = {"Z", "u", "v", "e", "l", "a"};
    double word = 0;
    for (const char* letter : k_word) word += text_width(cr, letter, k_size) + 1;
    const double natural = word + 8 + 2 * k_star;
    const double k = width / natural;

    cairo_save(cr);
    cairo_translate(cr, cx - width / 2, top);
    cairo_scale(cr, k, k);
    centred_text(cr, "Tindora", natural / 2, 24, 25, rgb(30, 60, 150), Font::sans_bold, 4);
    double x = 0;
    for (int i = 0; i < 6; ++i) {
        const double w = text_width(cr, k_word[i], k_size);
        cairo_save(cr);
        cairo_translate(cr, x + w / 2, 78 + (i % 2 == 0 ? 0 : -4));
        cairo_rotate(cr, i % 2 == 0 ? -0.07 : 0.07);
        centred_text(cr, k_word[i], 0, 0, k_size, k_white, Font::sans_bold, 7.5, k_white);
        centred_text(cr, k_word[i], 0, 0, k_size, k_letters[i], Font::sans_bold, 3.2, k_ink);
        cairo_restore(cr);
        x += w + 1;
    }
    const double sx = x + 8 + k_star, sy = 60;
    star_path(cr, sx, sy, k_star + 5, k_star * 0.62 + 4, 8, 0.2);
    set_colour(cr, k_white);
    cairo_fill(cr);
    star_path(cr, sx, sy, k_star, k_star * 0.62, 8, 0.2);
    fill_outlined(cr, k_sun, k_ink, 1.6);
    centred_text(cr, "2", sx, sy + 14, 40, rgb(240, 50, 120), Font::sans_bold, 3, k_ink);
    cairo_restore(cr);
    return 96 * k;
}

void studio_logo(cairo_t* cr, double x, double y, double w, double h, Rgb disc, Rgb text) {
    const double r = h * 0.45, cx = x + h / 2, cy = y + h / 2;
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * k_pi);
    fill_outlined(cr, disc, k_white, std::max(1.0, h * 0.04));
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_new_path(cr);
    cairo_move_to(cr, r * 0.62, -r * 0.68);
    cairo_curve_to(cr, r * 0.05, -r * 0.62, -r * 0.4, -r * 0.1, -r * 0.36, r * 0.38);
    cairo_curve_to(cr, -r * 0.02, r * 0.32, r * 0.5, -r * 0.02, r * 0.62, -r * 0.68);
    cairo_close_path(cr);
    set_colour(cr, k_white);
    cairo_fill(cr);
    cairo_move_to(cr, r * 0.6, -r * 0.66);
    cairo_line_to(cr, -r * 0.55, r * 0.62);
    set_colour(cr, darker(disc, 0.3));
    cairo_set_line_width(cr, std::max(1.0, r * 0.09));
    cairo_stroke(cr);
    cairo_restore(cr);

    const double tx = x + h + h * 0.12, tw = w - h - h * 0.12;
    const double name = fitting_size(cr, "Quillmar", tw, h * 0.5, Font::serif_bold);
    left_text(cr, "Quillmar", tx, y + h * 0.56, name, text, Font::serif_bold);
    const double studio = fitting_size(cr, "S T U D I O", tw, h * 0.26);
    left_text(cr, "S T U D I O", tx + 1, y + h * 0.88, studio, mix(text, disc, 0.5));
}

}  // namespace artgen::ui
