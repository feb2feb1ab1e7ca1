#include "platform/desktop/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/errors.h"

namespace zuvela {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

// The temporary file: open until closed, removed unless kept.
class TempFile {
  public:
    TempFile() = default;
    ~TempFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_path.empty()) ::unlink(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // A new file beside the target, hidden, named so that no other writer picks the same name.
    void create(const std::string& folder_prefix, const std::string& name) {
        static std::atomic<unsigned> counter{0};
        const std::string stem =
            folder_prefix + "." + name.substr(0, 200) + ".tmp-" + std::to_string(::getpid());
        for (int attempt = 0; attempt < 100; ++attempt) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            const std::string candidate =
                stem + "-" + std::to_string(counter++) + "-" + std::to_string(now.tv_nsec % 1000000);
            const int fd =
                ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd >= 0) {
                m_fd = fd;
                m_path = candidate;
                return;
            }
            if (errno != EEXIST && errno != EINTR)
                throw PlatformError("cannot create " + candidate + ": " + reason(errno));
        }
        throw PlatformError("cannot find a free temporary name for " + folder_prefix + name);
    }

    void write_all(std::span<const std::byte> bytes) {
        const std::byte* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(m_fd, p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                throw PlatformError("cannot write " + m_path + ": " + reason(errno));
            }
            if (n == 0) throw PlatformError("cannot write " + m_path + ": nothing written");
            p += n;
            left -= std::size_t(n);
        }
    }

    void sync_and_close() {
        if (::fsync(m_fd) != 0) throw PlatformError("cannot flush " + m_path + ": " + reason(errno));
        const int fd = m_fd;
        m_fd = -1;
        // close() may report a write the disk refused late (network file systems).
        if (::close(fd) != 0 && errno != EINTR)
            throw PlatformError("cannot close " + m_path + ": " + reason(errno));
    }

    void rename_to(const std::string& path) {
        if (::rename(m_path.c_str(), path.c_str()) != 0)
            throw PlatformError("cannot replace " + path + ": " + reason(errno));
        m_path.clear();  // it is the target now
    }

  private:
    int m_fd = -1;
    std::string m_path;
};

void sync_folder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void write_file_atomically(const std::string& path, std::span<const std::byte> bytes) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") throw PlatformError("not a file name: " + path);
    const std::string folder_prefix = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string folder = folder_prefix.empty() ? std::string(".") : folder_prefix;

    TempFile temp;
    temp.create(folder_prefix, name);
    temp.write_all(bytes);
    temp.sync_and_close();
    temp.rename_to(path);
    sync_folder(folder);
}

}  // namespace zuvela
