// The application icon for menus and launchers: hicolor PNGs at the sizes desktops ask for, and an SVG.
#include "app_icons.h"

#include <cairo-svg.h>

#include <array>
#include <stdexcept>
#include <string>

#include "interface_widgets.h"

namespace artgen {

namespace {

// Must match the id of the desktop entry and metainfo files.
constexpr const char* k_icon_name = "org.zuvela.Zuvela";

void check(cairo_status_t status, const std::filesystem::path& path) {
    if (status != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path.string() + ": " + cairo_status_to_string(status));
    }
}

void write_png(const std::filesystem::path& dir, int size) {
    std::filesystem::create_directories(dir);
    const auto path = dir / (std::string(k_icon_name) + ".png");
    ui::Picture picture(size, size);
    cairo_scale(picture.cr(), size / 32.0, size / 32.0);
    ui::app_icon(picture.cr());
    cairo_surface_flush(picture.surface());
    check(cairo_surface_write_to_png(picture.surface(), path.c_str()), path);
}

void write_svg(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    const auto path = dir / (std::string(k_icon_name) + ".svg");
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), 32, 32);
    cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PX);
    cairo_t* cr = cairo_create(surface);
    ui::app_icon(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    check(status, path);
}

}  // namespace

namespace ui {

void app_icon(cairo_t* cr) {
    rounded_rect(cr, 1.5, 1.5, 29, 29, 7);
    vertical_gradient(cr, 1, 31, rgb(255, 150, 60), rgb(235, 50, 130));
    cairo_fill_preserve(cr);
    set_colour(cr, k_ink);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    centred_text(cr, "Z", 13.5, 24, 24, k_white, Font::sans_bold, 1.6, k_ink);
    star_path(cr, 24, 23, 7.5, 4.2, 6);
    fill_outlined(cr, k_sun, k_ink, 0.6);
    centred_text(cr, "2", 24, 26.6, 9.5, rgb(220, 30, 110));
}

}  // namespace ui

void write_app_icons(const OutputDirs& out) {
    for (int size : std::array{16, 24, 32, 48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        write_png(out.icons / "hicolor" / folder / "apps", size);
    }
    write_svg(out.icons / "hicolor/scalable/apps");
}

}  // namespace artgen
