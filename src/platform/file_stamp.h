// A file's identity and times, and a cache of values decoded from files that serves a value again only while
// its file is unchanged. A stat() costs well under a millisecond, a decode milliseconds; checking the stamp
// on every load makes a removed, replaced or damaged file fail or change exactly as a fresh read would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace zuvela {

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the regular file at `path`; nothing when there is none (missing, a folder, no permission to
// stat).
std::optional<FileStamp> stamp_of(const std::string& path);

// Values decoded from files, one per path.
template <class Value>
class StampedCache {
  public:
    // The value of the file at `path`: the kept one while the file's stamp is unchanged, otherwise
    // `decode(path)`, which may throw (nothing is kept then). Nothing when no regular file is there. A file
    // that changes while it is decoded is not kept: the next load decodes it again.
    template <class Decode>
    std::optional<Value> load(const std::string& path, Decode&& decode) {
        const std::optional<FileStamp> before = stamp_of(path);
        if (!before) {
            m_entries.erase(path);
            return std::nullopt;
        }
        if (auto it = m_entries.find(path); it != m_entries.end() && it->second.stamp == *before) {
            return it->second.value;
        }
        m_entries.erase(path);
        Value value = decode(path);
        if (const std::optional<FileStamp> after = stamp_of(path); after && *after == *before) {
            m_entries.insert_or_assign(path, Entry{*before, value});
        }
        return value;
    }

    std::size_t size() const { return m_entries.size(); }
    void clear() { m_entries.clear(); }

  private:
    struct Entry {
        FileStamp stamp;
        Value value;
    };
    std::unordered_map<std::string, Entry> m_entries;
};

}  // namespace zuvela
