#include <gtest/gtest.h>

#include <sstream>

#include "app/application.h"
#include "platform/errors.h"
#include "platform/fake/fake_platform.h"
#include "scene/control_catalogue.h"
#include "support/installed_assets.h"

namespace zuvela {
namespace {

class EventLoopTest : public ::testing::Test {
  protected:
    EventLoopTest() { install_all_assets(fake); }

    void run() { EXPECT_THROW(app.run(), ScriptFinished); }

    FakePlatform fake;
    std::ostringstream diagnostics;
    Application app{fake.platform, AppConfig{"", "https://quillmar.example/", ""}, diagnostics};
};

TEST_F(EventLoopTest, AnIdleProgramDrawsNothing) {
    fake.display.post_move(5, 5, 0, fake.clock.now + 10);
    run();
    const int presents = fake.display.presents;
    fake.display.post_move(6, 6, 0, fake.clock.now + 60);  // the bare window: nothing changes
    fake.display.post_move(7, 7, 0, fake.clock.now + 61);
    EXPECT_THROW(app.window().process_events_until(-1), ScriptFinished);
    EXPECT_EQ(fake.display.presents, presents);
}

TEST_F(EventLoopTest, MovesThatQueuedUpWhileItWorkedCostOneFrame) {
    fake.display.post_move(5, 5, 0, fake.clock.now + 10);
    run();
    const int presents = fake.display.presents;
    // Sliding back and forth between two buttons: each move alone would light one and rest the other.
    const Rect more = spec_of(ControlId::MoreImages).place;
    const Rect rubber = spec_of(ControlId::Rubber).place;
    const double at = fake.clock.now + 1;
    for (int i = 0; i < 41; ++i) {
        const Rect& r = i % 2 ? rubber : more;
        fake.display.post_move(r.x + 3 + i % 5, r.y + 3, 0, at);
    }
    EXPECT_THROW(app.window().process_events_until(-1), ScriptFinished);
    EXPECT_EQ(fake.display.presents, presents + 1);
    EXPECT_EQ(fake.files.path_of(app.window().scene().control(ControlId::MoreImages).picture),
              "/opt/Zuvela/PICTURE/MOREIMAGES2.JPG")
        << "the frame shows where the pointer ended";
}

TEST_F(EventLoopTest, TheRepeatTimerTicksEveryHalfSecondOnlyWhileEnabled) {
    std::vector<double> ticks;
    app.window().seams().tmrRepeat_Timer = [&] {
        ticks.push_back(fake.clock.now);
        if (ticks.size() == 4) app.window().scene().set_timer_enabled(false);
    };
    run();
    EXPECT_TRUE(ticks.empty()) << "disabled at start";

    app.window().scene().set_timer_enabled(true);
    fake.display.post_move(5, 5, 0, fake.clock.now + 5);
    EXPECT_THROW(app.window().process_events_until(-1), ScriptFinished);
    ASSERT_EQ(ticks.size(), 4u);
    for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i] - ticks[i - 1], 0.5, 1e-9);
}

TEST_F(EventLoopTest, AFailingTimerTickIsTrappedAndTheNextOneComes) {
    int ticks = 0;
    app.window().seams().tmrRepeat_Timer = [&] {
        if (++ticks == 3) app.window().scene().set_timer_enabled(false);
        throw PlatformError("the music is gone");
    };
    run();
    app.window().scene().set_timer_enabled(true);
    fake.display.post_move(5, 5, 0, fake.clock.now + 3);
    EXPECT_THROW(app.window().process_events_until(-1), ScriptFinished);
    EXPECT_EQ(ticks, 3);
}

}  // namespace
}  // namespace zuvela
