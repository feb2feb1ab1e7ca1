// The whole colouring book: the main window and every subsystem, wired together.
#pragma once

#include <iosfwd>

#include "coloring/canvas.h"
#include "coloring/palette.h"
#include "coloring/tools.h"
#include "coloring/wipe.h"
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

  private:
    FormaMain m_window;
    Canvas m_canvas{m_window};
    Palette m_palette{m_window};
    Wipe m_wipe{m_window, m_canvas};
    Tools m_tools{m_window, m_canvas, m_wipe};
};

}  // namespace zuvela
