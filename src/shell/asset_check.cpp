#include "shell/asset_check.h"

#include <ostream>
#include <string>

#include "platform/errors.h"
#include "shell/asset_paths.h"
#include "shell/forma_main.h"

namespace zuvela {

namespace {

constexpr int k_damaged_install_status = 3;

}  // namespace

void check_asset_files(FormaMain& window, std::span<const AssetLength> table, std::ostream& diagnostics) {
    ProgramState& state = window.state();
    for (const AssetLength& entry : table) {
        const std::string path = asset_path(state.app_dir, entry.literal);
        std::uint64_t found = 0;
        try {
            found = window.platform().files.file_length(path);
        } catch (const PlatformError&) {
            // A missing file ends the program through the trap: the lock goes with the process.
            diagnostics << "zuvela: " << path << " is missing (expected " << entry.length << " bytes)\n";
            window.end_program(k_damaged_install_status);
        }
        if (found == entry.length) continue;

        if (state.music_playing == 1 && window.seams().stop_music) run_trapped(window.seams().stop_music);
        if (state.keyboard_hook != 0)
            run_trapped([&] { window.platform().key_lock.release(state.keyboard_hook); });
        diagnostics << "zuvela: " << path << " has " << found << " bytes, expected " << entry.length << "\n";
        window.end_program(k_damaged_install_status);
    }
}

}  // namespace zuvela
