#include "platform/desktop/single_instance.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace zuvela {
namespace {

namespace fs = std::filesystem;

std::string unique_key(const char* what) {
    return "test-" + std::to_string(::getpid()) + "-" + what;
}

// Two ids that are not root and belong to nobody else; no account is needed to be them.
constexpr uid_t k_owner = 64101;
constexpr uid_t k_other = 64102;

bool become(uid_t uid) {
    return ::setgroups(0, nullptr) == 0 && ::setresgid(uid, uid, uid) == 0 && ::setresuid(uid, uid, uid) == 0;
}

bool bind_abstract(int fd, const std::string& name) {
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::memcpy(a.sun_path + 1, name.data(), name.size());
    return ::bind(fd, reinterpret_cast<sockaddr*>(&a),
                  socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size())) == 0;
}

int connect_to(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::memcpy(a.sun_path, path.c_str(), path.size() + 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string read_line(int fd) {
    std::string line;
    for (char c; ::read(fd, &c, 1) == 1 && c != '\n';) line += c;
    return line;
}

// Starts that race: each child waits at the gate, claims the key, reports whether it runs, and stays alive
// until killed, as a program would.
TEST(SingleInstance, OfStartsWithinTheSameMomentExactlyOneRunsAndACrashLeavesNothingBehind) {
    const std::string folder = test::fresh_scratch_dir("zuvela-instance-race");
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
            SingleInstance instance(folder, key);
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

    const SingleInstance after_the_crash(folder, key);
    EXPECT_TRUE(after_the_crash.is_running_copy()) << "no stale claim outlives the copies";
    ASSERT_GE(after_the_crash.fd(), 0) << "the crashed copy's socket made way";
}

TEST(SingleInstance, ALaterStartAsksTheRunningCopyForwardAndOneLeavingMakesWay) {
    const std::string folder = test::fresh_scratch_dir("zuvela-instance-forward");
    const std::string key = unique_key("forward");
    SingleInstance running(folder, key);
    ASSERT_TRUE(running.is_running_copy());
    ASSERT_GE(running.fd(), 0);
    EXPECT_FALSE(running.take_requests()) << "nobody asked yet";

    {
        const SingleInstance later(folder, key);
        EXPECT_FALSE(later.is_running_copy());
        EXPECT_TRUE(later.asked());
        EXPECT_LT(later.fd(), 0);
    }
    pollfd ready{running.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&ready, 1, 10000), 1) << "the running copy's descriptor wakes its event loop";
    EXPECT_TRUE(running.take_requests());
    EXPECT_FALSE(running.take_requests());

    EXPECT_TRUE(SingleInstance(folder, unique_key("other")).is_running_copy()) << "another display";

    // Leaving, it may still finish a print: a start meanwhile runs rather than asking a copy on its way out.
    running.give_up();
    const SingleInstance next(folder, key);
    EXPECT_TRUE(next.is_running_copy());
    EXPECT_GE(next.fd(), 0);
}

TEST(SingleInstance, ALaterStartGivesUpOnARunningCopyThatDoesNotAnswer) {
    // A copy that takes no requests (stopped, or busy) has its queue of callers full after a few starts; the
    // next ones end all the same, saying they could not ask it.
    const std::string folder = test::fresh_scratch_dir("zuvela-instance-stopped");
    const std::string key = unique_key("stopped");
    SingleInstance running(folder, key);
    ASSERT_TRUE(running.is_running_copy());
    int asked = 0;
    bool refused = false;
    for (int start = 0; start < 64 && !refused; ++start) {
        const SingleInstance later(folder, key);
        ASSERT_FALSE(later.is_running_copy());
        later.asked() ? ++asked : refused = true;
    }
    EXPECT_TRUE(refused) << asked << " starts, every one asked";
    EXPECT_GT(asked, 0);

    EXPECT_TRUE(running.take_requests());
    EXPECT_TRUE(SingleInstance(folder, key).asked()) << "answering again";
}

TEST(SingleInstance, TheSessionKeyNamesTheDisplayWhateverItsSpelling) {
    const auto x = [](const char* display) { return SingleInstance::session_key(display, nullptr, nullptr); };
    for (const char* same : {":163.0", "unix:163", ":0163", "unix/:163", "unix:0163.1"})
        EXPECT_EQ(x(same), x(":163")) << same;
    for (const char* other : {":164", ":16", "otherhost:163", ":1630"})
        EXPECT_NE(x(other), x(":163")) << other;
    EXPECT_EQ(x(":0"), x(":00"));

    const auto wayland = [](const char* name) {
        return SingleInstance::session_key("", name, "/run/user/5");
    };
    EXPECT_EQ(wayland("wayland-0"), wayland("/run/user/5/wayland-0"));
    EXPECT_NE(wayland("wayland-0"), wayland("wayland-1"));
    EXPECT_EQ(SingleInstance::session_key(":2", "wayland-0", "/run/user/5"), x(":2"))
        << "X is what SDL uses then";

    // Any key makes a name that fits a socket's path, a long one too.
    const std::string folder = test::fresh_scratch_dir("zuvela-instance-keys");
    const SingleInstance long_name(folder, wayland(std::string(300, 'w').c_str()));
    EXPECT_GE(long_name.fd(), 0);
    EXPECT_LT(long_name.socket_path().size(), sizeof(sockaddr_un::sun_path));
}

TEST(SingleInstance, AnotherUserCanNeitherClaimTheDisplayFirstNorBringTheCopyForward) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to be two users";
    const fs::path tmp = test::fresh_scratch_dir("zuvela-instance-users");
    fs::permissions(tmp, fs::perms::all | fs::perms::sticky_bit);  // what /tmp is
    const fs::path runtime = tmp / "run-owner";
    fs::create_directory(runtime);
    ASSERT_EQ(::chown(runtime.c_str(), k_owner, k_owner), 0);
    fs::permissions(runtime, fs::perms::owner_all);
    const std::string key = SingleInstance::session_key(":160", nullptr, nullptr);

    // The other user takes first whatever it can: the names of the display as abstract sockets, listened on
    // and only bound, and the folder the owner would fall back to without a runtime folder.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t squatter = ::fork();
    ASSERT_GE(squatter, 0);
    if (squatter == 0) {
        ::close(ready[0]);
        if (!become(k_other)) ::_exit(1);
        const std::string owner = std::to_string(k_owner);
        const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const int bound = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool squatted = bind_abstract(listening, "zuvela/" + owner + "/:160") &&
                              ::listen(listening, 1) == 0 &&
                              bind_abstract(bound, "zuvela/" + owner + "/wayland-wayland-0") &&
                              ::mkdir((tmp / ("zuvela-" + owner)).c_str(), 0777) == 0;
        const bool reached = ::open((runtime / "zuvela-x11-:160.lock").c_str(), O_CREAT | O_RDWR, 0666) >= 0;
        (void)::write(ready[1], squatted && !reached ? "." : "!", 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char squatted = 0;
    ASSERT_EQ(::read(ready[0], &squatted, 1), 1);
    ASSERT_EQ(squatted, '.') << "the other user could not take the names, or reached the owner's folder";

    // The owner's copy runs. It listens in its own runtime folder, and does not take the shared folder the
    // other user made for its own.
    int from_owner[2], to_owner[2];
    ASSERT_EQ(::pipe(from_owner), 0);
    ASSERT_EQ(::pipe(to_owner), 0);
    const pid_t owner = ::fork();
    ASSERT_GE(owner, 0);
    if (owner == 0) {
        ::close(from_owner[0]);
        ::close(to_owner[1]);  // the parent's close is the end
        if (!become(k_owner)) ::_exit(1);
        const std::string folder = SingleInstance::private_folder(k_owner, runtime.c_str(), tmp);
        const std::string fallback = SingleInstance::private_folder(k_owner, nullptr, tmp);
        SingleInstance instance(folder, key);
        const std::string said = std::string(folder == runtime ? "R" : "r") + (fallback.empty() ? "F" : "f") +
                                 (instance.is_running_copy() ? "C" : "c") + "\n" + instance.socket_path() +
                                 "\n";
        (void)::write(from_owner[1], said.data(), said.size());
        for (char c; ::read(to_owner[0], &c, 1) == 1;) {
            pollfd p{instance.fd(), POLLIN, 0};
            ::poll(&p, 1, 10000);
            (void)::write(from_owner[1], instance.take_requests() ? "Y" : "N", 1);
        }
        ::_exit(0);
    }
    ::close(from_owner[1]);
    ::close(to_owner[0]);
    EXPECT_EQ(read_line(from_owner[0]), "RFC")
        << "R: its runtime folder, F: not the squatted one, C: it runs";
    const std::string socket = read_line(from_owner[0]);

    // Root gets past the folder's permissions; the copy does not come forward for it.
    const int root_call = connect_to(socket);
    ASSERT_GE(root_call, 0) << socket;
    (void)::send(root_call, "R", 1, MSG_NOSIGNAL);
    char answer = 0;
    ASSERT_EQ(::write(to_owner[1], "?", 1), 1);
    ASSERT_EQ(::read(from_owner[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'N') << "brought forward by another user";
    ::close(root_call);

    // The owner's own later start is heard.
    const int later = answer_in_child([&] {
        if (!become(k_owner)) return 9;
        const SingleInstance start(runtime, key);
        return start.is_running_copy() ? 1 : start.asked() ? 0 : 2;
    });
    EXPECT_EQ(later, 0) << "1: ran beside the copy, 2: could not ask it";
    ASSERT_EQ(::write(to_owner[1], "?", 1), 1);
    ASSERT_EQ(::read(from_owner[0], &answer, 1), 1);
    EXPECT_EQ(answer, 'Y');

    ::close(to_owner[1]);
    ::waitpid(owner, nullptr, 0);
    ::kill(squatter, SIGKILL);
    ::waitpid(squatter, nullptr, 0);
    fs::remove_all(tmp);
}

}  // namespace
}  // namespace zuvela
