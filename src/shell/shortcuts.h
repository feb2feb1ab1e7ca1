// Ctrl+P, Ctrl+X and Ctrl+R: the window and the twenty objects that can hold the keyboard focus share one
// key-down body. A gallery tile, Back or a panel's part holding the focus takes no shortcut.
#pragma once

#include <array>

#include "scene/control_catalogue.h"
#include "scene/event_router.h"

namespace zuvela {

class FormaMain;

inline constexpr std::array<ControlId, 21> k_shortcut_holders = {
    ControlId::Form,       ControlId::Slika,           ControlId::PaletaCrvena, ControlId::PaletaZelena,
    ControlId::PaletaZuta, ControlId::PaletaSvPlava,   ControlId::PaletaOranz,  ControlId::PaletaLjubicasta,
    ControlId::PaletaSiva, ControlId::PaletaTamnozuta, ControlId::PaletaBraon,  ControlId::PaletaPlava,
    ControlId::PaletaCrna, ControlId::PaletaPink,      ControlId::MoreImages,   ControlId::MuteWave,
    ControlId::MusicOn,    ControlId::Rubber,          ControlId::Papir,        ControlId::olovka,
    ControlId::kapljica,
};

class Shortcuts {
  public:
    explicit Shortcuts(FormaMain& window);

    // Form_KeyDown, Slika_KeyDown, PaletaCrvena_KeyDown … kapljica_KeyDown.
    void KeyDown(const KeyArgs& args);

  private:
    FormaMain& m_window;
};

}  // namespace zuvela
