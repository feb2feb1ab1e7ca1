#include <numbers>
#include <string_view>

#include "app_icons.h"
#include "interface_widgets.h"

namespace artgen::ui {

namespace {

constexpr double k_pi = std::numbers::pi;

// The standard arrow, pixel for pixel: X black, . white, anything else clear. Its tip is pixel (0, 0).
constexpr std::string_view k_arrow[] = {
    "X",        "XX",        "X.X",        "X..X",        "X...X",        "X....X",       "X.....X",
    "X......X", "X.......X", "X........X", "X.........X", "X..........X", "X......XXXXX", "X...X..X",
    "X..XX..X", "X.X  X..X", "XX   X..X",  "X     X..X",  "      X..X",   "       XX",
};

void write_arrow(const std::filesystem::path& path) {
    Image image{32, 32, std::vector<std::uint32_t>(32 * 32, 0)};
    for (std::size_t y = 0; y < std::size(k_arrow); ++y) {
        for (std::size_t x = 0; x < k_arrow[y].size(); ++x) {
            const char c = k_arrow[y][x];
            if (c == 'X') image.argb[y * 32 + x] = 0xFF000000u;
            if (c == '.') image.argb[y * 32 + x] = 0xFFFFFFFFu;
        }
    }
    write_ico(path, image);
}

void brush(cairo_t* cr, double tip_x, double tip_y, double angle, Rgb paint) {
    cairo_save(cr);
    cairo_translate(cr, tip_x, tip_y);
    cairo_rotate(cr, angle);
    cairo_scale(cr, 1, 1.45);
    const double ow = 0.9;
    cairo_new_path(cr);
    cairo_move_to(cr, 20, -3);
    cairo_line_to(cr, 42, -2.6);
    cairo_arc(cr, 42, 0, 2.6, -k_pi / 2, k_pi / 2);
    cairo_line_to(cr, 20, 3);
    cairo_close_path(cr);
    fill_outlined(cr, rgb(230, 70, 60), rgb(0, 0, 0), ow);
    cairo_move_to(cr, 23, -1.2);
    cairo_line_to(cr, 40, -1.2);
    set_colour(cr, k_white, 0.5);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_rectangle(cr, 13, -4.2, 8, 8.4);
    fill_outlined(cr, rgb(205, 210, 220), rgb(0, 0, 0), ow);
    cairo_move_to(cr, 0.5, 0);
    cairo_curve_to(cr, 4, -2.5, 8, -4.5, 13, -4.2);
    cairo_line_to(cr, 13, 4.2);
    cairo_curve_to(cr, 8, 4.5, 4, 2.5, 0.5, 0);
    cairo_close_path(cr);
    fill_outlined(cr, rgb(245, 215, 160), rgb(0, 0, 0), ow);
    cairo_move_to(cr, 0.5, 0);
    cairo_curve_to(cr, 3, -1.8, 5.5, -3, 8, -3.3);
    cairo_line_to(cr, 8, 3.3);
    cairo_curve_to(cr, 5.5, 3, 3, 1.8, 0.5, 0);
    cairo_close_path(cr);
    set_colour(cr, paint);
    cairo_fill(cr);
    cairo_restore(cr);
}

// A small ring that marks the very pixel the paint lands on.
void landing_mark(cairo_t* cr, double x, double y, Rgb paint) {
    cairo_new_path(cr);
    cairo_arc(cr, x, y, 2.4, 0, 2 * k_pi);
    fill_outlined(cr, paint, k_white, 0.9);
    cairo_arc(cr, x, y, 3.6, 0, 2 * k_pi);
    set_colour(cr, rgb(0, 0, 0));
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
}

}  // namespace

void write_pointers(const OutputDirs& out) {
    const Rgb red = rgb(255, 40, 70), blue = rgb(30, 120, 255);
    {
        Picture p(32, 32);
        bucket(p.cr(), 23, 9, 14, red, -2.0);
        cairo_new_path(p.cr());
        cairo_move_to(p.cr(), 19, 10.5);
        cairo_curve_to(p.cr(), 17, 12, 16.5, 13.5, 16.5, 15);
        set_colour(p.cr(), red);
        cairo_set_line_width(p.cr(), 2.2);
        cairo_stroke(p.cr());
        landing_mark(p.cr(), 16.5, 16.5, red);
        p.save_ico(out.picture / "KANTICA8.ICO");
    }
    {
        Picture p(32, 32);
        pencil(p.cr(), 15.6, 17.4, 22, 7, -k_pi / 4, rgb(60, 150, 255));
        p.save_ico(out.picture / "CETKA.ICO");
    }
    write_arrow(out.builtin / "POINTER_ARROW.ICO");
    {
        Picture p(32, 32);
        cairo_translate(p.cr(), 12, 1);
        pointing_hand(p.cr(), 1, rgb(30, 100, 235));
        p.save_ico(out.builtin / "POINTER_HAND.ICO");
    }
    {
        Picture p(64, 64);
        brush(p.cr(), 32.5, 32.5, -k_pi / 4, rgb(250, 60, 120));
        p.save_ico(out.builtin / "POINTER_BRUSH.ICO");
    }
    {
        Picture p(32, 32);
        paint_drop(p.cr(), 16.5, 16.8, 15, blue);
        p.save_ico(out.builtin / "POINTER_DROP.ICO");
    }
    {
        Picture p(32, 32);
        app_icon(p.cr());
        p.save_ico(out.builtin / "ICON.ICO");
    }
}

}  // namespace artgen::ui
