// Drawing kit shared by the screens, panels, buttons, swatches and pointers.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "artgen.h"
#include "image_writers.h"
#include "screen_words.h"

namespace artgen::ui {

struct Rgb {
    double r = 0, g = 0, b = 0;
};
constexpr Rgb rgb(int r, int g, int b) {
    return {r / 255.0, g / 255.0, b / 255.0};
}
Rgb mix(Rgb a, Rgb b, double t);
inline Rgb lighter(Rgb c, double t) {
    return mix(c, {1, 1, 1}, t);
}
inline Rgb darker(Rgb c, double t) {
    return mix(c, {0, 0, 0}, t);
}

inline constexpr Rgb k_ink = rgb(40, 36, 70);  // outlines and text
inline constexpr Rgb k_white = rgb(255, 255, 255);
inline constexpr Rgb k_sun = rgb(255, 214, 40);

// An ARGB32 cairo surface with its drawing context.
class Picture {
  public:
    Picture(int width, int height);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    cairo_t* cr() const { return m_cr; }
    cairo_surface_t* surface() const { return m_surface; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Straight (not premultiplied) alpha, as icon files want it.
    Image image() const;
    void save_jpeg(const std::filesystem::path& path) const;
    void save_ico(const std::filesystem::path& path) const;

  private:
    int m_width;
    int m_height;
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

void set_colour(cairo_t* cr, Rgb c, double alpha = 1.0);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// Fills the current path with `fill` over an outline of `outline_width` in `outline`; keeps no path.
void fill_outlined(cairo_t* cr, Rgb fill, Rgb outline, double outline_width);
void vertical_gradient(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom);
void radial_glow(cairo_t* cr, double cx, double cy, double radius, Rgb c, double alpha);

enum class Font { sans, sans_bold, serif_bold };
double text_width(cairo_t* cr, std::string_view text, double size, Font font = Font::sans_bold);
// Centred on cx, baseline at y. A halo of `halo` pixels in `halo_colour` keeps text legible on busy ground.
void centred_text(cairo_t* cr, std::string_view text, double cx, double y, double size, Rgb colour,
                  Font font = Font::sans_bold, double halo = 0, Rgb halo_colour = k_white);
void left_text(cairo_t* cr, std::string_view text, double x, double y, double size, Rgb colour,
               Font font = Font::sans_bold, double halo = 0, Rgb halo_colour = k_white);
// The largest size up to `size` at which the text fits in `width`.
double fitting_size(cairo_t* cr, std::string_view text, double width, double size,
                    Font font = Font::sans_bold);

// Words in a box: measured as drawn, halo included, and shrunk or wrapped until they fit.
struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};
enum class Align { left, centre, right };
struct TextBox {
    Box room;            // everything drawn stays inside
    double x;            // the text's left edge, centre or right edge
    double mid;          // the baseline of one line; of several, halfway between the first and the last
    double size;         // as the English picture was designed, and the largest
    int lines = 1;       // at most
    double pitch = 1.2;  // from one baseline to the next, in sizes
    Align align = Align::centre;
};
struct TextStyle {
    Rgb colour;
    Font font = Font::sans_bold;
    double halo = 0;  // keeps text legible on busy ground
    Rgb halo_colour = k_white;
};
struct FittedText {
    std::vector<std::string> lines;
    double size = 0;
};
// Below this a parent could not read the words at a glance on the screen.
inline constexpr double k_readable_size = 11;
// Throws when the text cannot fit its box at a readable size: the art is not built.
FittedText fit_text(cairo_t* cr, std::string_view text, const TextBox& box, const TextStyle& style);
void draw_fitted(cairo_t* cr, const FittedText& fitted, const TextBox& box, const TextStyle& style);
inline void fitted_text(cairo_t* cr, std::string_view text, const TextBox& box, const TextStyle& style) {
    draw_fitted(cr, fit_text(cr, text, box, style), box, style);
}

// What draw_fitted drew, for checking the art: the ink as cairo measures the drawn outlines.
struct DrawnText {
    std::string text;
    Box room;
    Box ink;
    double size = 0;
    std::size_t lines = 0;
};
void watch_drawn_texts(std::function<void(const DrawnText&)> watcher);

// Each palette colour carries one of these, so that colours can be told apart without seeing them.
enum class Shape { heart, triangle, star, drop, circle, flower, cloud, moon, square, diamond, bolt, plus };
void shape_path(cairo_t* cr, Shape shape, double cx, double cy, double r);
void star_path(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turn = 0);

// Light shelf wood, continuous across pictures: (ox, oy) is where the picture sits in the window.
void paint_wood(Picture& picture, int ox, int oy);
inline constexpr int k_shelf_top = 667;
inline constexpr int k_shelf_lip = 752;

// The ground of each screen and panel, in its own coordinates, so a control can repeat what lies beneath it.
void paint_main_ground(Picture& picture, int ox, int oy);
void paint_gallery_ground(Picture& picture, int ox, int oy);
void paint_leave_panel_ground(cairo_t* cr);
void paint_info_panel_ground(cairo_t* cr);

// "Tindora" over a bouncing, many-coloured "Zuvela 2", fitted into `width` and centred on cx.
// Returns the height used.
double product_logo(cairo_t* cr, double cx, double top, double width);
// A quill in a disc and the studio's name, filling the box.
void studio_logo(cairo_t* cr, double x, double y, double w, double h, Rgb disc, Rgb text);

// Small pictures used on several buttons and pointers. Each is drawn around its own anchor.
void pencil(cairo_t* cr, double tip_x, double tip_y, double length, double width, double angle, Rgb body);
void bucket(cairo_t* cr, double cx, double cy, double size, Rgb paint, double tilt);
void paint_drop(cairo_t* cr, double tip_x, double tip_y, double size, Rgb paint);
void pointing_hand(cairo_t* cr, double scale, Rgb cuff);  // fingertip at the origin, pointing up
void keycap(cairo_t* cr, std::string_view label, double x, double y, double h);
double keycap_width(cairo_t* cr, std::string_view label, double h);
void globe(cairo_t* cr, double cx, double cy, double r);
void tick(cairo_t* cr, double cx, double cy, double r, Rgb disc);
void cross(cairo_t* cr, double cx, double cy, double r, Rgb disc);

// Resting and hover looks of every button, the tool buttons and the palette swatches; the buttons with words
// once per language, into `folder`.
void write_buttons(const OutputDirs& out);
void write_buttons_with_words(const std::filesystem::path& folder, const ScreenWords& words);
void write_swatches(const OutputDirs& out);
// The canvas pointers and the built-in pointers and application icon.
void write_pointers(const OutputDirs& out);

}  // namespace artgen::ui
