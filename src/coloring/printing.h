// Ctrl+P: the coloured picture is kept as the snapshot file, the notice shows for three seconds, then one
// landscape page goes to the default printer with the canvas's picture as it is when the wait ends. The
// snapshot is only a means to print: when it cannot be written, the old file stays as it was, one line on
// the diagnostics says why, and the picture is printed all the same.
#pragma once

#include <string>

namespace zuvela {

class Canvas;
class FormaMain;

class Printing {
  public:
    Printing(FormaMain& window, Canvas& canvas);

    // No trap of its own: a failing step ends it and the key handler that called it.
    void print_picture();

    std::string snapshot_path() const;

  private:
    bool keep_snapshot();

    FormaMain& m_window;
    Canvas& m_canvas;
};

}  // namespace zuvela
