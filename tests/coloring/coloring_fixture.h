// An application on the fake platform, past start-up, with a small outline picture on the canvas.
#pragma once

#include <gtest/gtest.h>

#include <sstream>

#include "app/application.h"
#include "platform/fake/fake_platform.h"

namespace zuvela {

inline constexpr Color k_white = rgb(255, 255, 255);
inline constexpr Color k_black = rgb(0, 0, 0);

class ColoringTest : public ::testing::Test {
  protected:
    ColoringTest() {
        ProgramState& s = app.window().state();
        s.app_dir = "/opt/Zuvela";
        s.current_color = std::int32_t(rgb(255, 0, 0));
        s.fill_mode = k_true;
        s.set_sounds_on(1);
        s.music_off = 1;
        s.current_picture = 1;
        // Two boxes side by side: a left one (x 10..49) and a right one (x 60..99), rows 10..49.
        Raster outline(750, 600, k_white);
        for (int y = 5; y <= 54; ++y) {
            for (int x = 5; x <= 104; ++x) {
                const bool border = y < 10 || y > 49 || x < 10 || x > 99 || (x >= 50 && x < 60);
                if (border) outline.at(x, y) = k_black;
            }
        }
        picture_1 = outline;
        fake.files.contents["/opt/Zuvela/PICTURE/01.GIF"] = outline;
        fake.files.contents["/opt/Zuvela/PICTURE/00.GIF"] = Raster(750, 600, 0xFFFFFFFF);
        app.canvas().load_picture("/PICTURE/01.GIF");
        fake.files.loads.clear();
        fake.log.clear();
    }

    Color canvas_at(int x, int y) const { return const_cast<Application&>(app).canvas().image().at(x, y); }
    void press(double x, double y, int button = k_left_button) {
        app.canvas().Slika_MouseDown({button, 0, x, y});
    }
    void drag(double x, double y, int buttons = k_left_button) {
        app.canvas().Slika_MouseMove({buttons, 0, x, y});
    }
    // Clicks a control through the router, as the window would: under the error trap.
    void click(ControlId id) {
        const Rect r = app.window().scene().control(id).place;
        app.window().router().dispatch(
            MouseEvent{MouseAction::Down, k_left_button, k_left_button, 0, double(r.x + 1), double(r.y + 1)});
        app.window().router().dispatch(
            MouseEvent{MouseAction::Up, k_left_button, 0, 0, double(r.x + 1), double(r.y + 1)});
    }

    FakePlatform fake;
    std::ostringstream diagnostics;
    Application app{fake.platform, AppConfig{}, diagnostics};
    Raster picture_1;
};

}  // namespace zuvela
