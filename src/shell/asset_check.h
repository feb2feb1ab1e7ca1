// The start-up check of the picture files.
#pragma once

#include <iosfwd>
#include <span>

#include "shell/asset_lengths.h"

namespace zuvela {

class FormaMain;

// Returns when every file has its expected length. Otherwise releases the music and the keyboard lock, names
// the first bad file on `diagnostics` and ends the program with a failure status.
void check_asset_files(FormaMain& window, std::span<const AssetLength> table, std::ostream& diagnostics);

}  // namespace zuvela
