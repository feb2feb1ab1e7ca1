#include "interface_widgets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <string>

namespace artgen::ui {

namespace {

constexpr double k_pi = std::numbers::pi;

void select_font(cairo_t* cr, Font font, double size) {
    const bool serif = font == Font::serif_bold;
    cairo_select_font_face(cr, serif ? "DejaVu Serif" : "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           font == Font::sans ? CAIRO_FONT_WEIGHT_NORMAL : CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
}

void text_at(cairo_t* cr, std::string_view text, double x, double y, double size, Rgb colour, Font font,
             double halo, Rgb halo_colour) {
    const std::string s(text);
    select_font(cr, font, size);
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    cairo_text_path(cr, s.c_str());
    if (halo > 0) {
        set_colour(cr, halo_colour);
        cairo_set_line_width(cr, 2 * halo);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    set_colour(cr, colour);
    cairo_fill(cr);
}

}  // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Picture::Picture(int width, int height)
    : m_width(width),
      m_height(height),
      m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      m_cr(cairo_create(m_surface)) {
    if (cairo_status(m_cr) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cairo surface");
    cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
}

Picture::~Picture() {
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

Image Picture::image() const {
    cairo_surface_flush(m_surface);
    Image out{m_width, m_height, {}};
    out.argb.reserve(std::size_t(m_width) * std::size_t(m_height));
    const unsigned char* data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    for (int y = 0; y < m_height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t(y) * stride);
        for (int x = 0; x < m_width; ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t a = p >> 24;
            if (a == 0) {
                out.argb.push_back(0);
                continue;
            }
            auto straight = [a](std::uint32_t c) {
                return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a);
            };
            out.argb.push_back(a << 24 | straight((p >> 16) & 0xFF) << 16 | straight((p >> 8) & 0xFF) << 8 |
                               straight(p & 0xFF));
        }
    }
    return out;
}

void Picture::save_jpeg(const std::filesystem::path& path) const {
    write_jpeg(path, image());
}
void Picture::save_ico(const std::filesystem::path& path) const {
    write_ico(path, image());
}

void set_colour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -k_pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, k_pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, k_pi / 2, k_pi);
    cairo_arc(cr, x + r, y + r, r, k_pi, 3 * k_pi / 2);
    cairo_close_path(cr);
}

void fill_outlined(cairo_t* cr, Rgb fill, Rgb outline, double outline_width) {
    if (outline_width > 0) {
        set_colour(cr, outline);
        cairo_set_line_width(cr, 2 * outline_width);
        cairo_stroke_preserve(cr);
    }
    set_colour(cr, fill);
    cairo_fill(cr);
}

void vertical_gradient(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void radial_glow(cairo_t* cr, double cx, double cy, double radius, Rgb c, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, alpha);
    cairo_pattern_add_color_stop_rgba(p, 0.55, c.r, c.g, c.b, alpha * 0.6);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, p);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, radius, 0, 2 * k_pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

double text_width(cairo_t* cr, std::string_view text, double size, Font font) {
    const std::string s(text);
    select_font(cr, font, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    return e.x_advance;
}

void centred_text(cairo_t* cr, std::string_view text, double cx, double y, double size, Rgb colour, Font font,
                  double halo, Rgb halo_colour) {
    text_at(cr, text, cx - text_width(cr, text, size, font) / 2, y, size, colour, font, halo, halo_colour);
}

void left_text(cairo_t* cr, std::string_view text, double x, double y, double size, Rgb colour, Font font,
               double halo, Rgb halo_colour) {
    text_at(cr, text, x, y, size, colour, font, halo, halo_colour);
}

double fitting_size(cairo_t* cr, std::string_view text, double width, double size, Font font) {
    const double w = text_width(cr, text, size, font);
    return w <= width ? size : size * width / w;
}

namespace {

std::function<void(const DrawnText&)>& drawn_text_watcher() {
    static std::function<void(const DrawnText&)> watcher;
    return watcher;
}

// The lines as outlines, placed as they are drawn; the current path afterwards.
void lines_path(cairo_t* cr, const FittedText& fitted, const TextBox& box, const TextStyle& style) {
    cairo_new_path(cr);
    const double n = double(fitted.lines.size());
    for (std::size_t i = 0; i < fitted.lines.size(); ++i) {
        const std::string& line = fitted.lines[i];
        const double advance = text_width(cr, line, fitted.size, style.font);
        const double x = box.align == Align::left     ? box.x
                         : box.align == Align::centre ? box.x - advance / 2
                                                      : box.x - advance;
        const double y = box.mid + (double(i) - (n - 1) / 2) * box.pitch * fitted.size;
        select_font(cr, style.font, fitted.size);
        cairo_move_to(cr, x, y);
        cairo_text_path(cr, line.c_str());
    }
}

Box ink_of_path(cairo_t* cr, const TextStyle& style) {
    Box ink;
    if (style.halo > 0) {
        cairo_save(cr);
        cairo_set_line_width(cr, 2 * style.halo);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_extents(cr, &ink.x0, &ink.y0, &ink.x1, &ink.y1);
        cairo_restore(cr);
    } else {
        cairo_fill_extents(cr, &ink.x0, &ink.y0, &ink.x1, &ink.y1);
    }
    return ink;
}

Box measure(cairo_t* cr, const FittedText& fitted, const TextBox& box, const TextStyle& style) {
    cairo_save(cr);
    lines_path(cr, fitted, box, style);
    const Box ink = ink_of_path(cr, style);
    cairo_new_path(cr);
    cairo_restore(cr);
    return ink;
}

bool inside(const Box& ink, const Box& room) {
    return ink.x0 >= room.x0 && ink.y0 >= room.y0 && ink.x1 <= room.x1 && ink.y1 <= room.y1;
}

// The largest size, up to the design size, at which these lines fit; 0 when none does.
double largest_fitting_size(cairo_t* cr, const std::vector<std::string>& lines, const TextBox& box,
                            const TextStyle& style) {
    FittedText trial{lines, box.size};
    if (inside(measure(cr, trial, box, style), box.room)) return box.size;
    double low = 0, high = box.size;
    for (int step = 0; step < 16; ++step) {
        trial.size = (low + high) / 2;
        (inside(measure(cr, trial, box, style), box.room) ? low : high) = trial.size;
    }
    return low;
}

std::vector<std::string> split(std::string_view text, char at) {
    std::vector<std::string> parts;
    for (std::size_t begin = 0;;) {
        const std::size_t end = text.find(at, begin);
        parts.emplace_back(text.substr(begin, end - begin));
        if (end == std::string_view::npos) return parts;
        begin = end + 1;
    }
}

}  // namespace

FittedText fit_text(cairo_t* cr, std::string_view text, const TextBox& box, const TextStyle& style) {
    // A break the table asks for is kept; otherwise one line, or two broken at a space.
    std::vector<std::vector<std::string>> layouts;
    if (text.find('\n') != std::string_view::npos) {
        layouts.push_back(split(text, '\n'));
    } else {
        layouts.push_back({std::string(text)});
        for (std::size_t at = text.find(' '); box.lines >= 2 && at != std::string_view::npos;
             at = text.find(' ', at + 1))
            layouts.push_back({std::string(text.substr(0, at)), std::string(text.substr(at + 1))});
    }
    if (int(layouts.front().size()) > box.lines)
        throw std::runtime_error("\"" + std::string(text) + "\" has more lines than its box");
    // One line shrunk a little reads better than two.
    FittedText best{layouts.front(), largest_fitting_size(cr, layouts.front(), box, style)};
    if (best.size < 0.8 * box.size) {
        for (std::size_t i = 1; i < layouts.size(); ++i) {
            const double size = largest_fitting_size(cr, layouts[i], box, style);
            if (size > best.size) best = {layouts[i], size};
        }
    }
    if (best.size < k_readable_size) {
        char size[32];
        std::snprintf(size, sizeof size, "%.1f", best.size);
        throw std::runtime_error("\"" + std::string(text) + "\" does not fit its box at a readable size (" +
                                 size + " px)");
    }
    return best;
}

void draw_fitted(cairo_t* cr, const FittedText& fitted, const TextBox& box, const TextStyle& style) {
    lines_path(cr, fitted, box, style);
    const Box ink = ink_of_path(cr, style);
    if (style.halo > 0) {
        set_colour(cr, style.halo_colour);
        cairo_set_line_width(cr, 2 * style.halo);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    set_colour(cr, style.colour);
    cairo_fill(cr);
    if (const auto& watcher = drawn_text_watcher()) {
        std::string text;
        for (const std::string& line : fitted.lines) text += (text.empty() ? "" : "\n") + line;
        watcher({text, box.room, ink, fitted.size, fitted.lines.size()});
    }
}

void watch_drawn_texts(std::function<void(const DrawnText&)> watcher) {
    drawn_text_watcher() = std::move(watcher);
}

void star_path(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turn) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 2 * points; ++i) {
        const double a = -k_pi / 2 + turn + i * k_pi / points;
        const double r = i % 2 == 0 ? outer : inner;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void shape_path(cairo_t* cr, Shape shape, double cx, double cy, double r) {
    cairo_new_path(cr);
    switch (shape) {
        case Shape::heart:
            cairo_move_to(cr, cx, cy + r * 0.95);
            cairo_curve_to(cr, cx - r * 1.25, cy + r * 0.05, cx - r * 0.95, cy - r * 1.05, cx, cy - r * 0.45);
            cairo_curve_to(cr, cx + r * 0.95, cy - r * 1.05, cx + r * 1.25, cy + r * 0.05, cx, cy + r * 0.95);
            cairo_close_path(cr);
            break;
        case Shape::triangle:
            cairo_move_to(cr, cx, cy - r);
            cairo_line_to(cr, cx + r * 0.98, cy + r * 0.72);
            cairo_line_to(cr, cx - r * 0.98, cy + r * 0.72);
            cairo_close_path(cr);
            break;
        case Shape::star:
            star_path(cr, cx, cy + r * 0.08, r * 1.05, r * 0.45, 5);
            break;
        case Shape::drop: {
            const double c = cy + r * 0.3, rho = r * 0.65, a = std::acos(rho / (r * 1.3));
            cairo_move_to(cr, cx, cy - r);
            cairo_arc(cr, cx, c, rho, -k_pi / 2 + a, 3 * k_pi / 2 - a);
            cairo_close_path(cr);
            break;
        }
        case Shape::circle:
            cairo_arc(cr, cx, cy, r * 0.82, 0, 2 * k_pi);
            break;
        case Shape::flower:
            for (int i = 0; i < 5; ++i) {
                const double a = -k_pi / 2 + i * 2 * k_pi / 5;
                cairo_new_sub_path(cr);
                cairo_arc(cr, cx + r * 0.52 * std::cos(a), cy + r * 0.52 * std::sin(a), r * 0.42, 0,
                          2 * k_pi);
            }
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, cy, r * 0.42, 0, 2 * k_pi);
            break;
        case Shape::cloud:
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx - r * 0.5, cy + r * 0.15, r * 0.42, 0, 2 * k_pi);
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + r * 0.05, cy - r * 0.2, r * 0.55, 0, 2 * k_pi);
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx + r * 0.58, cy + r * 0.18, r * 0.4, 0, 2 * k_pi);
            rounded_rect(cr, cx - r * 0.92, cy + r * 0.05, r * 1.88, r * 0.52, r * 0.26);
            break;
        case Shape::moon: {
            // Two equal circles, the second shifted right; the crescent is what the first keeps.
            const double d = r * 0.85, h = std::sqrt(r * r - d * d / 4), g = std::atan2(h, d / 2);
            cairo_save(cr);
            cairo_translate(cr, cx - r * 0.15, cy);
            cairo_rotate(cr, -0.35);
            cairo_arc(cr, 0, 0, r, g, 2 * k_pi - g);
            cairo_arc_negative(cr, d, 0, r, k_pi + g, k_pi - g);
            cairo_close_path(cr);
            cairo_restore(cr);
            break;
        }
        case Shape::square:
            rounded_rect(cr, cx - r * 0.75, cy - r * 0.75, r * 1.5, r * 1.5, r * 0.18);
            break;
        case Shape::diamond:
            cairo_move_to(cr, cx, cy - r);
            cairo_line_to(cr, cx + r * 0.72, cy);
            cairo_line_to(cr, cx, cy + r);
            cairo_line_to(cr, cx - r * 0.72, cy);
            cairo_close_path(cr);
            break;
        case Shape::bolt:
            cairo_move_to(cr, cx + r * 0.25, cy - r);
            cairo_line_to(cr, cx - r * 0.6, cy + r * 0.12);
            cairo_line_to(cr, cx - r * 0.02, cy + r * 0.12);
            cairo_line_to(cr, cx - r * 0.28, cy + r);
            cairo_line_to(cr, cx + r * 0.62, cy - r * 0.16);
            cairo_line_to(cr, cx + r * 0.05, cy - r * 0.16);
            cairo_close_path(cr);
            break;
        case Shape::plus: {
            const double a = r * 0.3, b = r * 0.9;
            cairo_move_to(cr, cx - a, cy - b);
            cairo_line_to(cr, cx + a, cy - b);
            cairo_line_to(cr, cx + a, cy - a);
            cairo_line_to(cr, cx + b, cy - a);
            cairo_line_to(cr, cx + b, cy + a);
            cairo_line_to(cr, cx + a, cy + a);
            cairo_line_to(cr, cx + a, cy + b);
            cairo_line_to(cr, cx - a, cy + b);
            cairo_line_to(cr, cx - a, cy + a);
            cairo_line_to(cr, cx - b, cy + a);
            cairo_line_to(cr, cx - b, cy - a);
            cairo_line_to(cr, cx - a, cy - a);
            cairo_close_path(cr);
            break;
        }
    }
}

void pencil(cairo_t* cr, double tip_x, double tip_y, double length, double width, double angle, Rgb body) {
    const double h = width / 2, cone = width * 1.3, ferrule = width * 0.55, rubber = width * 0.6;
    const double ow = std::max(0.7, width * 0.09);
    cairo_save(cr);
    cairo_translate(cr, tip_x, tip_y);
    cairo_rotate(cr, angle);
    // Body, ferrule and rubber first, the cone over them.
    cairo_new_path(cr);
    cairo_rectangle(cr, cone, -h, length - cone - ferrule - rubber, width);
    fill_outlined(cr, body, k_ink, ow);
    cairo_rectangle(cr, cone, -h * 0.33, length - cone - ferrule - rubber, width * 0.33);
    set_colour(cr, lighter(body, 0.35));
    cairo_fill(cr);
    cairo_rectangle(cr, length - ferrule - rubber, -h, ferrule, width);
    fill_outlined(cr, rgb(200, 205, 215), k_ink, ow);
    rounded_rect(cr, length - rubber, -h, rubber, width, width * 0.3);
    fill_outlined(cr, rgb(255, 140, 170), k_ink, ow);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, cone, -h);
    cairo_line_to(cr, cone, h);
    cairo_close_path(cr);
    fill_outlined(cr, rgb(245, 205, 150), k_ink, ow);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, cone * 0.38, -h * 0.38);
    cairo_line_to(cr, cone * 0.38, h * 0.38);
    cairo_close_path(cr);
    set_colour(cr, darker(body, 0.15));
    cairo_fill(cr);
    cairo_restore(cr);
}

void bucket(cairo_t* cr, double cx, double cy, double size, Rgb paint, double tilt) {
    // size is the bucket's height; the bucket is drawn upright around (cx, cy) and then tilted.
    const double s = size, ow = std::max(0.8, s * 0.045);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, tilt);
    cairo_new_path(cr);
    cairo_arc(cr, 0, -s * 0.32, s * 0.42, k_pi * 1.05, k_pi * 1.95);  // handle
    set_colour(cr, k_ink);
    cairo_set_line_width(cr, std::max(1.0, s * 0.07));
    cairo_stroke(cr);
    cairo_move_to(cr, -s * 0.46, -s * 0.32);
    cairo_line_to(cr, s * 0.46, -s * 0.32);
    cairo_line_to(cr, s * 0.36, s * 0.5);
    cairo_curve_to(cr, s * 0.2, s * 0.58, -s * 0.2, s * 0.58, -s * 0.36, s * 0.5);
    cairo_close_path(cr);
    fill_outlined(cr, rgb(90, 170, 240), k_ink, ow);
    cairo_move_to(cr, -s * 0.3, -s * 0.18);
    cairo_line_to(cr, -s * 0.24, s * 0.42);
    set_colour(cr, k_white, 0.6);
    cairo_set_line_width(cr, s * 0.07);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, 0, -s * 0.32);
    cairo_scale(cr, 1, 0.28);
    cairo_arc(cr, 0, 0, s * 0.46, 0, 2 * k_pi);
    cairo_restore(cr);
    fill_outlined(cr, paint, k_ink, ow);
    cairo_restore(cr);
}

void paint_drop(cairo_t* cr, double tip_x, double tip_y, double size, Rgb paint) {
    // A drop hanging upside down: round above, its point at (tip_x, tip_y).
    const double r = size / 2;
    cairo_save(cr);
    cairo_translate(cr, tip_x, tip_y - r);
    cairo_scale(cr, 1, -1);
    shape_path(cr, Shape::drop, 0, 0, r);
    cairo_restore(cr);
    fill_outlined(cr, paint, k_ink, std::max(0.8, size * 0.05));
    cairo_new_path(cr);
    cairo_arc(cr, tip_x - r * 0.25, tip_y - r * 1.35, r * 0.18, 0, 2 * k_pi);
    set_colour(cr, k_white, 0.8);
    cairo_fill(cr);
}

void pointing_hand(cairo_t* cr, double k, Rgb cuff) {
    // Designed on a 32-pixel grid with the fingertip at (12, 1); drawn with the fingertip at the origin.
    const double ow = 1.1;
    cairo_save(cr);
    cairo_scale(cr, k, k);
    cairo_translate(cr, -12, -1);
    cairo_set_line_width(cr, ow);
    cairo_new_path(cr);
    // Thumb, then the palm with three folded fingers, then the raised index finger.
    rounded_rect(cr, 3.5, 13.5, 8, 5, 2.5);
    fill_outlined(cr, k_white, rgb(0, 0, 0), ow);
    cairo_move_to(cr, 8.5, 14);
    cairo_line_to(cr, 8.5, 24.5);
    cairo_line_to(cr, 24, 24.5);
    cairo_line_to(cr, 24.5, 14);
    cairo_close_path(cr);
    fill_outlined(cr, k_white, rgb(0, 0, 0), ow);
    for (int i = 0; i < 3; ++i) {
        rounded_rect(cr, 14 + i * 3.5, 11.5, 3.5, 6.5, 1.7);
        fill_outlined(cr, k_white, rgb(0, 0, 0), ow);
    }
    rounded_rect(cr, 9.5, 1, 5, 16, 2.5);
    fill_outlined(cr, k_white, rgb(0, 0, 0), ow);
    cairo_move_to(cr, 10.5, 20);
    cairo_line_to(cr, 22.5, 20);
    set_colour(cr, rgb(0, 0, 0), 0.2);
    cairo_stroke(cr);
    cairo_rectangle(cr, 8, 24.5, 17, 6);
    fill_outlined(cr, cuff, rgb(0, 0, 0), ow);
    cairo_restore(cr);
}

double keycap_width(cairo_t* cr, std::string_view label, double h) {
    return text_width(cr, label, h * 0.58) + h * 0.7;
}

void keycap(cairo_t* cr, std::string_view label, double x, double y, double h) {
    const double w = keycap_width(cr, label, h);
    rounded_rect(cr, x, y + 2, w, h, h * 0.25);
    set_colour(cr, rgb(120, 120, 150));
    cairo_fill(cr);
    rounded_rect(cr, x, y, w, h - 1, h * 0.25);
    cairo_set_line_width(cr, 1.5);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.86, 0.88, 0.95);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    set_colour(cr, k_ink);
    cairo_stroke(cr);
    centred_text(cr, label, x + w / 2, y + h * 0.7, h * 0.58, k_ink);
}

void globe(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * k_pi);
    fill_outlined(cr, rgb(70, 170, 255), k_ink, std::max(1.0, r * 0.07));
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * k_pi);
    cairo_clip(cr);
    // Two friendly continents.
    cairo_new_path(cr);
    cairo_move_to(cr, cx - r * 0.7, cy - r * 0.5);
    cairo_curve_to(cr, cx - r * 0.1, cy - r * 0.95, cx + r * 0.1, cy - r * 0.2, cx - r * 0.25, cy + r * 0.1);
    cairo_curve_to(cr, cx - r * 0.45, cy + r * 0.55, cx - r * 0.95, cy + r * 0.1, cx - r * 0.7, cy - r * 0.5);
    cairo_close_path(cr);
    cairo_move_to(cr, cx + r * 0.25, cy + r * 0.05);
    cairo_curve_to(cr, cx + r * 0.8, cy - r * 0.35, cx + r * 1.0, cy + r * 0.4, cx + r * 0.55, cy + r * 0.8);
    cairo_curve_to(cr, cx + r * 0.3, cy + r * 0.95, cx + r * 0.0, cy + r * 0.4, cx + r * 0.25, cy + r * 0.05);
    cairo_close_path(cr);
    set_colour(cr, rgb(90, 205, 90));
    cairo_fill(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx - r * 0.35, cy - r * 0.4, r * 0.25, 0, 2 * k_pi);
    set_colour(cr, k_white, 0.45);
    cairo_fill(cr);
    cairo_restore(cr);
}

void tick(cairo_t* cr, double cx, double cy, double r, Rgb disc) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * k_pi);
    fill_outlined(cr, disc, k_white, std::max(1.0, r * 0.14));
    cairo_move_to(cr, cx - r * 0.48, cy + r * 0.02);
    cairo_line_to(cr, cx - r * 0.12, cy + r * 0.4);
    cairo_line_to(cr, cx + r * 0.5, cy - r * 0.38);
    set_colour(cr, k_white);
    cairo_set_line_width(cr, r * 0.3);
    cairo_stroke(cr);
}

void cross(cairo_t* cr, double cx, double cy, double r, Rgb disc) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * k_pi);
    fill_outlined(cr, disc, k_white, std::max(1.0, r * 0.14));
    const double a = r * 0.4;
    cairo_move_to(cr, cx - a, cy - a);
    cairo_line_to(cr, cx + a, cy + a);
    cairo_move_to(cr, cx + a, cy - a);
    cairo_line_to(cr, cx - a, cy + a);
    set_colour(cr, k_white);
    cairo_set_line_width(cr, r * 0.3);
    cairo_stroke(cr);
}

}  // namespace artgen::ui
