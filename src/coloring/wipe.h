// The paper button's sweep: the canvas is painted white pixel by pixel in one of eight patterns, then the
// blank sheet replaces the canvas image.
#pragma once

#include "coloring/wipe_order.h"
#include "platform/raster.h"

namespace zuvela {

class Canvas;
class FormaMain;

class Wipe {
  public:
    Wipe(FormaMain& window, Canvas& canvas);

    // Holds the event thread until the sweep is over; input waits in the queue. Throws when the blank sheet
    // cannot be loaded.
    void brisanje_slika();
    void Papir_Click();

    // How long one pass is shown, and the frame rate it is shown at.
    static constexpr double k_pass_seconds = 1.2;
    static constexpr double k_frame_seconds = 1.0 / 60.0;

    int last_pattern() const { return m_last_pattern; }

  private:
    void present_pass(WipePass pass, Raster& screen);

    FormaMain& m_window;
    Canvas& m_canvas;
    int m_last_pattern = 0;
};

}  // namespace zuvela
