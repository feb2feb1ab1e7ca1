#include "scene/control_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zuvela {
namespace {

TEST(ControlCatalogue, EveryRowIsConsistent) {
    std::set<std::string_view> names;
    std::set<int> focus_orders;
    int pictures = 0, timers = 0, labels = 0;
    for (std::size_t i = 0; i < k_controls.size(); ++i) {
        const ControlSpec& c = k_controls[i];
        SCOPED_TRACE(std::string(c.name));
        EXPECT_EQ(index_of(c.id), int(i)) << "rows are in stacking order, named by their id";
        EXPECT_TRUE(names.insert(c.name).second);
        if (c.focus_order >= 0) {
            EXPECT_TRUE(focus_orders.insert(c.focus_order).second);
        }
        switch (c.kind) {
            case ControlKind::Picture:
                ++pictures;
                EXPECT_GT(c.place.w, 0);
                EXPECT_LE(c.place.right(), k_scene_width);
                EXPECT_LE(c.place.bottom(), k_scene_height);
                EXPECT_NE(c.pointer, PointerKind::None);
                break;
            case ControlKind::Timer:
                ++timers;
                break;
            case ControlKind::Label:
                ++labels;
                break;
        }
    }
    EXPECT_EQ(pictures, 54);
    EXPECT_EQ(timers, 1);
    EXPECT_EQ(labels, 1);
    EXPECT_EQ(*focus_orders.begin(), 0);
    EXPECT_EQ(*focus_orders.rbegin(), 54);
}

TEST(ControlCatalogue, StartSceneShowsTheMainScreenOnly) {
    std::set<ControlId> shown;
    for (const ControlSpec& c : k_controls) {
        if (c.visible) shown.insert(c.id);
    }
    std::set<ControlId> expected{ControlId::Papir,    ControlId::Rubber,     ControlId::olovka,
                                 ControlId::kapljica, ControlId::MoreImages, ControlId::MuteWave,
                                 ControlId::MusicOn,  ControlId::Slika};
    for (int slot = 1; slot <= 12; ++slot) expected.insert(palette_swatch(slot));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(spec_of(ControlId::Slika).first_picture, "01.GIF");
    EXPECT_EQ(spec_of(ControlId::kapljica).first_picture, "KAPLJICA1.JPG");
    EXPECT_EQ(spec_of(ControlId::olovka).first_picture, "OLOVKA2.JPG");
    EXPECT_EQ(spec_of(ControlId::MusicOn).first_picture, "MUSICOFF2.JPG");
    EXPECT_EQ(k_main_caption, "Tindora - Zuvela 2  by Quillmar Studio");
}

TEST(ControlCatalogue, PaletteRunsLeftToRightInSlotOrder) {
    int previous_x = 0;
    for (int slot = 1; slot <= 12; ++slot) {
        const ControlSpec& c = spec_of(palette_swatch(slot));
        SCOPED_TRACE(std::string(c.name));
        EXPECT_GT(c.place.x, previous_x);
        previous_x = c.place.x;
        EXPECT_EQ(c.place.y, 675);
        EXPECT_EQ(c.place.h, 85);
        EXPECT_EQ(c.first_picture,
                  "BOJE1_" + std::string(slot < 10 ? "0" : "") + std::to_string(slot) + ".JPG");
        EXPECT_EQ(c.focus_order, slot + 3);
    }
    EXPECT_EQ(spec_of(palette_swatch(12)).place.right(), 1016);
    EXPECT_EQ(spec_of(palette_swatch(1)).name, "PaletaCrvena");
    EXPECT_EQ(spec_of(palette_swatch(12)).name, "PaletaPink");
    EXPECT_EQ(spec_of(gallery_tile(1)).focus_order, 16);
    EXPECT_EQ(spec_of(gallery_tile(25)).focus_order, 40);
}

TEST(ControlCatalogue, PanelButtonsLieOnTheirPanels) {
    const Rect exit_panel = spec_of(ControlId::Izlaz).place;
    const Rect info_panel = spec_of(ControlId::Registered).place;
    for (ControlId id : {ControlId::Da, ControlId::Ne}) {
        EXPECT_EQ(spec_of(id).place.intersected(exit_panel), spec_of(id).place);
        EXPECT_LT(index_of(id), index_of(ControlId::Izlaz)) << "drawn above the panel";
    }
    for (ControlId id : {ControlId::Zatvori, ControlId::Firma, ControlId::visit_site}) {
        EXPECT_EQ(spec_of(id).place.intersected(info_panel), spec_of(id).place);
        EXPECT_LT(index_of(id), index_of(ControlId::Registered));
    }
    EXPECT_EQ(spec_of(ControlId::Izlaz).pointer, PointerKind::PlatformArrow);
    EXPECT_EQ(spec_of(ControlId::Da).pointer, PointerKind::Standard);
    // A panel covers part of the canvas and nothing of the palette or the right-hand buttons.
    EXPECT_TRUE(exit_panel.intersected(spec_of(palette_swatch(5)).place).empty());
    EXPECT_TRUE(exit_panel.intersected(spec_of(ControlId::MoreImages).place).empty());
    EXPECT_FALSE(exit_panel.intersected(spec_of(ControlId::Slika).place).empty());
}

}  // namespace
}  // namespace zuvela
