// The whole colouring book: the main window and every subsystem, wired together.
#pragma once

#include <iosfwd>

#include "coloring/canvas.h"
#include "coloring/palette.h"
#include "coloring/tools.h"
#include "coloring/wipe.h"
#include "rollover/button_rollovers.h"
#include "rollover/tile_rollovers.h"
#include "scene/screens/gallery.h"
#include "scene/screens/screens.h"
#include "shell/forma_main.h"

namespace zuvela {

class Application {
  public:
    Application(Platform& platform, AppConfig config, std::ostream& diagnostics);

    int run() { return m_window.run(); }

    FormaMain& window() { return m_window; }
    Canvas& canvas() { return m_canvas; }
    Palette& palette() { return m_palette; }
    Wipe& wipe() { return m_wipe; }
    Tools& tools() { return m_tools; }
    Screens& screens() { return m_screens; }
    Gallery& gallery() { return m_gallery; }
    TileRollovers& tile_rollovers() { return m_tile_rollovers; }
    ButtonRollovers& button_rollovers() { return m_button_rollovers; }

  private:
    FormaMain m_window;
    Canvas m_canvas{m_window};
    Palette m_palette{m_window};
    Wipe m_wipe{m_window, m_canvas};
    Tools m_tools{m_window, m_canvas, m_wipe};
    Screens m_screens{m_window};
    Gallery m_gallery{m_window, m_screens, m_canvas};
    TileRollovers m_tile_rollovers{m_window};
    ButtonRollovers m_button_rollovers{m_window, m_palette, m_tile_rollovers};
};

}  // namespace zuvela
