// Replacing a file so that it is always either the old one or the new one, whole.
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace zuvela {

// Writes `bytes` to a new temporary file in the folder of `path`, flushes it to the disk (fsync), and renames
// it over `path`; then flushes the folder so the rename itself survives a power cut. Until the rename the old
// file (if any) stays untouched, so a failed or interrupted write (a full disk, a read-only folder, a crash)
// never leaves a truncated or empty file. Whatever is at `path` is replaced, not written through: a symbolic
// link planted there is itself replaced by the file and its target left alone. The new file gets the usual
// permissions (0666 less the umask). The folder must exist; it is not created, and it is never reached
// through a symbolic link: a folder that is itself a link to somewhere else is refused.
//
// Throws PlatformError on any failure before the rename, after removing the temporary file. (A failure to
// flush the folder after the rename is not reported: the new file is in place by then.)
void write_file_atomically(const std::string& path, std::span<const std::byte> bytes);

}  // namespace zuvela
