// The controls of the main window as they stand when it is first shown: one row per control, topmost first.
#pragma once

#include <array>
#include <string_view>

#include "platform/raster.h"

namespace zuvela {

// In stacking order: an earlier control covers a later one where they overlap.
enum class ControlId : int {
    Papir,
    Rubber,
    olovka,
    kapljica,
    PrintPict,
    Back,
    Ne,
    Da,
    Izlaz,
    Zatvori,
    Firma,
    visit_site,
    Registered,
    Galerija25,
    Galerija24,
    Galerija23,
    Galerija22,
    Galerija21,
    Galerija20,
    Galerija19,
    Galerija18,
    Galerija17,
    Galerija16,
    Galerija15,
    Galerija14,
    Galerija13,
    Galerija12,
    Galerija11,
    Galerija10,
    Galerija9,
    Galerija8,
    Galerija7,
    Galerija6,
    Galerija5,
    Galerija4,
    Galerija3,
    Galerija2,
    Galerija1,
    PaletaPink,
    PaletaCrna,
    PaletaPlava,
    PaletaBraon,
    PaletaTamnozuta,
    PaletaSiva,
    PaletaLjubicasta,
    PaletaOranz,
    PaletaSvPlava,
    PaletaZuta,
    PaletaZelena,
    PaletaCrvena,
    MoreImages,
    MuteWave,
    MusicOn,
    tmrRepeat,
    Slika,
    lblPlay,
    // Not a control: the window itself, as the target of events that no enabled control takes.
    Form,
};

inline constexpr int k_control_count = int(ControlId::Form);

constexpr int index_of(ControlId id) {
    return int(id);
}

enum class ControlKind { Picture, Timer, Label };

enum class PointerKind { None, Standard, Hand, Brush, Drop, PlatformArrow };

struct ControlSpec {
    ControlId id;
    std::string_view name;
    ControlKind kind;
    Rect place;
    bool visible;
    std::string_view first_picture;  // a built-in picture, named after its asset file; empty for none
    PointerKind pointer;
    int focus_order;  // -1: takes no focus
};

extern const std::array<ControlSpec, k_control_count> k_controls;

inline constexpr std::string_view k_main_caption = "Tindora - Zuvela 2  by Quillmar Studio";
inline constexpr int k_scene_width = 1024;
inline constexpr int k_scene_height = 768;
inline constexpr int k_splash_width = 200;
inline constexpr int k_splash_height = 248;
inline constexpr double k_repeat_timer_seconds = 0.5;

// Gallery tile k (1..25) and palette slot k (1..12).
constexpr ControlId gallery_tile(int k) {
    return ControlId(int(ControlId::Galerija1) - (k - 1));
}
constexpr ControlId palette_swatch(int slot) {
    return ControlId(int(ControlId::PaletaCrvena) - (slot - 1));
}

const ControlSpec& spec_of(ControlId id);

}  // namespace zuvela
