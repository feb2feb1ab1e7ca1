// Reading a whole file that is about to be decoded.
//
// Every file the program decodes lies in a folder beside it that anyone with access to the installation may
// change: a picture's name may turn out to be a pipe, a device or a file of gigabytes. The file is opened
// without waiting (a pipe with no writer would hang the event thread), and it is what was opened that is
// checked, never the path before opening it, which may change in between.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zuvela {

// The bytes of the regular file at `path`. Throws PlatformError when it cannot be opened or read, is no
// regular file, or holds more than `max_bytes` (also when it grows past them while it is read).
std::vector<std::uint8_t> read_bounded_file(const std::string& path, std::uint64_t max_bytes);

}  // namespace zuvela
