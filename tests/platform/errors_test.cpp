// The one error trap: it ends a handler quietly, and leaves one line on standard error for each kind of
// failure it swallowed.
#include "platform/errors.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <thread>
#include <vector>

namespace zuvela {
namespace {

struct Fault : std::logic_error {
    using std::logic_error::logic_error;
};

int lines_with(const std::string& written, const std::string& text) {
    std::istringstream in(written);
    int count = 0;
    for (std::string line; std::getline(in, line);) count += line.find(text) != std::string::npos;
    return count;
}

TEST(RunTrapped, EndsTheHandlerAndTracesEachKindOnce) {
    // Other tests in this process may have traced failures of their own.
    const std::string tag = "trap-" + std::to_string(::getpid());
    int ran = 0;
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(run_trapped([&] {
            ++ran;
            throw PlatformError("cannot open " + tag);
        }));
    }
    EXPECT_FALSE(run_trapped([&] { throw Fault(tag); }));
    EXPECT_FALSE(run_trapped([&] { throw PlatformError("cannot open " + tag + "\n\x1b[2J"); }));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) run_trapped([&] { throw Fault(tag + " in a thread"); });
        });
    for (std::thread& t : threads) t.join();
    EXPECT_TRUE(run_trapped([&] { ++ran; }));
    EXPECT_THROW(run_trapped([] { throw EndProgram{3}; }), EndProgram);
    const std::string written = testing::internal::GetCapturedStderr();

    EXPECT_EQ(ran, 4) << "each handler ended at its first failure";
    EXPECT_EQ(lines_with(written, tag), 4) << written;
    EXPECT_EQ(lines_with(written, "zuvela::PlatformError: cannot open " + tag), 2) << "two messages";
    EXPECT_EQ(lines_with(written, "Fault: " + tag), 2) << "type and message";
    EXPECT_EQ(written.find('\x1b'), std::string::npos) << "no control characters reach a terminal";
}

TEST(RunTrapped, TheTraceForgetsRatherThanGrows) {
    TrapTrace trace;
    const std::string tag = "forget-" + std::to_string(::getpid());
    testing::internal::CaptureStderr();
    trace.report(Fault(tag));
    for (std::size_t i = 0; i < TrapTrace::k_max_kinds; ++i) trace.report(Fault("kind " + std::to_string(i)));
    trace.report(Fault(tag));
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines_with(written, tag), 2) << "written again once the memory of it is gone";
}

}  // namespace
}  // namespace zuvela
