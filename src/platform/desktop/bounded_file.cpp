#include "platform/desktop/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/errors.h"

namespace zuvela {

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

[[noreturn]] void too_large(const std::string& path) {
    throw PlatformError("cannot read " + path + ": the file is too large");
}

}  // namespace

std::vector<std::uint8_t> read_bounded_file(const std::string& path, std::uint64_t max_bytes) {
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) throw PlatformError("cannot open " + path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw PlatformError("cannot read " + path);
    if (!S_ISREG(st.st_mode)) throw PlatformError(path + " is not a regular file");
    if (std::uint64_t(st.st_size) > max_bytes) too_large(path);
    // One byte more than the length, to notice a file that grew since.
    std::vector<std::uint8_t> bytes(std::size_t(st.st_size) + 1);
    std::size_t length = 0;
    for (;;) {
        if (length == bytes.size()) {
            if (length > max_bytes) too_large(path);
            bytes.resize(std::size_t(std::min<std::uint64_t>(std::uint64_t(length) * 2, max_bytes + 1)));
        }
        const ssize_t n = ::read(fd.get(), bytes.data() + length, bytes.size() - length);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw PlatformError("cannot read " + path);
        if (n == 0) break;
        length += std::size_t(n);
    }
    if (length > max_bytes) too_large(path);
    bytes.resize(length);
    return bytes;
}

}  // namespace zuvela
