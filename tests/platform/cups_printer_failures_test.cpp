// Failures: no server, a dead one, one that never answers. Nothing prints and leaving never waits long.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>

#include "cups_printer_fixture.h"

namespace zuvela {
namespace {

using namespace cups_test;
using cups_test::Clock;  // not the program's clock interface, zuvela::Clock

// A unix socket bound at `path` (anything there before removed); -1 when it cannot be bound.
int bound_socket(const fs::path& path) {
    fs::remove(path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
    ::close(fd);
    return -1;
}

// A unix socket nobody listens on: what a stopped cupsd leaves behind.
fs::path dead_socket() {
    const fs::path path = server_dir() / "dead.sock";
    ::close(bound_socket(path));
    return path;
}

struct Timings {
    double longest_call_ms = 0;
    double destructor_ms = 0;
    CupsPrinter::Counts counts;
};

Timings print_without_a_server(int pages, bool wait_first) {
    Timings t;
    const auto made = Clock::now();
    auto printer = std::make_unique<CupsPrinter>();
    const Raster picture = known_picture();
    for (int i = 0; i < pages; ++i) {
        const auto start = Clock::now();
        printer->print_landscape(picture);
        t.longest_call_ms = std::max(t.longest_call_ms,
                                     std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    if (wait_first) printer->wait_until_idle(milliseconds(30000));
    t.counts = printer->counts();
    const auto leaving = Clock::now();
    printer.reset();
    t.destructor_ms = std::chrono::duration<double, std::milli>(Clock::now() - leaving).count();
    (void)made;
    return t;
}

TEST_F(CupsPrinterTest, WithoutAServerNothingIsPrintedAndNobodyWaits) {
    ::setenv("CUPS_SERVER", dead_socket().c_str(), 1);
    const Timings dead = print_without_a_server(5, true);
    std::cout << "[ info ] stopped cupsd (dead socket): longest print_landscape call " << dead.longest_call_ms
              << " ms, destructor " << dead.destructor_ms << " ms, dropped " << dead.counts.dropped << "\n";
    EXPECT_EQ(dead.counts.submitted, 0);
    EXPECT_EQ(dead.counts.dropped, 5);

    ::setenv("CUPS_SERVER", (server_dir() / "no-such.sock").c_str(), 1);
    const Timings missing = print_without_a_server(3, true);
    std::cout << "[ info ] no socket at all: longest call " << missing.longest_call_ms << " ms, destructor "
              << missing.destructor_ms << " ms\n";
    EXPECT_EQ(missing.counts.dropped, 3);

    // Leaving at once, pages still waiting: the destructor does not wait for them beyond its grace.
    ::setenv("CUPS_SERVER", dead_socket().c_str(), 1);
    const Timings leaving = print_without_a_server(8, false);
    std::cout << "[ info ] leaving at once with 8 pages: longest call " << leaving.longest_call_ms
              << " ms, destructor " << leaving.destructor_ms << " ms\n";
    EXPECT_FALSE(fs::exists(out_pdf()));
}

int threads_of_this_process() {
    return int(std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

TEST_F(CupsPrinterTest, LeavingWhileAServerNeverAnswersEndsTheWorkerInsideTheGrace) {
    // A listening socket that accepts nothing: connecting succeeds, every answer is awaited in vain.
    const fs::path path = server_dir() / "silent.sock";
    const int fd = bound_socket(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::listen(fd, 16), 0);
    ::setenv("CUPS_SERVER", path.c_str(), 1);

    const int threads_before = threads_of_this_process();
    const Timings silent = print_without_a_server(2, false);
    std::cout << "[ info ] silent server: longest call " << silent.longest_call_ms << " ms, destructor "
              << silent.destructor_ms << " ms\n";
    // The server still holds the connection open: a worker left behind would still be waiting in libcups.
    EXPECT_EQ(threads_of_this_process(), threads_before) << "the worker was joined, not left behind";
    // A liveness bound, not a speed target: about 150 ms here, where waiting out libcups's own time-outs
    // takes five seconds or more.
    EXPECT_LT(silent.destructor_ms, 4000) << "leaving did not wait for the server's own time-outs";
    ::close(fd);
}

}  // namespace
}  // namespace zuvela
