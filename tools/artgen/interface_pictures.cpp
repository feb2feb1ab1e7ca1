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

// The keyboard's help: a keycap and its word.
void shortcut(cairo_t* cr, std::string_view key, std::string_view word, double x, double y, double h,
              double size, double right) {
    keycap(cr, key, x, y, h);
    const double left = x + keycap_width(cr, key, h) + 7;
    fitted_text(cr, word,
                {{left - 3, y - 6, right, y + h + 4}, left, y + h * 0.74, size, 1, 1.2, Align::left},
                {k_ink, Font::sans_bold, 2.5});
}

std::string key(const ScreenWords& words, char letter) {
    return std::string(words.ctrl) + "+" + letter;
}

void write_main_backdrop(const std::filesystem::path& folder, const ScreenWords& words) {
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
    fitted_text(cr, words.my_colouring_book, {{794, 96, 1018, 126}, 906, 112, 15},
                {rgb(200, 60, 140), Font::sans_bold, 2.5});

    rounded_rect(cr, 802, 128, 210, 98, 14);
    set_colour(cr, k_white);
    cairo_fill_preserve(cr);
    set_colour(cr, rgb(255, 150, 40));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    globe(cr, 828, 158, 17);
    fitted_text(cr, words.come_and_visit_us_at,
                {{849, 133, 1009, 183}, 852, 162.5, 16, 2, 19.0 / 16, Align::left}, {k_ink});
    centred_text(cr, "zuvela.example", 907, 200, fitting_size(cr, "zuvela.example", 196, 22),
                 rgb(30, 100, 220));
    fitted_text(cr, words.for_more_colouring_fun, {{806, 206, 1009, 225}, 907, 218, 12}, {rgb(200, 60, 140)});

    // Keyboard help under the canvas, above the shelf: the gaps close up first, then the words shrink.
    const double h = 22, y = 642, left = 24, right = 786;
    const std::string keys[] = {key(words, 'R'), key(words, 'P'), key(words, 'X')};
    const char* texts[] = {words.info, words.print_my_picture, words.leave};
    double size = 16, gap = 48;
    const auto row_width = [&] {
        double total = 2 * gap;
        for (int i = 0; i < 3; ++i)
            total += keycap_width(cr, keys[i], h) + 7 + text_width(cr, texts[i], size) + 5;
        return total;
    };
    while (row_width() > right - left && gap > 24) gap -= 1;
    while (row_width() > right - left && size > k_readable_size) size -= 0.25;
    double x = 405 - row_width() / 2;
    for (int i = 0; i < 3; ++i) {
        const double slot = keycap_width(cr, keys[i], h) + 7 + text_width(cr, texts[i], size) + 5;
        shortcut(cr, keys[i], texts[i], x, y, h, size, std::min(right, x + slot + gap / 2));
        x += slot + gap;
    }
    p.save_jpeg(folder / "GLAVNA-2.JPG");
}

void write_gallery_backdrop(const std::filesystem::path& folder, const ScreenWords& words) {
    Picture p(1024, 768);
    paint_gallery_ground(p, 0, 0);
    cairo_t* cr = p.cr();
    fitted_text(cr, words.pick_a_picture_to_colour, {{226, 0, 784, 42}, 500, 31, 26},
                {rgb(150, 50, 200), Font::sans_bold, 4});

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
    fitted_text(cr, words.click_a_picture, {{872, 350, 1022, 450}, 940, 405, 22, 2, 26.0 / 22},
                {rgb(30, 100, 220), Font::sans_bold, 3});

    const Rgb colours[] = {rgb(255, 0, 0),    rgb(255, 102, 0), rgb(255, 230, 0),
                           rgb(52, 204, 103), rgb(0, 120, 255), rgb(204, 51, 255)};
    for (int i = 0; i < 6; ++i)
        crayon(cr, 826 + i * 26.5, 600 - (i % 2) * 6, 22, 110 - (i % 3) * 8, colours[i]);
    rounded_rect(cr, 812, 584, 182, 90, 10);
    fill_outlined(cr, rgb(255, 200, 40), k_ink, 1.5);
    shape_path(cr, Shape::heart, 903, 630, 20);
    fill_outlined(cr, rgb(255, 80, 120), k_white, 2);

    shortcut(cr, key(words, 'X'), words.leave, 838, 712, 22, 16, 1020);
    p.save_jpeg(folder / "GALERIJA-2.JPG");
}

void write_leave_panel(const std::filesystem::path& folder, const ScreenWords& words) {
    Picture p(400, 250);
    cairo_t* cr = p.cr();
    paint_leave_panel_ground(cr);
    sun_face(cr, 200, 48, 25);
    fitted_text(cr, words.do_you_want_to_leave, {{14, 84, 386, 148}, 200, 118, 28, 2, 1.1},
                {rgb(200, 60, 20), Font::sans_bold, 3});
    // Da sits at (56, 150) 107 × 50, Ne at (256, 150) 85 × 50.
    fitted_text(cr, words.bye_bye, {{14, 204, 204, 240}, 109, 224, 15}, {k_ink, Font::sans_bold, 2});
    fitted_text(cr, words.keep_colouring, {{206, 204, 388, 240}, 298, 224, 15}, {k_ink, Font::sans_bold, 2});
    p.save_jpeg(folder / "CTRLX.JPG");
}

void write_info_panel(const std::filesystem::path& folder, const ScreenWords& words) {
    Picture p(400, 250);
    cairo_t* cr = p.cr();
    paint_info_panel_ground(cr);
    // Zatvori sits at (320, 10), visit_site at (34, 136), Firma at (147, 203).
    product_logo(cr, 160, 16, 260);
    fitted_text(cr, words.for_little_artists, {{14, 104, 388, 135}, 190, 128, 14, 2, 1.05},
                {rgb(200, 60, 140), Font::sans_bold, 2.5});
    artist_palette(cr, 352, 78, 30);
    fitted_text(cr, words.made_by, {{14, 200, 145, 240}, 132, 226, 14, 2, 1.05, Align::right},
                {k_ink, Font::sans_bold, 2});
    const std::string print = key(words, 'P') + "  " + words.print,
                      leave = key(words, 'X') + "  " + words.leave;
    fitted_text(cr, print, {{274, 203, 388, 223}, 278, 218, 12, 1, 1.2, Align::left},
                {k_ink, Font::sans_bold, 2});
    fitted_text(cr, leave, {{274, 221, 388, 240}, 278, 234, 12, 1, 1.2, Align::left},
                {k_ink, Font::sans_bold, 2});
    p.save_jpeg(folder / "CTRL-R-2.JPG");
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

void write_printing_panel(const std::filesystem::path& folder, const ScreenWords& words) {
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
    // The printer takes the left of the notice up to x = 184.
    fitted_text(cr, words.printing, {{188, 48, 388, 106}, 290, 92, 34}, {k_white, Font::sans_bold, 3, k_ink});
    fitted_text(cr, words.please_wait, {{188, 106, 388, 138}, 290, 130, 24},
                {k_white, Font::sans_bold, 2.5, k_ink});
    fitted_text(cr, words.a_moment, {{188, 138, 388, 167}, 290, 156, 20},
                {rgb(255, 245, 150), Font::sans_bold, 2.5, k_ink});
    p.save_jpeg(folder / "PRINTING.JPG");
}

void write_splash(const std::filesystem::path& path, const ScreenWords& words) {
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
    fitted_text(cr, words.my_colouring_book, {{8, 160, 192, 189}, 100, 178, 14},
                {rgb(200, 60, 140), Font::sans_bold, 2});
    studio_logo(cr, 36, 190, 128, 42, rgb(20, 140, 150), rgb(30, 50, 90));
    p.save_jpeg(path);
}

}  // namespace

void write_pictures_with_words(const OutputDirs& out, const ScreenWords& words) {
    const std::filesystem::path folder = out.picture / words.folder;
    std::filesystem::create_directories(folder);
    write_main_backdrop(folder, words);
    write_gallery_backdrop(folder, words);
    write_leave_panel(folder, words);
    write_info_panel(folder, words);
    write_printing_panel(folder, words);
    write_buttons_with_words(folder, words);
    // English is shown before the asset folders are worked out, from inside the program.
    write_splash(words.folder.empty() ? out.builtin / "SPLASH.JPG" : folder / "SPLASH.JPG", words);
}

void write_interface_pictures(const OutputDirs& out) {
    for (const ScreenWords& words : screen_words()) write_pictures_with_words(out, words);
    write_buttons(out);
    write_swatches(out);
    write_pointers(out);
}

}  // namespace artgen
