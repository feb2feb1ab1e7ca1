// The main window: the scene, the state variables, the event loop, start-up and shutdown.
// The subsystems register their handlers on its router and call its shared procedures.
#pragma once

#include <array>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "scene/event_router.h"
#include "scene/scene.h"
#include "shell/language_pictures.h"
#include "shell/program_state.h"

namespace zuvela {

struct AppConfig {
    std::string product_url;
    std::string studio_url;
    // Where the print snapshot goes when the program's own folder is not writable; empty: beside the program.
    std::string snapshot_folder;
    // The language's folder under SOUND/VOICE and PICTURE; empty: English, in those folders themselves.
    std::string language_folder{};
};

// Steps that other subsystems supply; each one does nothing until it is filled in.
struct Seams {
    std::function<void()> check_asset_files;
    std::function<void()> stop_music;
    std::function<void()> reset_rollover_buttons;
    std::function<void()> tmrRepeat_Timer;
    std::function<void()> print_picture;
    std::function<void()> show_exit_dialog;
    std::function<void()> show_info_panel;
    // What the host prepares once the splash shows (the audio device, the music), so that it is ready when
    // the main screen comes.
    std::function<void()> did_show_splash;
};

class FormaMain {
  public:
    FormaMain(Platform& platform, AppConfig config);
    ~FormaMain();
    FormaMain(const FormaMain&) = delete;
    FormaMain& operator=(const FormaMain&) = delete;

    // Start-up, then events until the program ends. Returns the process's exit status.
    int run();

    // Shared procedures.
    void Form_Load();
    void Form_Unload();
    void quit_program();
    void wait_three_seconds();
    void Da_Click();
    [[noreturn]] void end_program(int exit_status = 0);
    // A signal asks the program to end: the screen and the keys are given back, nothing else happens.
    [[noreturn]] void end_on_signal(int signal_number);
    // Where the program says why it could not start.
    void set_diagnostics(std::ostream& out) { m_diagnostics = &out; }
    std::ostream& diagnostics() { return *m_diagnostics; }

    ProgramState& state() { return m_state; }
    Scene& scene() { return m_scene; }
    EventRouter& router() { return m_router; }
    Platform& platform() { return m_platform; }
    Seams& seams() { return m_seams; }
    const AppConfig& config() const { return m_config; }

    // app_dir followed by the literal, read from the file now; in the chosen language where it has words.
    PictureRef load_asset_picture(std::string_view literal);
    void assign_picture(ControlId id, std::string_view literal);
    // The window's own picture, the background of the screen showing.
    void assign_background(std::string_view literal);
    void play_sound_effect(std::string_view literal);
    void speak(std::string_view literal);
    // A pointer made from a loaded picture; the same unchanged picture gives the same pointer again.
    PointerId pointer_from_picture(const PictureRef& picture, Point hot_spot);

    // The start scene, built into the program, is decoded while the splash shows (or when the main window
    // comes without one). `did_build` runs once it is there; at once when it already is.
    void when_start_scene_built(std::function<void()> did_build);

    // Handles events as they come until the monotonic clock reaches `deadline` (negative: until the program
    // ends).
    void process_events_until(double deadline);
    // Draws what changed since the last frame.
    void render();
    const Raster& frame() const { return m_frame; }

  private:
    PictureRef decode_builtin(std::string_view name);
    void build_start_scene();
    PictureRef start_picture(std::string_view file);
    void install_key_lock();
    void show_main_window();
    void show_pointer_for(ControlId id);
    PointerId pointer_of(PointerKind kind);
    void handle(const InputEvent& event);
    void take_queued_events();
    void tick_timer_if_due(double now);

    Platform& m_platform;
    AppConfig m_config;
    std::ostream* m_diagnostics;
    ProgramState m_state;
    Scene m_scene;
    EventRouter m_router{m_scene};
    Seams m_seams;
    LanguagePictures m_language_pictures{m_platform.files, m_config.language_folder};
    Raster m_frame{k_scene_width, k_scene_height};
    bool m_main_shown = false;
    bool m_lock_tried = false;
    double m_next_tick = -1;

    bool m_start_scene_built = false;
    std::vector<std::function<void()>> m_did_build_start_scene;
    PictureRef m_icon;
    std::array<PointerId, 6> m_pointers{};  // by PointerKind
    PointerId m_pointer_shown = 0;
    std::map<const Raster*, std::pair<PictureRef, PointerId>> m_picture_pointers;
    ControlId m_hovered = ControlId::Form;
};

}  // namespace zuvela
