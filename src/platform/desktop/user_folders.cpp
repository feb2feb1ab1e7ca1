#include "platform/desktop/user_folders.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zuvela {

std::string user_data_snapshot_folder(const char* xdg_data_home, const char* home) {
    std::filesystem::path data;
    if (xdg_data_home && *xdg_data_home == '/') {
        data = xdg_data_home;  // a relative value is invalid and ignored
    } else if (home && *home) {
        data = std::filesystem::path(home) / ".local/share";
    } else {
        return {};
    }
    return (data / "zuvela" / "MY_PICTURE").string();
}

std::string user_snapshot_folder(const std::string& program_folder) {
    if (access(program_folder.c_str(), W_OK) == 0) return {};
    const std::string folder = user_data_snapshot_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    if (folder.empty()) return {};
    // A folder that cannot be made is still the one named: printing then says why the snapshot is not kept
    // there, rather than failing beside the program for a reason that says nothing.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

}  // namespace zuvela
