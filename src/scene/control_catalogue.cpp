// The scene at first show. Places and sizes are pixels; focus order 0 is focused first.
#include "scene/control_catalogue.h"

#include <cassert>

namespace zuvela {

// clang-format off
const std::array<ControlSpec, k_control_count> k_controls = {{
    // id, name, kind, left/top/width/height, shown at start, first picture, pointer, focus order
    {ControlId::Papir, "Papir", ControlKind::Picture, {936, 412, 63, 61}, true, "PAPIR1.JPG", PointerKind::Standard, 54},
    {ControlId::Rubber, "Rubber", ControlKind::Picture, {825, 412, 112, 61}, true, "GUMICA1.JPG", PointerKind::Standard, 53},
    {ControlId::olovka, "olovka", ControlKind::Picture, {804, 571, 62, 81}, true, "OLOVKA2.JPG", PointerKind::Hand, 52},
    {ControlId::kapljica, "kapljica", ControlKind::Picture, {871, 571, 58, 81}, true, "KAPLJICA1.JPG", PointerKind::Hand, 51},
    {ControlId::PrintPict, "PrintPict", ControlKind::Picture, {312, 259, 400, 250}, false, "PRINTING.JPG", PointerKind::Standard, 49},
    {ControlId::Back, "Back", ControlKind::Picture, {30, 0, 192, 40}, false, "BACK1.JPG", PointerKind::Standard, 48},
    {ControlId::Ne, "Ne", ControlKind::Picture, {568, 409, 85, 50}, false, "NO1.JPG", PointerKind::Standard, 47},
    {ControlId::Da, "Da", ControlKind::Picture, {368, 409, 107, 50}, false, "YES1.JPG", PointerKind::Standard, 46},
    {ControlId::Izlaz, "Izlaz", ControlKind::Picture, {312, 259, 400, 250}, false, "CTRLX.JPG", PointerKind::PlatformArrow, 45},
    {ControlId::Zatvori, "Zatvori", ControlKind::Picture, {632, 269, 73, 27}, false, "CLOSE1.JPG", PointerKind::Standard, 44},
    {ControlId::Firma, "Firma", ControlKind::Picture, {459, 462, 110, 35}, false, "CTRLRQOZ1.JPG", PointerKind::Standard, 43},
    {ControlId::visit_site, "visit_site", ControlKind::Picture, {346, 395, 330, 62}, false, "VISIT1.JPG", PointerKind::Standard, 42},
    {ControlId::Registered, "Registered", ControlKind::Picture, {312, 259, 400, 250}, false, "CTRL-R-2.JPG", PointerKind::Standard, 41},
    {ControlId::Galerija25, "Galerija25", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 40},
    {ControlId::Galerija24, "Galerija24", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 39},
    {ControlId::Galerija23, "Galerija23", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 38},
    {ControlId::Galerija22, "Galerija22", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 37},
    {ControlId::Galerija21, "Galerija21", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 36},
    {ControlId::Galerija20, "Galerija20", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 35},
    {ControlId::Galerija19, "Galerija19", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 34},
    {ControlId::Galerija18, "Galerija18", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 33},
    {ControlId::Galerija17, "Galerija17", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 32},
    {ControlId::Galerija16, "Galerija16", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 31},
    {ControlId::Galerija15, "Galerija15", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 30},
    {ControlId::Galerija14, "Galerija14", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 29},
    {ControlId::Galerija13, "Galerija13", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 28},
    {ControlId::Galerija12, "Galerija12", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 27},
    {ControlId::Galerija11, "Galerija11", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 26},
    {ControlId::Galerija10, "Galerija10", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 25},
    {ControlId::Galerija9, "Galerija9", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 24},
    {ControlId::Galerija8, "Galerija8", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 23},
    {ControlId::Galerija7, "Galerija7", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 22},
    {ControlId::Galerija6, "Galerija6", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 21},
    {ControlId::Galerija5, "Galerija5", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 20},
    {ControlId::Galerija4, "Galerija4", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 19},
    {ControlId::Galerija3, "Galerija3", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 18},
    {ControlId::Galerija2, "Galerija2", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 17},
    {ControlId::Galerija1, "Galerija1", ControlKind::Picture, {0, 0, 131, 122}, false, "", PointerKind::Standard, 16},
    {ControlId::PaletaPink, "PaletaPink", ControlKind::Picture, {932, 675, 84, 85}, true, "BOJE1_12.JPG", PointerKind::Brush, 15},
    {ControlId::PaletaCrna, "PaletaCrna", ControlKind::Picture, {848, 675, 84, 85}, true, "BOJE1_11.JPG", PointerKind::Brush, 14},
    {ControlId::PaletaPlava, "PaletaPlava", ControlKind::Picture, {764, 675, 84, 85}, true, "BOJE1_10.JPG", PointerKind::Brush, 13},
    {ControlId::PaletaBraon, "PaletaBraon", ControlKind::Picture, {680, 675, 84, 85}, true, "BOJE1_09.JPG", PointerKind::Brush, 12},
    {ControlId::PaletaTamnozuta, "PaletaTamnozuta", ControlKind::Picture, {596, 675, 84, 85}, true, "BOJE1_08.JPG", PointerKind::Brush, 11},
    {ControlId::PaletaSiva, "PaletaSiva", ControlKind::Picture, {513, 675, 83, 85}, true, "BOJE1_07.JPG", PointerKind::Brush, 10},
    {ControlId::PaletaLjubicasta, "PaletaLjubicasta", ControlKind::Picture, {428, 675, 85, 85}, true, "BOJE1_06.JPG", PointerKind::Brush, 9},
    {ControlId::PaletaOranz, "PaletaOranz", ControlKind::Picture, {345, 675, 83, 85}, true, "BOJE1_05.JPG", PointerKind::Brush, 8},
    {ControlId::PaletaSvPlava, "PaletaSvPlava", ControlKind::Picture, {261, 675, 84, 85}, true, "BOJE1_04.JPG", PointerKind::Brush, 7},
    {ControlId::PaletaZuta, "PaletaZuta", ControlKind::Picture, {176, 675, 84, 85}, true, "BOJE1_03.JPG", PointerKind::Brush, 6},
    {ControlId::PaletaZelena, "PaletaZelena", ControlKind::Picture, {93, 675, 84, 85}, true, "BOJE1_02.JPG", PointerKind::Brush, 5},
    {ControlId::PaletaCrvena, "PaletaCrvena", ControlKind::Picture, {8, 675, 85, 85}, true, "BOJE1_01.JPG", PointerKind::Brush, 4},
    {ControlId::MoreImages, "MoreImages", ControlKind::Picture, {832, 241, 160, 169}, true, "MOREIMAGES1.JPG", PointerKind::Standard, 3},
    {ControlId::MuteWave, "MuteWave", ControlKind::Picture, {835, 485, 78, 79}, true, "ZVUCNIK1.JPG", PointerKind::Standard, 2},
    {ControlId::MusicOn, "MusicOn", ControlKind::Picture, {919, 485, 78, 78}, true, "MUSICOFF2.JPG", PointerKind::Standard, 1},
    {ControlId::tmrRepeat, "tmrRepeat", ControlKind::Timer, {0, 0, 0, 0}, false, "", PointerKind::None, -1},
    {ControlId::Slika, "Slika", ControlKind::Picture, {30, 29, 750, 600}, true, "01.GIF", PointerKind::Drop, 0},
    {ControlId::lblPlay, "lblPlay", ControlKind::Label, {808, 160, 17, 17}, false, "", PointerKind::None, 50},
}};
// clang-format on

const ControlSpec& spec_of(ControlId id) {
    assert(id != ControlId::Form);
    return k_controls[std::size_t(index_of(id))];
}

}  // namespace zuvela
