// The bucket and pencil buttons, which choose the canvas's tool, and the eraser.
#pragma once

#include <string_view>

namespace zuvela {

class Canvas;
class FormaMain;
class Wipe;

class Tools {
  public:
    Tools(FormaMain& window, Canvas& canvas, Wipe& wipe);

    void kapljica_Click();
    void olovka_Click();
    void Rubber_Click();

  private:
    void set_canvas_pointer(std::string_view literal);

    FormaMain& m_window;
    Canvas& m_canvas;
    Wipe& m_wipe;
};

}  // namespace zuvela
