#include "platform/desktop/single_instance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace zuvela {
namespace {

std::string unique_key(const char* what) {
    return "test-" + std::to_string(::getpid()) + "-" + what;
}

// Starts that race: each child waits at the gate, claims the key, reports whether it runs, and stays alive
// until killed, as a program would.
TEST(SingleInstance, OfStartsWithinTheSameMomentExactlyOneRunsAndACrashLeavesNothingBehind) {
    const std::string key = unique_key("race");
    int gate[2], report[2];
    ASSERT_EQ(::pipe(gate), 0);
    ASSERT_EQ(::pipe(report), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 8; ++i) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char c;
            (void)::read(gate[0], &c, 1);  // returns when the gate closes
            SingleInstance instance(key);
            const char answer = instance.is_running_copy() ? 'R' : 'L';
            (void)::write(report[1], &answer, 1);
            for (;;) ::pause();
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);  // all go at once
    std::string answers;
    while (answers.size() < children.size()) {
        char c;
        if (::read(report[0], &c, 1) != 1) break;
        answers += c;
    }
    EXPECT_EQ(std::count(answers.begin(), answers.end(), 'R'), 1) << answers;

    for (pid_t pid : children) ::kill(pid, SIGKILL);
    for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
    ::close(report[0]);
    ::close(report[1]);

    const SingleInstance after_the_crash(key);
    EXPECT_TRUE(after_the_crash.is_running_copy()) << "no stale claim outlives the copies";
}

TEST(SingleInstance, ALaterStartAsksTheRunningCopyForwardAndOtherKeysAreSeparate) {
    const std::string key = unique_key("forward");
    SingleInstance running(key);
    ASSERT_TRUE(running.is_running_copy());
    ASSERT_GE(running.fd(), 0);
    EXPECT_FALSE(running.take_requests()) << "nobody asked yet";

    {
        const SingleInstance later(key);
        EXPECT_FALSE(later.is_running_copy());
        EXPECT_LT(later.fd(), 0);
    }
    pollfd ready{running.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 10000), 1) << "the running copy's descriptor wakes its event loop";
    EXPECT_TRUE(running.take_requests());
    EXPECT_FALSE(running.take_requests());

    const SingleInstance another_display(unique_key("other"));
    EXPECT_TRUE(another_display.is_running_copy());

    EXPECT_EQ(SingleInstance::session_key(1000, ":0.0", nullptr),
              SingleInstance::session_key(1000, ":0", nullptr));
    EXPECT_NE(SingleInstance::session_key(1000, ":0", nullptr),
              SingleInstance::session_key(1000, ":1", nullptr));
    EXPECT_NE(SingleInstance::session_key(1000, ":0", nullptr),
              SingleInstance::session_key(1001, ":0", nullptr));
}

}  // namespace
}  // namespace zuvela
