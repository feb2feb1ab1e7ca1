// The fake platform's files as a complete installation: every checked picture present with its length.
#pragma once

#include "platform/fake/fake_platform.h"
#include "shell/asset_lengths.h"
#include "shell/asset_paths.h"

namespace zuvela {

inline void install_all_assets(FakePlatform& fake) {
    for (const AssetLength& entry : asset_lengths)
        fake.files.lengths[asset_path(fake.files.folder, entry.literal)] = entry.length;
}

}  // namespace zuvela
