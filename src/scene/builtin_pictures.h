// Pictures compiled into the program: the scene's first pictures, the splash card, the icon and the pointers.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace zuvela {

// Named after their files ("GLAVNA-2.JPG", "SPLASH.JPG", "POINTER_HAND.ICO" …). Empty when unknown.
std::span<const std::byte> builtin_picture(std::string_view name);

}  // namespace zuvela
