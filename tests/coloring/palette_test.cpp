#include "coloring/palette.h"

#include "coloring_fixture.h"

namespace zuvela {
namespace {

class PaletteTest : public ColoringTest {
  protected:
    std::string shown(int slot) {
        return fake.files.path_of(app.window().scene().control(palette_swatch(slot)).picture);
    }
    void router_move(int slot) {
        const Rect r = app.window().scene().control(palette_swatch(slot)).place;
        app.window().router().dispatch(
            MouseEvent{MouseAction::Move, 0, 0, 0, double(r.x + 5), double(r.y + 5)});
    }
    static std::string file(int look, int slot) {
        return "/opt/Zuvela/PICTURE/BOJE" + std::to_string(look) + "_" + (slot < 10 ? "0" : "") +
               std::to_string(slot) + ".JPG";
    }
};

TEST_F(PaletteTest, AClickChoosesTheColourPlaysItsSoundAndSelectsOnlyThatSwatch) {
    click(ControlId::PaletaOranz);
    const ProgramState& s = app.window().state();
    EXPECT_EQ(s.current_color, std::int32_t(rgb(255, 102, 0)));
    EXPECT_EQ(fake.sounds.played, std::vector<std::string>{"/opt/Zuvela/SOUND/ORANZ.WAV"});
    std::vector<std::string> expected_loads;
    for (int slot = 1; slot <= 12; ++slot) {
        EXPECT_EQ(s.palette_selected[std::size_t(slot - 1)], slot == 5 ? 1 : 0);
        expected_loads.push_back(file(slot == 5 ? 3 : 1, slot));
    }
    EXPECT_EQ(fake.files.loads, expected_loads) << "all twelve are read again, in slot order";

    click(ControlId::PaletaOranz);  // again: the same state, the sound and the loads once more
    EXPECT_EQ(fake.sounds.played.size(), 2u);
    EXPECT_EQ(fake.files.loads.size(), 24u);
    EXPECT_EQ(shown(5), file(3, 5));
}

TEST_F(PaletteTest, TheTableHasTheTwelveColoursInSlotOrder) {
    EXPECT_EQ(palette_colors[7].color, rgb(255, 255, 255)) << "slot 8 is white";
    EXPECT_EQ(palette_colors[10].color, rgb(30, 30, 30)) << "black stays fillable";
    EXPECT_EQ(palette_colors[7].sound, "/SOUND/TAMNOZUTA.WAV");
    for (int slot = 1; slot <= 12; ++slot)
        EXPECT_EQ(palette_colors[std::size_t(slot - 1)].swatch, palette_swatch(slot));
}

TEST_F(PaletteTest, WithSoundsOffAClickIsSilent) {
    app.window().state().set_sounds_on(0);
    click(ControlId::PaletaZuta);
    EXPECT_EQ(app.window().state().current_color, std::int32_t(rgb(255, 255, 0)));
    EXPECT_TRUE(fake.sounds.played.empty());
}

TEST_F(PaletteTest, AMissingSelectedPictureKeepsTheColourAndTheEarlierSwatches) {
    click(ControlId::PaletaZelena);
    fake.files.failing.insert(file(3, 5));
    click(ControlId::PaletaOranz);
    EXPECT_EQ(app.window().state().current_color, std::int32_t(rgb(255, 102, 0)));
    EXPECT_EQ(fake.sounds.played.back(), "/opt/Zuvela/SOUND/ORANZ.WAV");
    EXPECT_EQ(app.window().state().palette_selected[4], 1);
    EXPECT_EQ(app.window().state().palette_selected[1], 0);
    for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(shown(slot), file(1, slot));
    for (int slot = 6; slot <= 12; ++slot)
        EXPECT_EQ(shown(slot), file(1, slot)) << "left from the click before";
    EXPECT_EQ(shown(5), file(1, 5)) << "its previous picture";
}

TEST_F(PaletteTest, AMoveLightsTheSwatchAndPutsItsNeighboursBackToRest) {
    router_move(6);
    EXPECT_EQ(fake.files.loads, (std::vector<std::string>{file(2, 6), file(1, 5), file(1, 7)}));

    fake.files.loads.clear();
    router_move(1);
    EXPECT_EQ(fake.files.loads, (std::vector<std::string>{file(2, 1), file(1, 2)}));

    click(ControlId::PaletaPink);
    fake.files.loads.clear();
    router_move(12);
    router_move(11);
    EXPECT_EQ(fake.files.loads,
              (std::vector<std::string>{file(3, 12), file(1, 11), file(2, 11), file(1, 10), file(3, 12)}))
        << "the selected swatch keeps its look under the pointer and next to it";
}

// The language is chosen once at start-up; a click asks for its word only, so a missing word is as silent as
// a missing English one and never turns into the English word.
TEST(PaletteVoices, AClickSpeaksTheNameFromTheChosenLanguagesFolderOnly) {
    for (const auto& [folder, expected] : {std::pair{"DE", "/opt/Zuvela/SOUND/VOICE/DE/CRVENA.WAV"},
                                           std::pair{"", "/opt/Zuvela/SOUND/VOICE/CRVENA.WAV"}}) {
        FakePlatform fake;
        std::ostringstream diagnostics;
        AppConfig config;
        config.language_folder = folder;
        Application app{fake.platform, config, diagnostics};
        app.window().state().app_dir = "/opt/Zuvela";
        app.window().state().set_sounds_on(1);
        app.palette().Paleta_Click(1);
        EXPECT_EQ(fake.sounds.spoken, std::vector<std::string>{expected});
        EXPECT_EQ(fake.sounds.played, std::vector<std::string>{"/opt/Zuvela/SOUND/CRVENA.WAV"})
            << "the chime is the same in every language";
    }
}

}  // namespace
}  // namespace zuvela
