#include "shell/asset_paths.h"

#include <cstdio>

namespace zuvela {

std::string outline_picture_literal(int number) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "/PICTURE/%02d.GIF", number);
    return buffer;
}

}  // namespace zuvela
