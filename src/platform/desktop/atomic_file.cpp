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

// The folder the file goes into, held open: every later step works relative to it, so a link swapped in
// for the folder meanwhile is never followed.
class Folder {
  public:
    explicit Folder(const std::string& path) : m_path(path) {
        m_fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (m_fd < 0) {
            // A symbolic link to a folder elsewhere answers ELOOP or ENOTDIR: say what it is.
            struct stat st {};
            if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
                throw PlatformError("will not write through the symbolic link " + path);
            throw PlatformError("cannot open the folder " + path + ": " + reason(errno));
        }
    }
    ~Folder() { ::close(m_fd); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }

  private:
    int m_fd = -1;
    std::string m_path;
};

// The temporary file: open until closed, removed unless kept.
class TempFile {
  public:
    explicit TempFile(const Folder& folder) : m_folder(folder) {}
    ~TempFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_name.empty()) ::unlinkat(m_folder.fd(), m_name.c_str(), 0);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // A new file beside the target, hidden, named so that no other writer picks the same name.
    void create(const std::string& name) {
        static std::atomic<unsigned> counter{0};
        std::string stem = ".";
        stem += name.substr(0, 200);
        stem += ".tmp-" + std::to_string(::getpid());
        for (int attempt = 0; attempt < 100; ++attempt) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            const std::string candidate =
                stem + "-" + std::to_string(counter++) + "-" + std::to_string(now.tv_nsec % 1000000);
            const int fd = ::openat(m_folder.fd(), candidate.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
            if (fd >= 0) {
                m_fd = fd;
                m_name = candidate;
                return;
            }
            if (errno != EEXIST && errno != EINTR)
                throw PlatformError("cannot create " + shown(candidate) + ": " + reason(errno));
        }
        throw PlatformError("cannot find a free temporary name for " + shown(name));
    }

    void write_all(std::span<const std::byte> bytes) {
        const std::byte* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(m_fd, p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                throw PlatformError("cannot write " + shown(m_name) + ": " + reason(errno));
            }
            if (n == 0) throw PlatformError("cannot write " + shown(m_name) + ": nothing written");
            p += n;
            left -= std::size_t(n);
        }
    }

    void sync_and_close() {
        if (::fsync(m_fd) != 0) throw PlatformError("cannot flush " + shown(m_name) + ": " + reason(errno));
        const int fd = m_fd;
        m_fd = -1;
        // close() may report a write the disk refused late (network file systems).
        if (::close(fd) != 0 && errno != EINTR)
            throw PlatformError("cannot close " + shown(m_name) + ": " + reason(errno));
    }

    void rename_to(const std::string& name) {
        if (::renameat(m_folder.fd(), m_name.c_str(), m_folder.fd(), name.c_str()) != 0)
            throw PlatformError("cannot replace " + shown(name) + ": " + reason(errno));
        m_name.clear();  // it is the target now
    }

  private:
    std::string shown(const std::string& name) const { return m_folder.path() + "/" + name; }

    const Folder& m_folder;
    int m_fd = -1;
    std::string m_name;
};

}  // namespace

void write_file_atomically(const std::string& path, std::span<const std::byte> bytes) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") throw PlatformError("not a file name: " + path);
    const std::string folder_path = slash == std::string::npos ? std::string(".")
                                    : slash == 0               ? std::string("/")
                                                               : path.substr(0, slash);

    const Folder folder(folder_path);
    TempFile temp(folder);
    temp.create(name);
    temp.write_all(bytes);
    temp.sync_and_close();
    temp.rename_to(name);
    ::fsync(folder.fd());
}

}  // namespace zuvela
