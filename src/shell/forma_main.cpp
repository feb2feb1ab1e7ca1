#include "shell/forma_main.h"

#include <algorithm>
#include <iostream>

#include "platform/errors.h"
#include "scene/builtin_pictures.h"
#include "shell/asset_paths.h"
#include "shell/lock_keys.h"

namespace zuvela {

namespace {

constexpr double k_wait_seconds = 3.0;
constexpr double k_frame_seconds = 1.0 / 60.0;

struct BuiltinPointer {
    PointerKind kind;
    std::string_view file;
    Point hot_spot;
};

constexpr BuiltinPointer k_builtin_pointers[] = {
    {PointerKind::Standard, "POINTER_ARROW.ICO", {0, 0}},
    {PointerKind::Hand, "POINTER_HAND.ICO", {12, 1}},
    {PointerKind::Brush, "POINTER_BRUSH.ICO", {32, 32}},
    {PointerKind::Drop, "POINTER_DROP.ICO", {16, 16}},
};

}  // namespace

FormaMain::FormaMain(Platform& platform, AppConfig config)
    : m_platform(platform), m_config(std::move(config)), m_diagnostics(&std::cerr) {
    m_router.watch_pointer([this](ControlId id) { show_pointer_for(id); });
}

FormaMain::~FormaMain() = default;

PictureRef FormaMain::decode_builtin(std::string_view name) {
    const auto bytes = builtin_picture(name);
    if (bytes.empty()) return nullptr;
    PictureRef picture;
    run_trapped([&] { picture = m_platform.files.decode_builtin_picture(bytes); });
    return picture;
}

PictureRef FormaMain::start_picture(std::string_view file) {
    // The language's copy of a picture with words; the built-in one otherwise.
    if (PictureRef copy = m_language_pictures.copy_of_builtin(m_state.app_dir, file, *m_diagnostics))
        return copy;
    return decode_builtin(file);
}

void FormaMain::build_start_scene() {
    if (m_start_scene_built) return;
    m_start_scene_built = true;
    m_scene.set_background(start_picture("GLAVNA-2.JPG"));
    for (const ControlSpec& row : k_controls) {
        if (!row.first_picture.empty()) m_scene.set_picture(row.id, start_picture(row.first_picture));
    }
    m_icon = decode_builtin("ICON.ICO");
    for (const auto& did_build : m_did_build_start_scene) did_build();
    m_did_build_start_scene.clear();
}

void FormaMain::when_start_scene_built(std::function<void()> did_build) {
    if (m_start_scene_built) {
        did_build();
        return;
    }
    m_did_build_start_scene.push_back(std::move(did_build));
}

void FormaMain::install_key_lock() {
    m_lock_tried = true;
    m_state.keyboard_hook = m_platform.key_lock.install([this](const LockedKey& key) {
        if (lock_examines(key)) m_state.key_event = key;
        return lock_keys_hook(key);
    });
}

int FormaMain::run() {
    try {
        Form_Load();
        process_events_until(-1);
    } catch (const EndProgram& end) {
        return end.exit_status;
    }
    return 0;
}

void FormaMain::Form_Load() {
    run_trapped([&] {
        const std::string folder = m_platform.files.program_folder();
        m_state.app_path = make_app_path(folder);
        m_state.app_dir = make_app_dir(folder);
        m_platform.files.change_directory(m_state.app_dir);
        m_state.fill_mode = k_true;

        // The splash comes before everything it does not need, which is done while it shows: the lock first
        // (its grabs take a moment), then what the main screen needs.
        const PictureRef card = start_picture("SPLASH.JPG");
        m_platform.display.show_splash(card ? *card : Raster(k_splash_width, k_splash_height), k_splash_width,
                                       k_splash_height);
        const double splash_shown = m_platform.clock.monotonic_seconds();
        install_key_lock();
        if (m_seams.did_show_splash) run_trapped(m_seams.did_show_splash);
        build_start_scene();
        process_events_until(splash_shown + k_wait_seconds);

        m_platform.display.hide_splash();
        show_main_window();

        if (m_seams.check_asset_files) m_seams.check_asset_files();

        m_state.current_color = std::int32_t(rgb(255, 0, 0));
        m_state.music_off = 1;
        m_state.set_sounds_on(1);
        m_state.screen_mode = 0;
        m_state.current_picture = 1;
        m_state.palette_selected[0] = 0;

        // The switch exists from here on, even when the screen cannot be taken: leaving then still steps
        // aside and opens the studio's site.
        m_state.display_ddraw = true;
        m_platform.display.enter_fullscreen();
        m_scene.invalidate({0, 0, k_scene_width, k_scene_height});
        render();
        wait_three_seconds();
    });
    // The load ended before the lock was installed: it is installed all the same.
    if (!m_lock_tried) run_trapped([&] { install_key_lock(); });
    if (m_main_shown) return;
    // The load ended before the window came up; the window shows all the same, as after any failed load step.
    run_trapped([&] {
        m_platform.display.hide_splash();
        show_main_window();
    });
    if (!m_main_shown) {
        *m_diagnostics << "zuvela: the main window cannot be shown\n";
        end_program(1);
    }
}

void FormaMain::show_main_window() {
    build_start_scene();
    m_platform.display.show_main(std::string(k_main_caption), m_icon ? *m_icon : Raster(32, 32));
    m_main_shown = true;
    show_pointer_for(m_hovered);  // the splash's busy pointer goes with it
    m_scene.invalidate({0, 0, k_scene_width, k_scene_height});
    render();
}

void FormaMain::wait_three_seconds() {
    const double start = m_platform.clock.monotonic_seconds();
    process_events_until(start + k_wait_seconds);
}

void FormaMain::quit_program() {
    run_trapped([&] {
        if (!m_state.display_ddraw) throw PlatformError("the display was never switched");
        m_platform.display.leave_fullscreen();
        Form_Unload();
    });
}

void FormaMain::Form_Unload() {
    run_trapped([&] {
        if (m_state.keyboard_hook != 0) m_platform.key_lock.release(m_state.keyboard_hook);
        if (m_state.music_performance) m_platform.music.close_down();
        m_platform.display.minimise_main();
        m_platform.browser.open(m_config.studio_url);
    });
}

void FormaMain::Da_Click() {
    if (m_state.music_playing == 1 && m_seams.stop_music) run_trapped(m_seams.stop_music);
    quit_program();
    if (m_state.keyboard_hook != 0) run_trapped([&] { m_platform.key_lock.release(m_state.keyboard_hook); });
    end_program(0);
}

void FormaMain::end_program(int exit_status) {
    throw EndProgram{exit_status};
}

void FormaMain::end_on_signal(int signal_number) {
    if (m_main_shown) run_trapped([&] { m_platform.display.leave_fullscreen(); });
    if (m_state.keyboard_hook != 0) run_trapped([&] { m_platform.key_lock.release(m_state.keyboard_hook); });
    run_trapped([&] { m_platform.music.close_down(); });
    end_program(128 + signal_number);
}

PictureRef FormaMain::load_asset_picture(std::string_view literal) {
    return m_language_pictures.load(m_state.app_dir, literal, *m_diagnostics);
}

void FormaMain::assign_picture(ControlId id, std::string_view literal) {
    m_scene.set_picture(id, load_asset_picture(literal));
}

void FormaMain::assign_background(std::string_view literal) {
    m_scene.set_background(load_asset_picture(literal));
}

void FormaMain::play_sound_effect(std::string_view literal) {
    m_platform.sounds.play(asset_path(m_state.app_dir, literal));
}

void FormaMain::speak(std::string_view literal) {
    m_platform.sounds.speak(asset_path(m_state.app_dir, literal));
}

PointerId FormaMain::pointer_from_picture(const PictureRef& picture, Point hot_spot) {
    auto it = m_picture_pointers.find(picture.get());
    if (it != m_picture_pointers.end()) return it->second.second;
    const PointerId id = m_platform.display.make_pointer(*picture, hot_spot);
    m_picture_pointers[picture.get()] = {picture, id};
    return id;
}

void FormaMain::process_events_until(double deadline) {
    for (;;) {
        // What the caller changed before it waits (the printing notice) shows while it waits.
        render();
        const double now = m_platform.clock.monotonic_seconds();
        tick_timer_if_due(now);
        if (deadline >= 0 && now >= deadline) return;

        double wake = deadline;
        if (m_scene.timer_enabled() && (wake < 0 || m_next_tick < wake)) wake = m_next_tick;
        const double timeout = wake < 0 ? -1.0 : std::max(0.0, wake - now);
        if (const auto event = m_platform.display.wait_event(timeout)) {
            handle(*event);
            take_queued_events();
        }
    }
}

void FormaMain::take_queued_events() {
    // Everything already queued is handled before the next frame is drawn, so a fast hand costs one frame,
    // not one frame per event. A flood that never ends still gets a frame at least once per refresh.
    const double until = m_platform.clock.monotonic_seconds() + k_frame_seconds;
    while (m_platform.clock.monotonic_seconds() < until) {
        const auto event = m_platform.display.wait_event(0);
        if (!event) return;
        handle(*event);
    }
}

void FormaMain::tick_timer_if_due(double now) {
    if (!m_scene.timer_enabled()) {
        m_next_tick = -1;
        return;
    }
    if (m_next_tick < 0) m_next_tick = now + k_repeat_timer_seconds;
    if (now < m_next_tick) return;
    m_next_tick = now + k_repeat_timer_seconds;
    if (m_seams.tmrRepeat_Timer) run_trapped(m_seams.tmrRepeat_Timer);
}

void FormaMain::handle(const InputEvent& event) {
    if (const auto* end = std::get_if<EndRequest>(&event)) end_on_signal(end->signal_number);
    if (!m_main_shown) return;  // the splash has no handlers
    m_router.dispatch(event);
}

void FormaMain::render() {
    if (!m_main_shown || !m_scene.needs_redraw()) return;
    const Rect dirty = m_scene.take_dirty();
    m_scene.compose(m_frame, dirty);
    m_platform.display.present(m_frame, dirty);
}

PointerId FormaMain::pointer_of(PointerKind kind) {
    PointerId& id = m_pointers[std::size_t(kind)];
    if (id != 0 || kind == PointerKind::None) return id;
    if (kind == PointerKind::PlatformArrow) {
        id = m_platform.display.system_pointer(SystemPointer::Arrow);
        return id;
    }
    for (const BuiltinPointer& p : k_builtin_pointers) {
        const auto bytes = builtin_picture(p.file);
        if (p.kind != kind || bytes.empty()) continue;
        run_trapped([&] {
            id = m_platform.display.make_pointer(*m_platform.files.decode_builtin_picture(bytes), p.hot_spot);
        });
    }
    return id;
}

void FormaMain::show_pointer_for(ControlId id) {
    m_hovered = id;
    PointerId wanted = 0;
    if (id == ControlId::Form) {
        wanted = pointer_of(PointerKind::Standard);
    } else if (PointerId custom = m_scene.control(id).custom_pointer) {
        wanted = custom;
    } else {
        wanted = pointer_of(spec_of(id).pointer);
    }
    if (wanted != 0 && wanted != m_pointer_shown) {
        m_pointer_shown = wanted;
        m_platform.display.set_pointer(wanted);
    }
}

}  // namespace zuvela
