#include <algorithm>
#include <array>
#include <cstdio>
#include <numbers>
#include <string>

#include "interface_widgets.h"

namespace artgen::ui {

namespace {

constexpr double k_pi = std::numbers::pi;

struct Slot {
    Rgb colour;
    Shape shape;
    int left;
    int width;
};

// Slot order, left to right along the shelf.
constexpr std::array<Slot, 12> k_slots = {{
    {rgb(255, 0, 0), Shape::heart, 8, 85},
    {rgb(52, 204, 103), Shape::triangle, 93, 84},
    {rgb(255, 255, 0), Shape::star, 176, 84},
    {rgb(0, 204, 255), Shape::drop, 261, 84},
    {rgb(255, 102, 0), Shape::circle, 345, 83},
    {rgb(204, 51, 255), Shape::flower, 428, 85},
    {rgb(178, 178, 178), Shape::cloud, 513, 83},
    {rgb(255, 255, 255), Shape::moon, 596, 84},
    {rgb(204, 103, 51), Shape::square, 680, 84},
    {rgb(0, 0, 255), Shape::diamond, 764, 84},
    {rgb(30, 30, 30), Shape::bolt, 848, 84},
    {rgb(255, 0, 255), Shape::plus, 932, 84},
}};
constexpr int k_swatch_top = 675;
constexpr int k_swatch_height = 85;

enum class Look { resting, hover, selected };

double luminance(Rgb c) {
    return 0.3 * c.r + 0.55 * c.g + 0.15 * c.b;
}

void jar(cairo_t* cr, double cx, const Slot& slot, Look look) {
    const double base = k_shelf_lip - k_swatch_top, height = 48;
    const double lift = look == Look::selected ? 7 : look == Look::hover ? 3 : 0;
    const Rgb paint = look == Look::hover ? lighter(slot.colour, 0.12) : slot.colour;

    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, base - 1);
    cairo_scale(cr, 1, 0.18);
    cairo_arc(cr, 0, 0, lift > 0 ? 25 : 30, 0, 2 * k_pi);
    cairo_restore(cr);
    set_colour(cr, rgb(70, 40, 20), lift > 0 ? 0.25 : 0.4);
    cairo_fill(cr);

    const double bottom = base - lift, top = bottom - height;
    if (look == Look::selected) {
        radial_glow(cr, cx, top + height / 2 - 4, 44, rgb(255, 250, 150), 0.95);
        rounded_rect(cr, cx - 35, top - 15, 70, height + 19, 14);
        set_colour(cr, rgb(255, 200, 0));
        cairo_set_line_width(cr, 4.5);
        cairo_stroke(cr);
    } else if (look == Look::hover) {
        radial_glow(cr, cx, top + height / 2, 44, k_white, 0.9);
        rounded_rect(cr, cx - 34, top - 13, 68, height + 16, 13);
        set_colour(cr, k_white, 0.9);
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    }

    rounded_rect(cr, cx - 28, top, 56, height, 10);
    fill_outlined(cr, paint, k_ink, 1.2);
    rounded_rect(cr, cx - 23, top + 5, 7, height - 12, 3.5);
    set_colour(cr, k_white, 0.4);
    cairo_fill(cr);

    rounded_rect(cr, cx - 25, top - 8, 50, 11, 4.5);
    fill_outlined(cr, rgb(236, 242, 250), k_ink, 1.1);
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, top - 2.5);
    cairo_scale(cr, 1, 0.2);
    cairo_arc(cr, 0, 0, 20, 0, 2 * k_pi);
    cairo_restore(cr);
    set_colour(cr, paint);
    cairo_fill_preserve(cr);
    set_colour(cr, k_ink, 0.5);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);

    const bool light = luminance(slot.colour) > 0.62;
    shape_path(cr, slot.shape, cx + 2, top + height / 2 + 1, 14.5);
    if (light) {
        fill_outlined(cr, k_ink, k_white, 0.8);
    } else {
        fill_outlined(cr, k_white, darker(slot.colour, 0.55), 1.0);
    }

    if (look == Look::selected) tick(cr, cx + 29, 11, 10, rgb(40, 180, 70));
}

}  // namespace

void write_swatches(const OutputDirs& out) {
    for (std::size_t i = 0; i < k_slots.size(); ++i) {
        const Slot& slot = k_slots[i];
        const Look looks[] = {Look::resting, Look::hover, Look::selected};
        for (int n = 0; n < 3; ++n) {
            Picture p(slot.width, k_swatch_height);
            paint_main_ground(p, slot.left, k_swatch_top);
            jar(p.cr(), slot.width / 2.0, slot, looks[n]);
            char name[32];
            std::snprintf(name, sizeof name, "BOJE%d_%02zu.JPG", n + 1, i + 1);
            p.save_jpeg(out.picture / name);
        }
    }
}

}  // namespace artgen::ui
