#include "scene/event_router.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace zuvela {
namespace {

MouseEvent press(double x, double y, int button = k_left_button, int held_before = 0) {
    return {MouseAction::Down, button, held_before | button, 0, x, y};
}
MouseEvent release(double x, double y, int button = k_left_button, int still_held = 0) {
    return {MouseAction::Up, button, still_held, 0, x, y};
}
MouseEvent move(double x, double y, int buttons = 0) {
    return {MouseAction::Move, 0, buttons, 0, x, y};
}

class EventRouterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const ControlSpec& c : k_controls) record(c.id, std::string(c.name));
        record(ControlId::Form, "Form");
    }
    void record(ControlId id, std::string name) {
        router.on_click(id, [this, name] { calls.push_back(name + ".click"); });
        router.on_mouse_move(id, [this, name](const MouseArgs& a) {
            calls.push_back(name + ".move " + std::to_string(a.button) + " " + std::to_string(int(a.x)) +
                            "," + std::to_string(int(a.y)));
        });
        router.on_key_down(
            id, [this, name](const KeyArgs& k) { calls.push_back(name + ".key " + std::to_string(k.code)); });
        if (id != ControlId::Slika && id != ControlId::Form) return;  // the only ones with a press handler
        router.on_mouse_down(id, [this, name](const MouseArgs& a) {
            calls.push_back(name + ".down " + std::to_string(a.button) + " " + std::to_string(int(a.x)) +
                            "," + std::to_string(int(a.y)));
        });
    }
    std::vector<std::string> take() { return std::exchange(calls, {}); }

    Scene scene;
    EventRouter router{scene};
    std::vector<std::string> calls;
};

TEST_F(EventRouterTest, TheTopmostShownControlGetsTheEvent) {
    scene.set_visible(ControlId::Izlaz, true);
    scene.set_visible(ControlId::Da, true);
    router.dispatch(move(370, 410));
    EXPECT_EQ(take(), std::vector<std::string>{"Da.move 0 2,1"});

    router.dispatch(move(320, 270));  // the panel, over the canvas
    EXPECT_EQ(take(), std::vector<std::string>{"Izlaz.move 0 8,11"});

    scene.set_visible(ControlId::Izlaz, false);
    scene.set_visible(ControlId::Da, false);
    router.dispatch(move(320, 270));
    EXPECT_EQ(take(), std::vector<std::string>{"Slika.move 0 290,241"});

    router.dispatch(move(5, 5));  // bare window
    EXPECT_EQ(take(), std::vector<std::string>{"Form.move 0 5,5"});
}

TEST_F(EventRouterTest, DisabledControlsPassTheMouseToTheWindow) {
    scene.set_enabled(ControlId::PaletaZuta, false);
    router.dispatch(move(180, 680));
    router.dispatch(press(180, 680));
    router.dispatch(release(180, 680));
    EXPECT_EQ(take(), (std::vector<std::string>{"Form.move 0 180,680", "Form.down 1 180,680"}));
}

TEST_F(EventRouterTest, APressKeepsTheMovesUntilEveryButtonIsUp) {
    router.dispatch(press(40, 40));                 // canvas (10, 11)
    router.dispatch(move(20, 700, k_left_button));  // over the palette, and left of the canvas
    router.dispatch(press(20, 700, k_right_button, k_left_button));
    router.dispatch(release(20, 700, k_left_button, k_right_button));
    router.dispatch(move(21, 700, k_right_button));
    router.dispatch(release(21, 700, k_right_button, 0));
    router.dispatch(move(22, 700));
    EXPECT_EQ(take(),
              (std::vector<std::string>{"Slika.down 1 10,11", "Slika.move 1 -10,671", "Slika.down 2 -10,671",
                                        "Slika.move 2 -9,671", "PaletaCrvena.move 0 14,25"}));
}

TEST_F(EventRouterTest, NothingAHandlerThrowsEscapesIt) {
    router.on_mouse_move(ControlId::Form, [](const MouseArgs&) { throw std::bad_alloc(); });
    router.on_key_down(ControlId::Slika, [](const KeyArgs&) { throw std::length_error("too long"); });
    EXPECT_NO_THROW(router.dispatch(move(1010, 20)));
    EXPECT_NO_THROW(router.dispatch(KeyEvent{'P', k_ctrl_key}));
    router.on_key_down(ControlId::Slika, [](const KeyArgs&) { throw EndProgram{3}; });
    EXPECT_THROW(router.dispatch(KeyEvent{'X', k_ctrl_key}), EndProgram)
        << "only the end of the program gets out";
}

TEST_F(EventRouterTest, WhileAPressKeepsTheMouseThePointerStaysThePressedControls) {
    std::vector<ControlId> shown;
    router.watch_pointer([&](ControlId id) { shown.push_back(id); });
    const Rect canvas = scene.control(ControlId::Slika).place;
    const Rect swatch = scene.control(ControlId::PaletaZuta).place;
    router.dispatch(move(canvas.x + 10, canvas.y + 10));
    router.dispatch(press(canvas.x + 10, canvas.y + 10));
    router.dispatch(move(swatch.x + 5, swatch.y + 5, k_left_button));  // a stroke dragged over the palette
    EXPECT_EQ(shown, std::vector{ControlId::Slika});
    router.dispatch(release(swatch.x + 5, swatch.y + 5));
    EXPECT_EQ(shown.back(), ControlId::PaletaZuta) << "let go: the control under the pointer again";
}

TEST_F(EventRouterTest, AClickIsALeftPressAndReleaseOnTheSameControl) {
    router.dispatch(press(950, 420));
    router.dispatch(release(950, 420));
    EXPECT_EQ(take(), std::vector<std::string>{"Papir.click"});

    router.dispatch(press(950, 420));  // pressed on Papir, let go on Rubber
    router.dispatch(release(830, 420));
    EXPECT_EQ(take(), std::vector<std::string>{});

    router.dispatch(press(950, 420, k_right_button));
    router.dispatch(release(950, 420, k_right_button));
    EXPECT_EQ(take(), std::vector<std::string>{});

    router.dispatch(press(5, 5));  // the window has no click
    router.dispatch(release(5, 5));
    EXPECT_EQ(take(), std::vector<std::string>{"Form.down 1 5,5"});
}

TEST_F(EventRouterTest, KeysGoToTheFocusAndFocusMovesOnWhenItsHolderGoes) {
    router.dispatch(KeyEvent{'P', k_ctrl_key});
    EXPECT_EQ(take(), std::vector<std::string>{"Slika.key 80"});

    router.dispatch(press(180, 680));
    router.dispatch(release(180, 680));
    take();
    EXPECT_EQ(scene.focus(), ControlId::PaletaZuta);

    scene.set_enabled(ControlId::PaletaZuta, false);  // focus order 6 → 7
    EXPECT_EQ(scene.focus(), ControlId::PaletaSvPlava);

    scene.take_focus(ControlId::Papir);  // the last in focus order wraps round to the canvas
    scene.set_visible(ControlId::Papir, false);
    EXPECT_EQ(scene.focus(), ControlId::Slika);

    for (const ControlSpec& c : k_controls) scene.set_visible(c.id, false);
    EXPECT_EQ(scene.focus(), ControlId::Form);
    router.dispatch(KeyEvent{'X', k_ctrl_key});
    EXPECT_EQ(take(), std::vector<std::string>{"Form.key 88"});
}

TEST_F(EventRouterTest, AFailingHandlerEndsQuietlyAndTheNextEventIsHandled) {
    router.on_click(ControlId::Papir, [this] {
        calls.push_back("first step");
        throw PlatformError("missing file");
    });
    router.dispatch(press(950, 420));
    router.dispatch(release(950, 420));
    router.dispatch(move(5, 5));
    EXPECT_EQ(take(), (std::vector<std::string>{"first step", "Form.move 0 5,5"}));
}

}  // namespace
}  // namespace zuvela
