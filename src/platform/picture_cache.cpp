#include "platform/picture_cache.h"

#include <algorithm>
#include <cstring>

#include "platform/errors.h"

namespace zuvela {

namespace {

std::size_t bytes_of(const Raster& picture) {
    return picture.pixels.size() * sizeof(Color);
}

bool same_bytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

}  // namespace

PictureCache::PictureCache(Reader reader, Decoder decoder, std::size_t kept_bytes)
    : m_reader(std::move(reader)), m_decoder(std::move(decoder)), m_bound(kept_bytes) {}

PictureRef PictureCache::load(const std::string& path) {
    const std::optional<FileStamp> before = stamp_of(path);
    if (auto it = m_entries.find(path); it != m_entries.end()) {
        if (before && it->second.stamp == *before) {
            if (PictureRef picture = it->second.picture.lock()) {
                keep(picture);
                return picture;
            }
        } else if (PictureRef outdated = it->second.picture.lock()) {
            let_go(outdated);
        }
        m_entries.erase(it);
    }
    if (!before) throw PlatformError("cannot open " + path);

    const std::vector<std::uint8_t> bytes = m_reader(path);
    PictureRef picture = builtin_with(bytes);
    if (!picture) picture = m_decoder(bytes, path);
    // A file that changed while it was read is read again next time.
    if (const std::optional<FileStamp> after = stamp_of(path); after && *after == *before) {
        m_entries.insert_or_assign(path, Entry{*before, picture});
        keep(picture);
    }
    return picture;
}

PictureRef PictureCache::decode_builtin(std::span<const std::uint8_t> bytes, const std::string& what) {
    auto it = std::find_if(m_builtins.begin(), m_builtins.end(), [&](const Builtin& b) {
        return b.bytes.data() == bytes.data() && b.bytes.size() == bytes.size();
    });
    if (it != m_builtins.end()) {
        if (PictureRef picture = it->picture.lock()) return picture;
    }
    PictureRef picture = m_decoder(bytes, what);
    if (it != m_builtins.end()) {
        it->picture = picture;
    } else {
        m_builtins.push_back({bytes, picture});
    }
    return picture;
}

PictureRef PictureCache::builtin_with(std::span<const std::uint8_t> bytes) const {
    for (const Builtin& b : m_builtins) {
        if (!same_bytes(b.bytes, bytes)) continue;
        if (PictureRef picture = b.picture.lock()) return picture;
    }
    return nullptr;
}

void PictureCache::keep(const PictureRef& picture) {
    const std::size_t size = bytes_of(*picture);
    if (size > m_bound / 4) return;
    if (auto at = m_recent_at.find(picture.get()); at != m_recent_at.end()) {
        m_recent.splice(m_recent.begin(), m_recent, at->second);
        return;
    }
    m_recent.push_front(picture);
    m_recent_at[picture.get()] = m_recent.begin();
    m_recent_bytes += size;
    while (m_recent_bytes > m_bound) {
        const PictureRef& oldest = m_recent.back();
        m_recent_bytes -= bytes_of(*oldest);
        m_recent_at.erase(oldest.get());
        m_recent.pop_back();
    }
}

void PictureCache::let_go(const PictureRef& picture) {
    const auto at = m_recent_at.find(picture.get());
    if (at == m_recent_at.end()) return;
    m_recent_bytes -= bytes_of(*picture);
    m_recent.erase(at->second);
    m_recent_at.erase(at);
}

}  // namespace zuvela
