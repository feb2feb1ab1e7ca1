// The two screens of the main window: the colouring screen's twenty controls and the gallery's tiles and
// Back. A screen is a set of controls shown while the other set is hidden, over its own background.
#pragma once

#include <array>

#include "scene/control_catalogue.h"

namespace zuvela {

class FormaMain;

inline constexpr std::array<ControlId, 20> k_main_screen_set = {
    ControlId::Slika,           ControlId::MoreImages,       ControlId::MuteWave,
    ControlId::MusicOn,         ControlId::Rubber,           ControlId::Papir,
    ControlId::kapljica,        ControlId::olovka,           ControlId::PaletaCrvena,
    ControlId::PaletaZelena,    ControlId::PaletaZuta,       ControlId::PaletaSvPlava,
    ControlId::PaletaOranz,     ControlId::PaletaLjubicasta, ControlId::PaletaSiva,
    ControlId::PaletaTamnozuta, ControlId::PaletaBraon,      ControlId::PaletaPlava,
    ControlId::PaletaCrna,      ControlId::PaletaPink,
};

inline constexpr int k_gallery_tiles = 25;

// None of these reads or writes screen_mode: their callers do.
class Screens {
  public:
    explicit Screens(FormaMain& window) : m_window(window) {}

    void ugasi_glavni_ekran();
    void upali_glavni_ekran();
    // A panel over the main screen: the set ignores the mouse and the paper button goes away.
    void glavni_ekran_zamrznut();
    void glavni_ekran_odmrznut();
    // A panel over the gallery: the tiles and Back ignore the mouse, so the gallery cannot be left with its
    // tiles still frozen.
    void galerijski_ekran_zamrznut();
    void galerijski_ekran_odmrznut();
    // Hides the gallery set, then puts the main background back; a background that cannot be read leaves the
    // gallery's and the caller goes on.
    void galerijski_ekran_ugasi();

    // A panel opening or closing freezes or thaws the screen that screen_mode names.
    void freeze_for_panel();
    void thaw_after_panel();

  private:
    void set_main_enabled(bool enabled);
    void set_tiles_enabled(bool enabled);

    FormaMain& m_window;
};

}  // namespace zuvela
