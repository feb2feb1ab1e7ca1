// Drawing vocabulary for the outline pictures: every shape is painted white inside a black outline, in
// painter's order, so a shape drawn later hides what lies behind it and every area it leaves is closed.
#pragma once

#include <cairo.h>

#include <initializer_list>
#include <vector>

namespace artgen::outline {

struct Pt {
    double x = 0;
    double y = 0;
};
using Pts = std::vector<Pt>;

inline constexpr double k_line = 4.0;

double rad(double degrees);

// Path builders: they add to the current path and draw nothing.
void ellipse_path(cairo_t* cr, double cx, double cy, double rx, double ry, double angle_deg = 0);
void rect_path(cairo_t* cr, double x, double y, double w, double h, double radius = 0);
void poly_path(cairo_t* cr, const Pts& points);
// Closed smooth curve through the points (Catmull-Rom).
void blob_path(cairo_t* cr, const Pts& points);
// Open smooth curve through the points.
void curve_path(cairo_t* cr, const Pts& points);
void star_path(cairo_t* cr, double cx, double cy, double r_out, double r_in, int tips,
               double angle_deg = -90);

// Painting the current path; each clears it. Widths are in device pixels whatever the transform.
void outlined(cairo_t* cr);
void filled(cairo_t* cr);
void stroked(cairo_t* cr, double width = k_line);
// The path as a band of the given inside width with an outline and round ends (tails, stems, strings).
void tube(cairo_t* cr, double width);

// Shorthands: build a path and paint it outlined.
void oval(cairo_t* cr, double cx, double cy, double rx, double ry, double angle_deg = 0);
void circle(cairo_t* cr, double cx, double cy, double r);
void box(cairo_t* cr, double x, double y, double w, double h, double radius = 0);
void polygon(cairo_t* cr, const Pts& points);
void blob(cairo_t* cr, const Pts& points);
// Overlapping circles painted as one shape with a single outline (clouds, crowns, smoke).
struct Puff {
    double x, y, r;
};
void puffs(cairo_t* cr, const std::vector<Puff>& circles);
// The current path, whose sub-paths may overlap, painted as one outlined shape.
void merged(cairo_t* cr);
// A cloud of `bumps` puffs along an ellipse of radii (rx, ry) around a filled middle.
void cloud(cairo_t* cr, double cx, double cy, double rx, double ry, int bumps = 7);
void star(cairo_t* cr, double cx, double cy, double r_out, double r_in, int tips, double angle_deg = -90);

// Black marks.
void dot(cairo_t* cr, double cx, double cy, double r);
void line(cairo_t* cr, const Pts& points, double width = k_line);
void curve(cairo_t* cr, const Pts& points, double width = k_line);
void arc_line(cairo_t* cr, double cx, double cy, double r, double from_deg, double to_deg,
              double width = k_line);

// A friendly eye: white ball, black pupil looking towards (dx, dy) in -1..1.
void eye(cairo_t* cr, double cx, double cy, double r, double dx = 0, double dy = 0);
// A smile: an arc below (cx, cy).
void smile(cairo_t* cr, double cx, double cy, double r, double spread_deg = 50, double width = k_line);

// A shape with lines drawn inside it, cut off at its outline (stripes, panes, patterns).
template <class Path, class Inside>
void patterned(cairo_t* cr, Path path, Inside inside) {
    path();
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_save(cr);
    cairo_clip(cr);
    inside();
    cairo_restore(cr);
    path();
    cairo_set_source_rgb(cr, 0, 0, 0);
    stroked(cr);
}

// Draws with the origin moved to (x, y), scaled by s and optionally mirrored left to right.
template <class Draw>
void placed(cairo_t* cr, double x, double y, double s, bool mirrored, Draw draw) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, mirrored ? -s : s, s);
    draw();
    cairo_restore(cr);
}

}  // namespace artgen::outline

namespace artgen::outline {

// Parts that several pictures share.
// Ground from the curve through `edge` (left to right) down to below the bottom of the picture.
void ground(cairo_t* cr, const Pts& edge);
// A flower head of `petals` oval petals around a round middle.
void daisy(cairo_t* cr, double cx, double cy, double r, int petals = 6);
// A flower on a stem standing on the ground at (x, ground_y).
void flower(cairo_t* cr, double x, double ground_y, double height, double r, bool leaf_left = true);
// A smiling sun with straight rays.
void sun(cairo_t* cr, double cx, double cy, double r, int rays, bool face = true);
// A pointed leaf from its stalk end to its tip, `width` across, with a midrib.
void leaf(cairo_t* cr, Pt base, Pt tip, double width, bool veins = true);
void grass_tuft(cairo_t* cr, double x, double y, double size = 1);

}  // namespace artgen::outline
