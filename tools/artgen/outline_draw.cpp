#include "outline_draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace artgen::outline {

namespace {

void set_black(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
}
void set_white(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
}

// Strokes in device space so that a scaled drawing keeps the book's line weight.
void stroke_device(cairo_t* cr, double width) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    cairo_restore(cr);
}

void catmull_rom(cairo_t* cr, const Pts& p, bool closed) {
    const int n = int(p.size());
    auto at = [&](int i) {
        if (closed) return p[std::size_t((i % n + n) % n)];
        return p[std::size_t(std::clamp(i, 0, n - 1))];
    };
    cairo_move_to(cr, p[0].x, p[0].y);
    const int segments = closed ? n : n - 1;
    for (int i = 0; i < segments; ++i) {
        const Pt a = at(i - 1), b = at(i), c = at(i + 1), d = at(i + 2);
        cairo_curve_to(cr, b.x + (c.x - a.x) / 6, b.y + (c.y - a.y) / 6, c.x - (d.x - b.x) / 6,
                       c.y - (d.y - b.y) / 6, c.x, c.y);
    }
    if (closed) cairo_close_path(cr);
}

}  // namespace

double rad(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

void ellipse_path(cairo_t* cr, double cx, double cy, double rx, double ry, double angle_deg) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, rad(angle_deg));
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void rect_path(cairo_t* cr, double x, double y, double w, double h, double radius) {
    cairo_new_sub_path(cr);
    if (radius <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    const double r = std::min(radius, std::min(w, h) / 2);
    const double q = std::numbers::pi / 2;
    cairo_arc(cr, x + w - r, y + r, r, -q, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, q);
    cairo_arc(cr, x + r, y + h - r, r, q, 2 * q);
    cairo_arc(cr, x + r, y + r, r, 2 * q, 3 * q);
    cairo_close_path(cr);
}

void poly_path(cairo_t* cr, const Pts& points) {
    cairo_new_sub_path(cr);
    for (const Pt& p : points) cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
}

void blob_path(cairo_t* cr, const Pts& points) {
    cairo_new_sub_path(cr);
    catmull_rom(cr, points, true);
}

void curve_path(cairo_t* cr, const Pts& points) {
    cairo_new_sub_path(cr);
    catmull_rom(cr, points, false);
}

void star_path(cairo_t* cr, double cx, double cy, double r_out, double r_in, int tips, double angle_deg) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 2 * tips; ++i) {
        const double a = rad(angle_deg + 180.0 * i / tips);
        const double r = i % 2 == 0 ? r_out : r_in;
        cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void outlined(cairo_t* cr) {
    set_white(cr);
    cairo_fill_preserve(cr);
    set_black(cr);
    stroke_device(cr, k_line);
    cairo_new_path(cr);
}

void filled(cairo_t* cr) {
    set_black(cr);
    cairo_fill_preserve(cr);
    stroke_device(cr, 1.0);
    cairo_new_path(cr);
}

void stroked(cairo_t* cr, double width) {
    set_black(cr);
    stroke_device(cr, width);
    cairo_new_path(cr);
}

void tube(cairo_t* cr, double width) {
    set_black(cr);
    stroke_device(cr, width + 2 * k_line);
    set_white(cr);
    stroke_device(cr, width);
    cairo_new_path(cr);
}

void oval(cairo_t* cr, double cx, double cy, double rx, double ry, double angle_deg) {
    ellipse_path(cr, cx, cy, rx, ry, angle_deg);
    outlined(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    oval(cr, cx, cy, r, r);
}

void box(cairo_t* cr, double x, double y, double w, double h, double radius) {
    rect_path(cr, x, y, w, h, radius);
    outlined(cr);
}

void polygon(cairo_t* cr, const Pts& points) {
    poly_path(cr, points);
    outlined(cr);
}

void blob(cairo_t* cr, const Pts& points) {
    blob_path(cr, points);
    outlined(cr);
}

void merged(cairo_t* cr) {
    set_black(cr);
    stroke_device(cr, 2 * k_line);
    set_white(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
}

void puffs(cairo_t* cr, const std::vector<Puff>& circles) {
    for (const Puff& p : circles) ellipse_path(cr, p.x, p.y, p.r, p.r);
    merged(cr);
}

void cloud(cairo_t* cr, double cx, double cy, double rx, double ry, int bumps) {
    std::vector<Puff> circles;
    const double r = std::min(rx, ry) * 0.62;
    // The bottom stays flat-ish: puffs along the upper part of the ellipse, one big middle.
    for (int i = 0; i < bumps; ++i) {
        const double a = rad(180 + 180.0 * i / (bumps - 1));
        const double grow = 1 + 0.35 * std::sin(rad(180.0 * i / (bumps - 1)));
        circles.push_back({cx + (rx - r) * std::cos(a), cy + (ry - r) * std::sin(a) * 1.1, r * grow});
    }
    circles.push_back({cx - rx * 0.35, cy + ry * 0.25, r});
    circles.push_back({cx + rx * 0.35, cy + ry * 0.25, r});
    ellipse_path(cr, cx, cy + ry * 0.1, rx * 0.8, ry * 0.55);
    for (const Puff& p : circles) ellipse_path(cr, p.x, p.y, p.r, p.r);
    merged(cr);
}

void star(cairo_t* cr, double cx, double cy, double r_out, double r_in, int tips, double angle_deg) {
    star_path(cr, cx, cy, r_out, r_in, tips, angle_deg);
    outlined(cr);
}

void dot(cairo_t* cr, double cx, double cy, double r) {
    ellipse_path(cr, cx, cy, r, r);
    filled(cr);
}

void line(cairo_t* cr, const Pts& points, double width) {
    cairo_new_sub_path(cr);
    for (const Pt& p : points) cairo_line_to(cr, p.x, p.y);
    stroked(cr, width);
}

void curve(cairo_t* cr, const Pts& points, double width) {
    curve_path(cr, points);
    stroked(cr, width);
}

void arc_line(cairo_t* cr, double cx, double cy, double r, double from_deg, double to_deg, double width) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, rad(from_deg), rad(to_deg));
    stroked(cr, width);
}

void eye(cairo_t* cr, double cx, double cy, double r, double dx, double dy) {
    circle(cr, cx, cy, r);
    const double pupil = r * 0.48;
    const double reach = r - pupil - k_line / 2 - 1;
    dot(cr, cx + dx * reach, cy + dy * reach, pupil);
}

void smile(cairo_t* cr, double cx, double cy, double r, double spread_deg, double width) {
    arc_line(cr, cx, cy, r, 90 - spread_deg, 90 + spread_deg, width);
}

void ground(cairo_t* cr, const Pts& edge) {
    curve_path(cr, edge);
    cairo_line_to(cr, edge.back().x, 620);
    cairo_line_to(cr, edge.front().x, 620);
    cairo_close_path(cr);
    outlined(cr);
}

void daisy(cairo_t* cr, double cx, double cy, double r, int petals) {
    for (int i = 0; i < petals; ++i) {
        const double a = 360.0 * i / petals - 90;
        oval(cr, cx + r * 0.62 * std::cos(rad(a)), cy + r * 0.62 * std::sin(rad(a)), r * 0.5, r * 0.3, a);
    }
    circle(cr, cx, cy, r * 0.36);
}

void flower(cairo_t* cr, double x, double ground_y, double height, double r, bool leaf_left) {
    curve_path(cr, {{x, ground_y + 6}, {x + 4, ground_y - height / 2}, {x, ground_y - height}});
    tube(cr, 6);
    const double side = leaf_left ? -1 : 1;
    oval(cr, x + side * r * 0.75, ground_y - height * 0.4, r * 0.7, r * 0.3, side * -30);
    daisy(cr, x, ground_y - height, r);
}

void sun(cairo_t* cr, double cx, double cy, double r, int rays, bool face) {
    for (int i = 0; i < rays; ++i) {
        const double a = rad(360.0 * i / rays);
        line(cr,
             {{cx + r * 1.2 * std::cos(a), cy + r * 1.2 * std::sin(a)},
              {cx + r * 1.6 * std::cos(a), cy + r * 1.6 * std::sin(a)}},
             5);
    }
    circle(cr, cx, cy, r);
    if (!face) return;
    dot(cr, cx - r * 0.33, cy - r * 0.15, r * 0.1);
    dot(cr, cx + r * 0.33, cy - r * 0.15, r * 0.1);
    smile(cr, cx, cy + r * 0.05, r * 0.45, 45);
}

void leaf(cairo_t* cr, Pt base, Pt tip, double width, bool veins) {
    const double dx = tip.x - base.x, dy = tip.y - base.y;
    const double len = std::hypot(dx, dy);
    const double nx = -dy / len * width, ny = dx / len * width;
    const auto path = [&] {
        cairo_new_sub_path(cr);
        cairo_move_to(cr, base.x, base.y);
        cairo_curve_to(cr, base.x + dx * 0.2 + nx, base.y + dy * 0.2 + ny, base.x + dx * 0.7 + nx * 0.8,
                       base.y + dy * 0.7 + ny * 0.8, tip.x, tip.y);
        cairo_curve_to(cr, base.x + dx * 0.7 - nx * 0.8, base.y + dy * 0.7 - ny * 0.8, base.x + dx * 0.2 - nx,
                       base.y + dy * 0.2 - ny, base.x, base.y);
        cairo_close_path(cr);
    };
    if (!veins) {
        path();
        outlined(cr);
        return;
    }
    patterned(cr, path, [&] { line(cr, {base, {base.x + dx * 0.85, base.y + dy * 0.85}}); });
}

void grass_tuft(cairo_t* cr, double x, double y, double size) {
    line(cr, {{x - 12 * size, y - 14 * size},
              {x - 4 * size, y + 2},
              {x, y - 20 * size},
              {x + 4 * size, y + 2},
              {x + 12 * size, y - 14 * size}});
}

}  // namespace artgen::outline
