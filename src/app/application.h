// The whole colouring book: the main window and every subsystem, wired together.
#pragma once

#include <iosfwd>

#include "audio/background_music.h"
#include "audio/sound_switch.h"
#include "coloring/canvas.h"
#include "coloring/palette.h"
#include "coloring/printing.h"
#include "coloring/tools.h"
#include "coloring/wipe.h"
#include "panels/exit_panel.h"
#include "panels/info_panel.h"
#include "rollover/button_rollovers.h"
#include "rollover/tile_rollovers.h"
#include "screens/gallery.h"
#include "screens/screens.h"
#include "shell/forma_main.h"
#include "shell/shortcuts.h"

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
    ExitPanel& exit_panel() { return m_exit_panel; }
    InfoPanel& info_panel() { return m_info_panel; }
    Printing& printing() { return m_printing; }
    BackgroundMusic& music() { return m_music; }
    SoundSwitch& sound_switch() { return m_sound_switch; }
    Shortcuts& shortcuts() { return m_shortcuts; }

  private:
    FormaMain m_window;
    Canvas m_canvas{m_window};
    Palette m_palette{m_window};
    Wipe m_wipe{m_window, m_canvas};
    Tools m_tools{m_window, m_canvas, m_wipe};
    Screens m_screens{m_window};
    Gallery m_gallery{m_window, m_screens,
                      [this](std::string_view literal) { m_canvas.load_picture(literal); }};
    TileRollovers m_tile_rollovers{m_window};
    ButtonRollovers m_button_rollovers{m_window, m_palette, m_tile_rollovers};
    ExitPanel m_exit_panel{m_window, m_screens};
    InfoPanel m_info_panel{m_window, m_screens};
    Printing m_printing{m_window, m_canvas};
    BackgroundMusic m_music{m_window};
    SoundSwitch m_sound_switch{m_window};
    Shortcuts m_shortcuts{m_window};
};

}  // namespace zuvela
