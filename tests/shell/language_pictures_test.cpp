#include "shell/language_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/application.h"
#include "panels/exit_panel.h"
#include "support/installed_assets.h"

namespace zuvela {
namespace {

const std::string k_pictures = "/opt/Zuvela/PICTURE/";

struct StartedApp {
    explicit StartedApp(const std::string& language) : config{"", "", "", language} {
        install_all_assets(fake);
    }
    void start() {
        try {
            app.run();
        } catch (const ScriptFinished&) {
        }
    }
    std::string shown(ControlId id) { return fake.files.path_of(app.window().scene().control(id).picture); }
    void move_over(ControlId id) {
        const Rect r = app.window().scene().control(id).place;
        app.window().router().dispatch(
            MouseEvent{MouseAction::Move, 0, 0, 0, double(r.x + 2), double(r.y + 2)});
    }
    std::size_t lines_naming(const std::string& path) {
        std::istringstream text(diagnostics.str());
        std::size_t count = 0;
        for (std::string line; std::getline(text, line);) count += line.find(path) != std::string::npos;
        return count;
    }

    FakePlatform fake;
    AppConfig config;
    std::ostringstream diagnostics;
    Application app{fake.platform, config, diagnostics};
};

// Under German every word on the screen is German where the German picture loads, and English where it is
// missing or damaged: a picture must show, and the parent's bug report names the file once.
TEST(LanguagePictures, TheLanguagesCopyShowsWhereItLoadsAndTheEnglishOneWhereNot) {
    StartedApp german("DE");
    german.fake.files.failing = {k_pictures + "DE/CTRLX.JPG", k_pictures + "DE/YES2.JPG"};
    german.start();
    const Scene& scene = german.app.window().scene();
    EXPECT_EQ(german.fake.files.path_of(scene.background()), k_pictures + "DE/GLAVNA-2.JPG");
    EXPECT_EQ(german.shown(ControlId::Registered), k_pictures + "DE/CTRL-R-2.JPG");
    EXPECT_EQ(german.shown(ControlId::Da), k_pictures + "DE/YES1.JPG");
    EXPECT_EQ(german.shown(ControlId::Izlaz), "") << "the built-in English panel stays";
    EXPECT_NE(scene.control(ControlId::Izlaz).picture, nullptr);
    EXPECT_EQ(german.shown(ControlId::PaletaCrvena), "")
        << "a swatch has no words: built in, and never looked for";
    for (const std::string& load : german.fake.files.loads)
        EXPECT_EQ(load.find("DE/BOJE"), std::string::npos) << load;

    german.app.exit_panel().show_exit_dialog();
    for (int i = 0; i < 3; ++i) {
        german.move_over(ControlId::Da);
        EXPECT_EQ(german.shown(ControlId::Da), k_pictures + "YES2.JPG");
        german.move_over(ControlId::Ne);
        EXPECT_EQ(german.shown(ControlId::Ne), k_pictures + "DE/NO2.JPG");
    }
    EXPECT_EQ(german.lines_naming(k_pictures + "DE/YES2.JPG"), 1u) << german.diagnostics.str();
    EXPECT_EQ(german.lines_naming(k_pictures + "DE/CTRLX.JPG"), 1u) << german.diagnostics.str();
    EXPECT_EQ(german.lines_naming(k_pictures + "DE/NO2.JPG"), 0u);
    EXPECT_TRUE(german.fake.logged("enter_fullscreen")) << "the German set is not part of the start-up check";

    // Under C nothing is looked for in a language's folder, and the start shows only what is built in.
    StartedApp english("");
    english.start();
    english.app.exit_panel().show_exit_dialog();
    english.move_over(ControlId::Da);
    EXPECT_EQ(english.shown(ControlId::Da), k_pictures + "YES2.JPG");
    EXPECT_EQ(english.fake.files.path_of(english.app.window().scene().background()), "");
    for (const std::string& load : english.fake.files.loads)
        EXPECT_EQ(std::count(load.begin(), load.end(), '/'), 4) << load << " is not in PICTURE itself";
    EXPECT_EQ(english.diagnostics.str(), "");
}

}  // namespace
}  // namespace zuvela
