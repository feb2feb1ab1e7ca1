#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string>

#include "interface_widgets.h"

namespace artgen::ui {

namespace {

constexpr double k_pi = std::numbers::pi;

using Ground = std::function<void(Picture&)>;
using Face = std::function<void(cairo_t*, double w, double h, bool hover)>;

Ground on_main(int x, int y) {
    return [x, y](Picture& p) { paint_main_ground(p, x, y); };
}
Ground on_gallery(int x, int y) {
    return [x, y](Picture& p) { paint_gallery_ground(p, x, y); };
}
// Panel-relative places: the panels sit at (312, 259).
Ground on_leave_panel(int x, int y) {
    return [x, y](Picture& p) {
        cairo_save(p.cr());
        cairo_translate(p.cr(), -x, -y);
        paint_leave_panel_ground(p.cr());
        cairo_restore(p.cr());
    };
}
Ground on_info_panel(int x, int y) {
    return [x, y](Picture& p) {
        cairo_save(p.cr());
        cairo_translate(p.cr(), -x, -y);
        paint_info_panel_ground(p.cr());
        cairo_restore(p.cr());
    };
}

// A rounded, glossy card. The hover look is brighter and wears a golden glow.
void card(cairo_t* cr, double w, double h, Rgb colour, bool hover) {
    const double inset = std::min(w, h) < 40 ? 2 : 4, r = std::min(w, h) * 0.22;
    const double x = inset, y = inset, cw = w - 2 * inset, ch = h - 2 * inset;
    if (hover) {
        for (int i = 3; i >= 1; --i) {
            rounded_rect(cr, x - i * 0.9, y - i * 0.9, cw + i * 1.8, ch + i * 1.8, r + i);
            set_colour(cr, rgb(255, 236, 90), 0.3 + 0.2 * (3 - i));
            cairo_fill(cr);
        }
        colour = lighter(colour, 0.22);
    } else {
        rounded_rect(cr, x + 1.5, y + 2.5, cw, ch, r);
        set_colour(cr, rgb(30, 30, 60), 0.28);
        cairo_fill(cr);
    }
    rounded_rect(cr, x, y, cw, ch, r);
    vertical_gradient(cr, y, y + ch, lighter(colour, 0.3), colour);
    cairo_fill_preserve(cr);
    set_colour(cr, hover ? rgb(255, 190, 0) : darker(colour, 0.35));
    cairo_set_line_width(cr, hover ? 3 : 2);
    cairo_stroke(cr);
    rounded_rect(cr, x + 3, y + 2.5, cw - 6, ch * 0.42, r * 0.8);
    set_colour(cr, k_white, hover ? 0.4 : 0.28);
    cairo_fill(cr);
}

void make(const std::filesystem::path& path, int w, int h, const Ground& ground, Rgb colour, bool hover,
          const Face& face) {
    Picture p(w, h);
    ground(p);
    card(p.cr(), w, h, colour, hover);
    face(p.cr(), w, h, hover);
    p.save_jpeg(path);
}

void pair(const std::filesystem::path& folder, const std::string& rest, const std::string& lit, int w, int h,
          const Ground& ground, Rgb colour, const Face& face) {
    make(folder / rest, w, h, ground, colour, false, face);
    make(folder / lit, w, h, ground, colour, true, face);
}

constexpr TextStyle k_label{k_white, Font::sans_bold, 2.2, k_ink};

void label(cairo_t* cr, std::string_view text, const TextBox& box) {
    fitted_text(cr, text, box, k_label);
}

void mini_picture(cairo_t* cr, int which, double x, double y, double w, double h) {
    rounded_rect(cr, x, y, w, h, 4);
    fill_outlined(cr, k_white, k_ink, 1);
    cairo_save(cr);
    cairo_translate(cr, x + w / 2, y + h / 2);
    cairo_set_line_width(cr, 1.6);
    const double s = std::min(w, h) / 2 - 4;
    cairo_new_path(cr);
    switch (which) {
        case 0:  // sun
            for (int i = 0; i < 8; ++i) {
                const double a = i * k_pi / 4;
                cairo_move_to(cr, s * 0.62 * std::cos(a), s * 0.62 * std::sin(a));
                cairo_line_to(cr, s * 0.95 * std::cos(a), s * 0.95 * std::sin(a));
            }
            set_colour(cr, rgb(255, 160, 0));
            cairo_stroke(cr);
            cairo_arc(cr, 0, 0, s * 0.45, 0, 2 * k_pi);
            fill_outlined(cr, k_sun, k_ink, 0.8);
            break;
        case 1:  // house
            cairo_rectangle(cr, -s * 0.6, -s * 0.1, s * 1.2, s * 0.95);
            fill_outlined(cr, rgb(255, 235, 150), k_ink, 0.8);
            cairo_move_to(cr, -s * 0.85, -s * 0.05);
            cairo_line_to(cr, 0, -s * 0.85);
            cairo_line_to(cr, s * 0.85, -s * 0.05);
            cairo_close_path(cr);
            fill_outlined(cr, rgb(240, 60, 60), k_ink, 0.8);
            cairo_rectangle(cr, -s * 0.15, s * 0.3, s * 0.32, s * 0.55);
            fill_outlined(cr, rgb(120, 80, 200), k_ink, 0.8);
            break;
        case 2:  // fish
            cairo_move_to(cr, s * 0.35, 0);
            cairo_line_to(cr, s * 0.95, -s * 0.45);
            cairo_line_to(cr, s * 0.95, s * 0.45);
            cairo_close_path(cr);
            fill_outlined(cr, rgb(255, 120, 30), k_ink, 0.8);
            cairo_save(cr);
            cairo_scale(cr, 1, 0.6);
            cairo_arc(cr, -s * 0.15, 0, s * 0.62, 0, 2 * k_pi);
            cairo_restore(cr);
            fill_outlined(cr, rgb(255, 170, 40), k_ink, 0.8);
            cairo_arc(cr, -s * 0.45, -s * 0.08, s * 0.08, 0, 2 * k_pi);
            set_colour(cr, k_ink);
            cairo_fill(cr);
            break;
        default:  // flower
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, 0, s);
            set_colour(cr, rgb(40, 160, 70));
            cairo_stroke(cr);
            shape_path(cr, Shape::flower, 0, -s * 0.2, s * 0.7);
            fill_outlined(cr, rgb(255, 110, 190), k_ink, 0.8);
            cairo_arc(cr, 0, -s * 0.2, s * 0.22, 0, 2 * k_pi);
            fill_outlined(cr, k_sun, k_ink, 0.6);
            break;
    }
    cairo_restore(cr);
}

void more_images_face(cairo_t* cr, double w, double, bool hover, const char* words) {
    const double tw = 58, th = 46, gap = 7, x0 = (w - 2 * tw - gap) / 2, y0 = 12;
    for (int i = 0; i < 4; ++i) {
        const double lift = hover ? (i % 2 == 0 ? -2 : 2) : 0;
        cairo_save(cr);
        const double cx = x0 + (i % 2) * (tw + gap) + tw / 2, cy = y0 + (i / 2) * (th + gap) + th / 2 + lift;
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, (i % 3 == 0 ? -0.05 : 0.05) * (hover ? 2 : 1));
        mini_picture(cr, i, -tw / 2, -th / 2, tw, th);
        cairo_restore(cr);
    }
    label(cr, words, {{8, 114, w - 8, 166}, w / 2, 147, 19, 2, 20.0 / 19});
}

void eraser_face(cairo_t* cr, double w, double h, bool hover, const char* word) {
    // Small enough to leave the word the right half.
    cairo_save(cr);
    cairo_translate(cr, 29, h / 2 + 1);
    cairo_scale(cr, 0.84, 0.84);
    cairo_rotate(cr, -0.5);
    rounded_rect(cr, -21, -11, 42, 22, 5);
    fill_outlined(cr, rgb(255, 130, 160), k_ink, 1.2);
    rounded_rect(cr, 2, -11, 19, 22, 5);
    fill_outlined(cr, rgb(70, 120, 230), k_ink, 1.2);
    cairo_rectangle(cr, 2, -11, 6, 22);
    set_colour(cr, rgb(70, 120, 230));
    cairo_fill(cr);
    rounded_rect(cr, -17, -8, 14, 4, 2);
    set_colour(cr, k_white, 0.55);
    cairo_fill(cr);
    cairo_restore(cr);
    for (int i = 0; i < 3; ++i) {
        star_path(cr, 12 + i * 8, h - 13 + (i % 2) * 3, hover ? 4 : 3, 1.4, 4);
        set_colour(cr, k_white);
        cairo_fill(cr);
    }
    label(cr, word, {{48, 6, w - 4, h - 6}, 78, h / 2 + 6, 17});
}

void paper_face(cairo_t* cr, double w, double h, bool hover) {
    cairo_save(cr);
    cairo_translate(cr, w / 2, h / 2);
    cairo_rotate(cr, hover ? -0.12 : -0.06);
    const double pw = 30, ph = 38, fold = 9;
    cairo_move_to(cr, -pw / 2, -ph / 2);
    cairo_line_to(cr, pw / 2 - fold, -ph / 2);
    cairo_line_to(cr, pw / 2, -ph / 2 + fold);
    cairo_line_to(cr, pw / 2, ph / 2);
    cairo_line_to(cr, -pw / 2, ph / 2);
    cairo_close_path(cr);
    fill_outlined(cr, k_white, k_ink, 1.2);
    cairo_move_to(cr, pw / 2 - fold, -ph / 2);
    cairo_line_to(cr, pw / 2 - fold, -ph / 2 + fold);
    cairo_line_to(cr, pw / 2, -ph / 2 + fold);
    cairo_close_path(cr);
    fill_outlined(cr, rgb(215, 220, 235), k_ink, 1);
    cairo_restore(cr);
    star_path(cr, w - 15, 15, hover ? 8 : 6, 2.4, 4);
    fill_outlined(cr, k_sun, rgb(200, 120, 0), 0.6);
}

void speaker(cairo_t* cr, double cx, double cy, double s, bool on, bool hover) {
    cairo_new_path(cr);
    cairo_move_to(cr, cx - s * 0.55, cy - s * 0.2);
    cairo_line_to(cr, cx - s * 0.28, cy - s * 0.2);
    cairo_line_to(cr, cx + s * 0.05, cy - s * 0.5);
    cairo_line_to(cr, cx + s * 0.05, cy + s * 0.5);
    cairo_line_to(cr, cx - s * 0.28, cy + s * 0.2);
    cairo_line_to(cr, cx - s * 0.55, cy + s * 0.2);
    cairo_close_path(cr);
    fill_outlined(cr, on ? rgb(255, 230, 90) : rgb(225, 225, 232), k_ink, 1.6);
    if (!on) return;
    cairo_set_line_width(cr, 3.5);
    set_colour(cr, k_white);
    const int waves = hover ? 3 : 2;
    for (int i = 0; i < waves; ++i) {
        cairo_new_path(cr);
        cairo_arc(cr, cx + s * 0.05, cy, s * (0.3 + 0.22 * i), -0.75, 0.75);
        cairo_stroke(cr);
    }
}

void notes(cairo_t* cr, double cx, double cy, double s, Rgb colour) {
    const double x0 = cx - s * 0.35, x1 = cx + s * 0.35, top = cy - s * 0.55;
    cairo_new_path(cr);
    cairo_move_to(cr, x0 + s * 0.12, cy + s * 0.35);
    cairo_line_to(cr, x0 + s * 0.12, top + s * 0.08);
    cairo_line_to(cr, x1 + s * 0.12, top - s * 0.08);
    cairo_line_to(cr, x1 + s * 0.12, cy + s * 0.22);
    cairo_set_line_width(cr, s * 0.1);
    set_colour(cr, k_ink);
    cairo_stroke(cr);
    cairo_move_to(cr, x0 + s * 0.12, top + s * 0.08);
    cairo_line_to(cr, x1 + s * 0.12, top - s * 0.08);
    cairo_set_line_width(cr, s * 0.2);
    cairo_stroke(cr);
    for (double hx : {x0, x1}) {
        const double hy = hx == x0 ? cy + s * 0.38 : cy + s * 0.25;
        cairo_save(cr);
        cairo_translate(cr, hx, hy);
        cairo_rotate(cr, -0.45);
        cairo_scale(cr, 1, 0.72);
        cairo_new_path(cr);
        cairo_arc(cr, 0, 0, s * 0.17, 0, 2 * k_pi);
        cairo_restore(cr);
        fill_outlined(cr, colour, k_ink, 1.4);
    }
}

void sound_face(cairo_t* cr, double w, double h, bool hover, bool on) {
    speaker(cr, w / 2 + (on ? -4 : -2), h / 2, 44, on, hover);
    if (!on) cross(cr, w - 22, h - 22, 12, rgb(230, 50, 50));
}

void music_face(cairo_t* cr, double w, double h, bool hover, bool on) {
    notes(cr, w / 2, h / 2 + 2, hover ? 46 : 42, on ? rgb(255, 230, 90) : rgb(225, 225, 232));
    if (!on) cross(cr, w - 22, h - 22, 12, rgb(230, 50, 50));
}

// Tool buttons: the active look is bright and lit, the inactive one pale and greyed.
void tool(const std::filesystem::path& folder, const std::string& name, int x, int y, int w, int h,
          bool active, const std::string& word, const std::function<void(cairo_t*, double, double)>& icon) {
    Picture p(w, h);
    paint_main_ground(p, x, y);
    cairo_t* cr = p.cr();
    card(cr, w, h, active ? rgb(255, 196, 30) : rgb(170, 180, 200), active);
    icon(cr, w, h);
    if (!active) {
        rounded_rect(cr, 5, 5, w - 10, h - 10, 10);
        set_colour(cr, rgb(215, 220, 232), 0.5);
        cairo_fill(cr);
    }
    // Both looks at the size the lit one fits at, so the word keeps its size when the tool changes.
    const TextBox box{{4, 57, w - 4.0, h - 3.0}, w / 2.0, h - 11.0, 14};
    const FittedText fitted = fit_text(cr, word, box, k_label);
    draw_fitted(cr, fitted, box, active ? k_label : TextStyle{rgb(110, 115, 135)});
    p.save_jpeg(folder / name);
}

void hand_pointing_left(cairo_t* cr, double x, double y, double k) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -k_pi / 2);
    pointing_hand(cr, k, rgb(40, 110, 230));
    cairo_restore(cr);
}

}  // namespace

void write_buttons(const OutputDirs& out) {
    pair(out.picture, "PAPIR1.JPG", "PAPIR2.JPG", 63, 61, on_main(936, 412), rgb(255, 150, 40), paper_face);

    const auto sound_on = [](cairo_t* cr, double w, double h, bool hover) {
        sound_face(cr, w, h, hover, true);
    };
    const auto sound_off = [](cairo_t* cr, double w, double h, bool hover) {
        sound_face(cr, w, h, hover, false);
    };
    const auto music_on = [](cairo_t* cr, double w, double h, bool hover) {
        music_face(cr, w, h, hover, true);
    };
    const auto music_off = [](cairo_t* cr, double w, double h, bool hover) {
        music_face(cr, w, h, hover, false);
    };
    // The off pairs are numbered the other way round: 2 rests, 1 lights up.
    pair(out.picture, "ZVUCNIK1.JPG", "ZVUCNIK2.JPG", 78, 79, on_main(835, 485), rgb(60, 190, 90), sound_on);
    pair(out.picture, "SOUNDOFF2.JPG", "SOUNDOFF1.JPG", 78, 79, on_main(835, 485), rgb(150, 155, 172),
         sound_off);
    pair(out.picture, "MUZIKA1.JPG", "MUZIKA2.JPG", 78, 78, on_main(919, 485), rgb(60, 140, 245), music_on);
    pair(out.picture, "MUSICOFF2.JPG", "MUSICOFF1.JPG", 78, 78, on_main(919, 485), rgb(150, 155, 172),
         music_off);

    pair(out.picture, "CTRLRQOZ1.JPG", "CTRLRQOZ2.JPG", 110, 35, on_info_panel(147, 203), rgb(240, 244, 255),
         [](cairo_t* cr, double w, double h, bool) {
             studio_logo(cr, 7, 4, w - 14, h - 8, rgb(20, 140, 150), rgb(30, 50, 90));
         });
}

void write_buttons_with_words(const std::filesystem::path& folder, const ScreenWords& words) {
    pair(folder, "MOREIMAGES1.JPG", "MOREIMAGES2.JPG", 160, 169, on_main(832, 241), rgb(130, 90, 235),
         [&](cairo_t* cr, double w, double h, bool hover) {
             more_images_face(cr, w, h, hover, words.more_pictures);
         });
    pair(folder, "GUMICA1.JPG", "GUMICA2.JPG", 112, 61, on_main(825, 412), rgb(40, 180, 190),
         [&](cairo_t* cr, double w, double h, bool hover) { eraser_face(cr, w, h, hover, words.erase); });

    const auto bucket_icon = [](cairo_t* cr, double w, double) {
        bucket(cr, w / 2 + 5, 24, 27, rgb(255, 60, 80), -0.6);
        paint_drop(cr, w / 2 - 12, 54, 12, rgb(255, 60, 80));
    };
    const auto pencil_icon = [](cairo_t* cr, double w, double) {
        pencil(cr, w / 2 - 14, 58, 54, 11, -1.05, rgb(60, 150, 255));
    };
    for (bool active : {true, false}) {
        tool(folder, active ? "KAPLJICA1.JPG" : "KAPLJICA2.JPG", 871, 571, 58, 81, active, words.fill,
             bucket_icon);
        tool(folder, active ? "OLOVKA1.JPG" : "OLOVKA2.JPG", 804, 571, 62, 81, active, words.draw,
             pencil_icon);
    }

    pair(folder, "BACK1.JPG", "BACK2.JPG", 192, 40, on_gallery(30, 0), rgb(50, 185, 90),
         [&](cairo_t* cr, double w, double h, bool hover) {
             hand_pointing_left(cr, hover ? 6 : 8, h / 2 + 2, 1.1);
             label(cr, words.back_to_my_picture,
                   {{44, 5, w - 4, h - 5}, 46 + (w - 52) / 2, h / 2 + 5, 15, 2, 1.05});
         });

    pair(folder, "YES1.JPG", "YES2.JPG", 107, 50, on_leave_panel(56, 150), rgb(50, 185, 80),
         [&](cairo_t* cr, double w, double h, bool hover) {
             tick(cr, 25, h / 2, hover ? 14 : 13, rgb(30, 140, 50));
             label(cr, words.yes, {{40, 6, w - 4, h - 4}, 43 + (w - 47) / 2, h / 2 + 9, 25});
         });
    pair(folder, "NO1.JPG", "NO2.JPG", 85, 50, on_leave_panel(256, 150), rgb(235, 70, 60),
         [&](cairo_t* cr, double w, double h, bool hover) {
             cross(cr, 24, h / 2, hover ? 14 : 13, rgb(180, 30, 30));
             label(cr, words.no, {{39, 6, w - 4, h - 4}, 41 + (w - 45) / 2, h / 2 + 9, 25});
         });

    pair(folder, "CLOSE1.JPG", "CLOSE2.JPG", 73, 27, on_info_panel(320, 10), rgb(235, 80, 60),
         [&](cairo_t* cr, double w, double h, bool) {
             const double cx = 12, cy = h / 2, a = 4.5;
             cairo_new_path(cr);
             cairo_move_to(cr, cx - a, cy - a);
             cairo_line_to(cr, cx + a, cy + a);
             cairo_move_to(cr, cx + a, cy - a);
             cairo_line_to(cr, cx - a, cy + a);
             set_colour(cr, k_white);
             cairo_set_line_width(cr, 3);
             cairo_stroke(cr);
             label(cr, words.close, {{19, 2, w - 2, h - 2}, 19 + (w - 21) / 2, h / 2 + 5, 13});
         });
    pair(folder, "VISIT1.JPG", "VISIT2.JPG", 330, 62, on_info_panel(34, 136), rgb(255, 140, 30),
         [&](cairo_t* cr, double w, double h, bool hover) {
             globe(cr, 34, h / 2, hover ? 21 : 19);
             label(cr, words.visit_us_at, {{58, 5, w - 5, 32}, 62 + (w - 66) / 2, 26, 16});
             centred_text(cr, "zuvela.example", 62 + (w - 66) / 2, 50,
                          fitting_size(cr, "zuvela.example", w - 72, 25), k_white, Font::sans_bold, 2.2,
                          k_ink);
         });
}

}  // namespace artgen::ui
