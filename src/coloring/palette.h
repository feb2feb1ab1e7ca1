// The twelve colour swatches: a click chooses the colour, plays its sound and marks the swatch as selected.
#pragma once

#include <array>
#include <string_view>

#include "platform/raster.h"
#include "scene/control_catalogue.h"

namespace zuvela {

class FormaMain;

struct PaletteColor {
    ControlId swatch;
    Color color;
    std::string_view sound;  // the colour's chime
    std::string_view voice;  // its spoken name, in SOUND/VOICE or the language's folder there
};

// In slot order, left to right. Slot 8 is white whatever its name says; black is 30, 30, 30 so that an area
// filled with it is not taken for an outline.
inline constexpr std::array<PaletteColor, 12> palette_colors = {{
    {ControlId::PaletaCrvena, rgb(255, 0, 0), "/SOUND/CRVENA.WAV", "CRVENA.WAV"},
    {ControlId::PaletaZelena, rgb(52, 204, 103), "/SOUND/ZELENA.WAV", "ZELENA.WAV"},
    {ControlId::PaletaZuta, rgb(255, 255, 0), "/SOUND/ZUTA.WAV", "ZUTA.WAV"},
    {ControlId::PaletaSvPlava, rgb(0, 204, 255), "/SOUND/SVPLAVA.WAV", "SVPLAVA.WAV"},
    {ControlId::PaletaOranz, rgb(255, 102, 0), "/SOUND/ORANZ.WAV", "ORANZ.WAV"},
    {ControlId::PaletaLjubicasta, rgb(204, 51, 255), "/SOUND/LJUBICASTA.WAV", "LJUBICASTA.WAV"},
    {ControlId::PaletaSiva, rgb(178, 178, 178), "/SOUND/SIVA.WAV", "SIVA.WAV"},
    {ControlId::PaletaTamnozuta, rgb(255, 255, 255), "/SOUND/TAMNOZUTA.WAV", "TAMNOZUTA.WAV"},
    {ControlId::PaletaBraon, rgb(204, 103, 51), "/SOUND/BRAON.WAV", "BRAON.WAV"},
    {ControlId::PaletaPlava, rgb(0, 0, 255), "/SOUND/PLAVA.WAV", "PLAVA.WAV"},
    {ControlId::PaletaCrna, rgb(30, 30, 30), "/SOUND/CRNA.WAV", "CRNA.WAV"},
    {ControlId::PaletaPink, rgb(255, 0, 255), "/SOUND/PINK.WAV", "PINK.WAV"},
}};

class Palette {
  public:
    explicit Palette(FormaMain& window);

    // PaletaCrvena_Click … PaletaPink_Click, by slot 1..12.
    void Paleta_Click(int slot);
    // PaletaCrvena_MouseMove … PaletaPink_MouseMove.
    void Paleta_MouseMove(int slot);
    void gasi_boje_3_faze();

    // The swatch's selected picture when its flag is set, else `other` (resting or hover: 1 or 2).
    void show_swatch(int slot, int other_look);

  private:
    FormaMain& m_window;
};

}  // namespace zuvela
