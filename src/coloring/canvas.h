// The canvas: its image, the bucket and the pencil.
#pragma once

#include <string>
#include <string_view>

#include "coloring/flood_fill.h"
#include "platform/pictures.h"
#include "scene/event_router.h"

namespace zuvela {

class FormaMain;

inline constexpr int k_canvas_width = 750;
inline constexpr int k_canvas_height = 600;

class Canvas {
  public:
    explicit Canvas(FormaMain& window);

    void Slika_MouseDown(const MouseArgs& args);
    void Slika_MouseMove(const MouseArgs& args);

    // app_dir followed by the literal becomes the canvas's picture, and its image. Throws when it cannot be
    // read.
    void load_picture(std::string_view literal);
    // The same from a full path.
    void load_picture_file(const std::string& path);
    // What has been coloured so far becomes the canvas's picture; nothing visible changes.
    void take_image_as_picture();

    // What fills and strokes change, and what the canvas shows.
    const Raster& image() const { return m_image; }
    Raster& image() { return m_image; }
    // The picture last loaded into the canvas; colouring does not change it.
    const PictureRef& picture() const { return m_picture; }

    // While painting directly, the canvas shows `screen` and its image stays as it is.
    void show_directly(const Raster* screen);
    // Marks part of the canvas for redrawing (canvas coordinates).
    void did_change(const Rect& area);

  private:
    void take_picture(PictureRef picture);

    FormaMain& m_window;
    Raster m_image{k_canvas_width, k_canvas_height, 0x00FFFFFF};
    PictureRef m_picture;
    FloodFill m_fill;
};

}  // namespace zuvela
