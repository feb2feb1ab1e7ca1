// The main window and the splash window on SDL2. The 1024 × 768 scene is scaled to the window with its aspect
// kept; pointer positions come back in scene pixels.
#pragma once

#include <SDL.h>

#include <vector>

#include "platform/display.h"

namespace zuvela {

class SdlDisplay final : public Display {
  public:
    SdlDisplay();
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    void show_splash(const Raster& card, int width, int height) override;
    void hide_splash() override;
    void show_main(const std::string& caption, const Raster& icon) override;
    void minimise_main() override;
    void enter_fullscreen() override;
    void leave_fullscreen() override;
    void present(const Raster& scene, const Rect& dirty) override;
    PointerId make_pointer(const Raster& image, Point hot_spot) override;
    PointerId system_pointer(SystemPointer which) override;
    void set_pointer(PointerId pointer) override;
    std::optional<InputEvent> wait_event(double timeout_seconds) override;

  private:
    std::optional<InputEvent> translate(const SDL_Event& e);
    void redraw_main();
    void redraw_splash();
    struct ScenePosition {
        double x;
        double y;
    };
    ScenePosition to_scene(int x, int y) const;
    SDL_Rect scene_view() const;

    SDL_Window* m_splash = nullptr;
    SDL_Renderer* m_splash_renderer = nullptr;
    SDL_Texture* m_splash_texture = nullptr;

    SDL_Window* m_main = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_scene = nullptr;
    bool m_scene_uploaded = false;

    std::vector<SDL_Cursor*> m_cursors;  // PointerId n is m_cursors[n - 1]
    int m_buttons = 0;
};

}  // namespace zuvela
