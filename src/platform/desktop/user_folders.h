// Where a copy installed for the whole system keeps what it writes: the program's own folder is not the
// user's to write, so the snapshot goes to the user's data folder instead.
#pragma once

#include <string>

namespace zuvela {

// "" when `program_folder` is writable (the snapshot folder stays beside the program); otherwise
// $XDG_DATA_HOME/zuvela/MY_PICTURE (default ~/.local/share/zuvela/MY_PICTURE), created when missing; named
// even when it cannot be made (XDG_DATA_HOME a file), so that the failed save says why. "" too when neither
// variable names a folder.
std::string user_snapshot_folder(const std::string& program_folder);

// The user's snapshot folder from the environment's values (either may be null), not yet created.
std::string user_data_snapshot_folder(const char* xdg_data_home, const char* home);

}  // namespace zuvela
