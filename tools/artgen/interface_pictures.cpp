#include <algorithm>
#include <cmath>
#include <numbers>

#include "artgen.h"
#include "interface_widgets.h"

namespace artgen {

namespace {

using namespace ui;

constexpr double k_pi = std::numbers::pi;

void sun_face(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    for (int i = 0; i < 12; ++i) {
        const double a = i * k_pi / 6;
        cairo_move_to(cr, cx + r * 1.18 * std::cos(a), cy + r * 1.18 * std::sin(a));
        cairo_line_to(cr, cx + r * 1.45 * std::cos(a), cy + r * 1.45 * std::sin(a));
    }
    set_colour(cr, rgb(255, 160, 0));
    cairo_set_line_width(cr, std::max(2.0, r * 0.13));
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * k_pi);
    fill_outlined(cr, k_sun, rgb(230, 130, 0), std::max(1.0, r * 0.05));
    for (double side : {-1.0, 1.0}) {
        cairo_new_path(cr);
        cairo_arc(cr, cx + side * r * 0.35, cy - r * 0.18, r * 0.11, 0, 2 * k_pi);
        set_colour(cr, k_ink);
        cairo_fill(cr);
        cairo_arc(cr, cx + side * r * 0.55, cy + r * 0.2, r * 0.15, 0, 2 * k_pi);
        set_colour(cr, rgb(255, 110, 110), 0.6);
        cairo_fill(cr);
    }
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy + r * 0.05, r * 0.45, 0.2 * k_pi, 0.8 * k_pi);
    set_colour(cr, k_ink);
    cairo_set_line_width(cr, std::max(1.5, r * 0.09));
    cairo_stroke(cr);
}

void crayon(cairo_t* cr, double x, double bottom, double w, double h, Rgb c) {
    const double tip = w * 1.1;
    cairo_new_path(cr);
    cairo_move_to(cr, x, bottom);
    cairo_line_to(cr, x, bottom - h + tip);
    cairo_line_to(cr, x + w * 0.5, bottom - h);
    cairo_line_to(cr, x + w, bottom - h + tip);
    cairo_line_to(cr, x + w, bottom);
    cairo_close_path(cr);
    fill_outlined(cr, c, k_ink, 1.2);
    for (double band : {0.3, 0.7}) {
        cairo_rectangle(cr, x, bottom - h + tip + (h - tip) * band, w, 4);
        set_colour(cr, darker(c, 0.3));
        cairo_fill(cr);
    }
    cairo_rectangle(cr, x + w * 0.2, bottom - h + tip + 4, w * 0.18, h - tip - 8);
    set_colour(cr, k_white, 0.35);
    cairo_fill(cr);
}

void artist_palette(cairo_t* cr, double cx, double cy, double s) {
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 1, 0.78);
    cairo_arc(cr, 0, 0, s, 0, 2 * k_pi);
    cairo_restore(cr);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx + s * 0.35, cy + s * 0.3, s * 0.17, 0, -2 * k_pi);
    fill_outlined(cr, rgb(240, 200, 140), k_ink, 1.3);
    const Rgb blobs[] = {rgb(255, 0, 0), rgb(255, 255, 0), rgb(52, 204, 103), rgb(0, 0, 255),
                         rgb(204, 51, 255)};
    for (int i = 0; i < 5; ++i) {
        const double a = k_pi * (0.75 + i * 0.32);
        cairo_new_path(cr);
        cairo_arc(cr, cx + s * 0.62 * std::cos(a), cy + s * 0.5 * std::sin(a), s * 0.16, 0, 2 * k_pi);
        fill_outlined(cr, blobs[i], k_ink, 0.8);
    }
}

void cloud_behind(cairo_t* cr, double cx, double cy, double w, double h) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, w / 2, h / 2);
    shape_path(cr, Shape::cloud, 0, -0.05, 1.02);
    cairo_restore(cr);
    set_colour(cr, k_white, 0.9);
    cairo_fill(cr);
}

void shortcut(cairo_t* cr, std::string_view key, std::string_view word, double x, double y, double h,
              double size) {
    keycap(cr, key, x, y, h);
    left_text(cr, word, x + keycap_width(cr, key, h) + 7, y + h * 0.74, size, k_ink, Font::sans_bold, 2.5);
}

double shortcut_width(cairo_t* cr, std::string_view key, std::string_view word, double h, double size) {
    return keycap_width(cr, key, h) + 7 + text_width(cr, word, size);
}

void write_main_backdrop(const OutputDirs& out) {
    Picture p(1024, 768);
    paint_main_ground(p, 0, 0);
    cairo_t* cr = p.cr();

    // Canvas frame: a rainbow border of 10 pixels around the 750 × 600 canvas at (30, 29).
    rounded_rect(cr, 24, 24, 770, 620, 12);
    set_colour(cr, rgb(20, 40, 90), 0.25);
    cairo_fill(cr);
    rounded_rect(cr, 20, 19, 770, 620, 12);
    cairo_pattern_t* rainbow = cairo_pattern_create_linear(20, 19, 790, 639);
    const Rgb stops[] = {rgb(255, 80, 80),  rgb(255, 170, 40), rgb(250, 215, 30),
                         rgb(70, 200, 110), rgb(60, 150, 255), rgb(190, 90, 255)};
    for (int i = 0; i < 6; ++i) {
        cairo_pattern_add_color_stop_rgb(rainbow, i / 5.0, stops[i].r, stops[i].g, stops[i].b);
    }
    cairo_set_source(cr, rainbow);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(rainbow);
    set_colour(cr, k_ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_rectangle(cr, 29, 28, 752, 602);
    fill_outlined(cr, k_white, k_ink, 0);
    cairo_rectangle(cr, 29, 28, 752, 602);
    set_colour(cr, k_ink);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);

    cloud_behind(cr, 906, 62, 236, 140);
    product_logo(cr, 906, 14, 214);
    centred_text(cr, "my colouring book", 906, 112, 15, rgb(200, 60, 140), Font::sans_bold, 2.5);

    rounded_rect(cr, 802, 128, 210, 98, 14);
    set_colour(cr, k_white);
    cairo_fill_preserve(cr);
    set_colour(cr, rgb(255, 150, 40));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    globe(cr, 828, 158, 17);
    left_text(cr, "Come and", 852, 153, 16, k_ink);
    left_text(cr, "visit us at", 852, 172, 16, k_ink);
    centred_text(cr, "zuvela.example", 907, 200, fitting_size(cr, "zuvela.example", 196, 22),
                 rgb(30, 100, 220));
    centred_text(cr, "for more colouring fun!", 907, 218, 12, rgb(200, 60, 140));

    // Keyboard help under the canvas, above the shelf.
    const double h = 22, size = 16;
    const std::pair<const char*, const char*> keys[] = {
        {"Ctrl+R", "info"}, {"Ctrl+P", "print my picture"}, {"Ctrl+X", "leave"}};
    double total = 0;
    for (auto [key, word] : keys) total += shortcut_width(cr, key, word, h, size);
    const double gap = 48;
    double x = 405 - (total + gap * 2) / 2;
    for (auto [key, word] : keys) {
        shortcut(cr, key, word, x, 642, h, size);
        x += shortcut_width(cr, key, word, h, size) + gap;
    }
    p.save_jpeg(out.picture / "GLAVNA-2.JPG");
}

void write_gallery_backdrop(const OutputDirs& out) {
    Picture p(1024, 768);
    paint_gallery_ground(p, 0, 0);
    cairo_t* cr = p.cr();
    centred_text(cr, "Pick a picture to colour!", 500, 31, 26, rgb(150, 50, 200), Font::sans_bold, 4);

    cloud_behind(cr, 902, 82, 236, 150);
    product_logo(cr, 902, 36, 210);
    sun_face(cr, 902, 268, 52);
    cairo_new_path(cr);
    cairo_move_to(cr, 790, 398);
    cairo_line_to(cr, 822, 370);
    cairo_line_to(cr, 822, 386);
    cairo_line_to(cr, 868, 386);
    cairo_line_to(cr, 868, 410);
    cairo_line_to(cr, 822, 410);
    cairo_line_to(cr, 822, 426);
    cairo_close_path(cr);
    fill_outlined(cr, rgb(255, 140, 30), k_ink, 1.5);
    centred_text(cr, "Click a", 940, 392, 22, rgb(30, 100, 220), Font::sans_bold, 3);
    centred_text(cr, "picture!", 940, 418, 22, rgb(30, 100, 220), Font::sans_bold, 3);

    const Rgb colours[] = {rgb(255, 0, 0),    rgb(255, 102, 0), rgb(255, 230, 0),
                           rgb(52, 204, 103), rgb(0, 120, 255), rgb(204, 51, 255)};
    for (int i = 0; i < 6; ++i)
        crayon(cr, 826 + i * 26.5, 600 - (i % 2) * 6, 22, 110 - (i % 3) * 8, colours[i]);
    rounded_rect(cr, 812, 584, 182, 90, 10);
    fill_outlined(cr, rgb(255, 200, 40), k_ink, 1.5);
    shape_path(cr, Shape::heart, 903, 630, 20);
    fill_outlined(cr, rgb(255, 80, 120), k_white, 2);

    shortcut(cr, "Ctrl+X", "leave", 838, 712, 22, 16);
    p.save_jpeg(out.picture / "GALERIJA-2.JPG");
}

void write_leave_panel(const OutputDirs& out) {
    Picture p(400, 250);
    cairo_t* cr = p.cr();
    paint_leave_panel_ground(cr);
    sun_face(cr, 200, 48, 25);
    centred_text(cr, "Do you want to leave?", 200, 118, fitting_size(cr, "Do you want to leave?", 360, 28),
                 rgb(200, 60, 20), Font::sans_bold, 3);
    // Da sits at (56, 150) 107 × 50, Ne at (256, 150) 85 × 50.
    centred_text(cr, "bye-bye!", 109, 224, 15, k_ink, Font::sans_bold, 2);
    centred_text(cr, "keep colouring", 298, 224, 15, k_ink, Font::sans_bold, 2);
    p.save_jpeg(out.picture / "CTRLX.JPG");
}

void write_info_panel(const OutputDirs& out) {
    Picture p(400, 250);
    cairo_t* cr = p.cr();
    paint_info_panel_ground(cr);
    // Zatvori sits at (320, 10), visit_site at (34, 136), Firma at (147, 203).
    product_logo(cr, 160, 16, 260);
    centred_text(cr, "a colouring book for little artists", 190, 128, 14, rgb(200, 60, 140), Font::sans_bold,
                 2.5);
    artist_palette(cr, 352, 78, 30);
    left_text(cr, "made by", 70, 226, 14, k_ink, Font::sans_bold, 2);
    left_text(cr, "Ctrl+P  print", 278, 218, 12, k_ink, Font::sans_bold, 2);
    left_text(cr, "Ctrl+X  leave", 278, 234, 12, k_ink, Font::sans_bold, 2);
    p.save_jpeg(out.picture / "CTRL-R-2.JPG");
}

void printer(cairo_t* cr, double x, double y) {
    rounded_rect(cr, x + 30, y, 100, 50, 4);
    fill_outlined(cr, k_white, k_ink, 1.5);
    rounded_rect(cr, x, y + 35, 160, 70, 12);
    vertical_gradient(cr, y + 35, y + 105, rgb(150, 200, 255), rgb(70, 130, 220));
    cairo_fill_preserve(cr);
    set_colour(cr, k_ink);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_arc(cr, x + 140, y + 55, 5, 0, 2 * k_pi);
    fill_outlined(cr, rgb(120, 255, 120), k_ink, 1);
    rounded_rect(cr, x + 20, y + 80, 120, 10, 4);
    set_colour(cr, k_ink);
    cairo_fill(cr);
    // The page coming out, already showing a coloured picture.
    const double px = x + 30, py = y + 85;
    cairo_rectangle(cr, px, py, 100, 70);
    fill_outlined(cr, k_white, k_ink, 1.5);
    cairo_new_path(cr);
    cairo_arc(cr, px + 78, py + 22, 11, 0, 2 * k_pi);
    fill_outlined(cr, k_sun, k_ink, 1);
    cairo_rectangle(cr, px + 18, py + 32, 36, 28);
    fill_outlined(cr, rgb(255, 200, 80), k_ink, 1);
    cairo_move_to(cr, px + 12, py + 34);
    cairo_line_to(cr, px + 36, py + 14);
    cairo_line_to(cr, px + 60, py + 34);
    cairo_close_path(cr);
    fill_outlined(cr, rgb(240, 60, 60), k_ink, 1);
    cairo_move_to(cr, px + 4, py + 64);
    cairo_line_to(cr, px + 96, py + 64);
    set_colour(cr, rgb(60, 180, 70));
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
}

void write_printing_panel(const OutputDirs& out) {
    Picture p(400, 250);
    cairo_t* cr = p.cr();
    vertical_gradient(cr, 0, 250, rgb(130, 220, 120), rgb(40, 160, 70));
    cairo_paint(cr);
    cairo_rectangle(cr, 4, 4, 392, 242);
    set_colour(cr, rgb(20, 110, 50));
    cairo_set_line_width(cr, 8);
    cairo_stroke(cr);
    printer(cr, 24, 50);
    for (int i = 0; i < 3; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, 250 + i * 26, 176, 7, 0, 2 * k_pi);
        fill_outlined(cr, k_white, k_ink, 1.2);
    }
    centred_text(cr, "Printing", 290, 92, 34, k_white, Font::sans_bold, 3, k_ink);
    centred_text(cr, "Please wait", 290, 130, 24, k_white, Font::sans_bold, 2.5, k_ink);
    centred_text(cr, "a moment!", 290, 156, 20, rgb(255, 245, 150), Font::sans_bold, 2.5, k_ink);
    p.save_jpeg(out.picture / "PRINTING.JPG");
}

void write_splash(const OutputDirs& out) {
    // 200 × 250, of which the window shows the top 248 rows.
    Picture p(200, 250);
    cairo_t* cr = p.cr();
    vertical_gradient(cr, 0, 250, rgb(150, 212, 255), rgb(220, 242, 255));
    cairo_paint(cr);
    rounded_rect(cr, 5, 5, 190, 238, 14);
    set_colour(cr, k_white, 0.85);
    cairo_fill_preserve(cr);
    set_colour(cr, rgb(255, 150, 40));
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    product_logo(cr, 100, 20, 168);
    const Rgb colours[] = {rgb(255, 0, 0),    rgb(255, 102, 0), rgb(255, 230, 0),
                           rgb(52, 204, 103), rgb(0, 120, 255), rgb(204, 51, 255)};
    for (int i = 0; i < 6; ++i) crayon(cr, 32 + i * 23, 158 - (i % 2) * 4, 18, 64 - (i % 3) * 6, colours[i]);
    centred_text(cr, "my colouring book", 100, 178, 14, rgb(200, 60, 140), Font::sans_bold, 2);
    studio_logo(cr, 36, 190, 128, 42, rgb(20, 140, 150), rgb(30, 50, 90));
    p.save_jpeg(out.builtin / "SPLASH.JPG");
}

}  // namespace

void write_interface_pictures(const OutputDirs& out) {
    write_main_backdrop(out);
    write_gallery_backdrop(out);
    write_leave_panel(out);
    write_info_panel(out);
    write_printing_panel(out);
    write_buttons(out);
    write_swatches(out);
    write_pointers(out);
    write_splash(out);
}

}  // namespace artgen
