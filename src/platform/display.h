// Windows, pointers and input.
#pragma once

#include <optional>
#include <string>
#include <variant>

#include "platform/raster.h"

namespace zuvela {

enum class MouseAction { Down, Up, Move };

// Mouse buttons as the handlers see them.
inline constexpr int k_left_button = 1;
inline constexpr int k_right_button = 2;
inline constexpr int k_middle_button = 4;

// Shift state bits.
inline constexpr int k_shift_key = 1;
inline constexpr int k_ctrl_key = 2;
inline constexpr int k_alt_key = 4;

// Positions are in scene pixels (the 1024 × 768 scene), mapped back from the screen; on a scaled screen they
// fall between whole pixels.
struct MouseEvent {
    MouseAction action = MouseAction::Move;
    int button = 0;   // the button pressed or released (Down, Up)
    int buttons = 0;  // buttons held after the event
    int shift = 0;
    double x = 0;
    double y = 0;
};

struct KeyEvent {
    int code = 0;  // virtual key code: letters are their upper-case ASCII value
    int shift = 0;
};

// The session asks the program to end (SIGTERM at logout or shutdown, SIGINT, SIGHUP).
struct EndRequest {
    int signal_number = 0;
};

using InputEvent = std::variant<MouseEvent, KeyEvent, EndRequest>;

enum class SystemPointer { Arrow, Busy };

// 0 means "no pointer": drivers without cursors hand that out and the program goes on.
using PointerId = int;

class Display {
  public:
    virtual ~Display() = default;

    virtual void show_splash(const Raster& card, int width, int height) = 0;
    virtual void hide_splash() = 0;
    virtual void show_main(const std::string& caption, const Raster& icon) = 0;
    virtual void minimise_main() = 0;
    // Undoes minimise_main(): the main window is shown again and in front.
    virtual void restore_main() {}
    // The main window covers the whole screen and has it to itself. Throws PlatformError when it cannot.
    virtual void enter_fullscreen() = 0;
    virtual void leave_fullscreen() = 0;

    // Shows the 1024 × 768 scene; only `dirty` changed since the last call.
    virtual void present(const Raster& scene, const Rect& dirty) = 0;

    virtual PointerId make_pointer(const Raster& image, Point hot_spot) = 0;
    virtual PointerId system_pointer(SystemPointer which) = 0;
    virtual void set_pointer(PointerId pointer) = 0;

    // Blocks until an input event arrives or `timeout_seconds` pass (negative: no limit).
    virtual std::optional<InputEvent> wait_event(double timeout_seconds) = 0;

    // The signal of an end request that has arrived but waits behind other input, or 0. Work that holds the
    // event thread for longer than a frame (the wipe) asks between frames, so that a session ending is never
    // kept waiting.
    virtual int end_requested() { return 0; }
};

}  // namespace zuvela
