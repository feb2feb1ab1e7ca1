#include "app/application.h"

#include "shell/asset_check.h"

namespace zuvela {

Application::Application(Platform& platform, AppConfig config, std::ostream& diagnostics)
    : m_window(platform, std::move(config)) {
    m_window.set_diagnostics(diagnostics);
    m_window.seams().check_asset_files = [this, &diagnostics] {
        check_asset_files(m_window, asset_lengths, diagnostics);
    };
}

}  // namespace zuvela
