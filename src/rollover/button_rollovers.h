// The picture buttons light up under the pointer; the bare window puts every button, swatch and the lit tile
// back to rest.
#pragma once

#include <string_view>

#include "scene/control_catalogue.h"

namespace zuvela {

class FormaMain;
class Palette;
class TileRollovers;

class ButtonRollovers {
  public:
    ButtonRollovers(FormaMain& window, Palette& palette, TileRollovers& tiles);

    // MoreImages_MouseMove, MuteWave_MouseMove, MusicOn_MouseMove, Rubber_MouseMove, Papir_MouseMove and
    // Back_MouseMove: the button lit, its neighbours at rest.
    void Button_MouseMove(ControlId button);
    void Form_MouseMove();
    void reset_rollovers();
    // The buttons only: the canvas runs this on a move that does not draw.
    void reset_rollover_buttons();

    // The button's picture for the current state; empty when the state has no picture.
    std::string_view resting_picture(ControlId button) const;
    std::string_view hover_picture(ControlId button) const;

  private:
    void rest(ControlId button);

    FormaMain& m_window;
    Palette& m_palette;
    TileRollovers& m_tiles;
};

}  // namespace zuvela
