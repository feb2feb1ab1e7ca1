#include "platform/picture_cache.h"

#include <sys/stat.h>

#include "platform/errors.h"

namespace zuvela {

bool PictureCache::stamp_of(const std::string& path, FileStamp& stamp) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp.device = std::uint64_t(st.st_dev);
    stamp.inode = std::uint64_t(st.st_ino);
    stamp.size = std::int64_t(st.st_size);
    stamp.modified_ns = std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    stamp.changed_ns = std::int64_t(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    return true;
}

PictureRef PictureCache::load(const std::string& path) {
    FileStamp before;
    if (!stamp_of(path, before)) {
        m_entries.erase(path);
        throw PlatformError("cannot open " + path);
    }
    if (auto it = m_entries.find(path); it != m_entries.end() && it->second.stamp == before) {
        return it->second.picture;
    }
    m_entries.erase(path);
    PictureRef picture = m_decoder(path);
    // A file that changed while it was read is not kept: the next load reads it again.
    FileStamp after;
    if (stamp_of(path, after) && after == before) m_entries[path] = Entry{before, picture};
    return picture;
}

}  // namespace zuvela
