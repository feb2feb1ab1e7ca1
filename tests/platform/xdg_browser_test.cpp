#include "platform/desktop/xdg_browser.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace zuvela {
namespace {

namespace fs = std::filesystem;

// The fake opener records what it was given and where it runs, then renames its report into place so the
// test never reads half of it.
constexpr const char* k_fake_opener = R"(#!/bin/sh
out="$(dirname "$0")/report"
in=$(readlink /proc/$$/fd/0)
so=$(readlink /proc/$$/fd/1)
se=$(readlink /proc/$$/fd/2)
{
  echo "$#"
  for a in "$@"; do printf '%s\n' "$a"; done
  echo "$in"
  echo "$so"
  echo "$se"
  echo "$$"
  awk '{ print $6 }' /proc/$$/stat
  # Read by the shell itself: while a command it started runs, the shell waits with every signal blocked, so
  # a grep would sometimes see that instead of what the opener was started with.
  while IFS= read -r line; do
    case "$line" in SigBlk:*|SigIgn:*) printf '%s\n' "$line" ;; esac
  done </proc/$$/status
} > "$out.tmp"
mv "$out.tmp" "$out"
)";

struct ChildState {
    int count = 0;
    int zombies = 0;
};

ChildState children_of_this_process() {
    ChildState state;
    const std::string me = std::to_string(::getpid());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "stat");
        std::string line;
        if (!std::getline(in, line)) continue;
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string status, parent;
        rest >> status >> parent;
        if (parent != me) continue;
        ++state.count;
        state.zombies += status == "Z";
    }
    return state;
}

template <class Condition>
bool eventually(Condition condition) {
    // Generous: the machine may be busy. Only the outcome is checked, never how long it took.
    for (int i = 0; i < 1000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return condition();
}

class XdgBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zuvela-xdg-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "bin");
        const char* path = std::getenv("PATH");
        old_path = path ? path : "";
    }
    void TearDown() override {
        ::setenv("PATH", old_path.c_str(), 1);
        fs::remove_all(dir);
    }

    void install_fake_opener() {
        const fs::path script = dir / "bin" / "xdg-open";
        std::ofstream(script) << k_fake_opener;
        fs::permissions(script, fs::perms::owner_all);
        ::setenv("PATH", ((dir / "bin").string() + ":" + old_path).c_str(), 1);
    }

    std::vector<std::string> report_lines() const {
        std::ifstream in(dir / "bin" / "report");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    fs::path dir;
    std::string old_path;
    XdgBrowser browser;
};

TEST_F(XdgBrowserTest, HandsTheAddressOverAsOneArgumentInItsOwnSession) {
    install_fake_opener();
    const fs::path canary = dir / "expanded";
    const std::string url =
        "https://x.example/a b;$(touch " + canary.string() + ")`touch " + canary.string() + "`&x=*'\"|$HOME";
    // Opened from a thread that blocks what the event thread blocks and ignores what a caller might ignore.
    std::thread([&] {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (int s : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) sigaddset(&blocked, s);
        pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction before {};
        sigaction(SIGUSR1, &ignore, &before);
        browser.open(url);
        sigaction(SIGUSR1, &before, nullptr);
    }).join();

    ASSERT_TRUE(eventually([&] { return fs::exists(dir / "bin" / "report"); })) << "the opener never ran";
    const std::vector<std::string> lines = report_lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "1") << "one argument";
    EXPECT_EQ(lines[1], url) << "passed as it is";
    EXPECT_FALSE(fs::exists(canary)) << "no shell saw the address";
    EXPECT_EQ(lines[2], "/dev/null") << "stdin";
    EXPECT_EQ(lines[3], "/dev/null") << "stdout";
    EXPECT_EQ(lines[4], "/dev/null") << "stderr";
    EXPECT_EQ(lines[5], lines[6]) << "the opener leads its own session";
    EXPECT_NE(lines[6], std::to_string(::getsid(0)));
    EXPECT_EQ(lines[7], "SigBlk:\t0000000000000000") << "nothing blocked";
    // Of the ignored ones only the standard signals count: the C library keeps two real-time ones for itself.
    ASSERT_EQ(lines[8].rfind("SigIgn:\t", 0), 0u);
    EXPECT_EQ(std::stoull(lines[8].substr(8), nullptr, 16) & 0x7fffffffu, 0u)
        << lines[8] << ": nothing ignored";

    EXPECT_TRUE(eventually([] { return children_of_this_process().count == 0; }))
        << "the opener is reaped, no zombie stays (" << children_of_this_process().zombies << " left)";
}

TEST_F(XdgBrowserTest, WithoutAnOpenerNothingHappens) {
    ::setenv("PATH", (dir / "bin").string().c_str(), 1);
    EXPECT_NO_THROW(browser.open("https://x.example/"));
    EXPECT_NO_THROW(browser.open(""));
    EXPECT_TRUE(eventually([] { return children_of_this_process().count == 0; }));

    // Present but not runnable is the same as missing.
    std::ofstream(dir / "bin" / "xdg-open") << k_fake_opener;
    fs::permissions(dir / "bin" / "xdg-open", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_NO_THROW(browser.open("https://x.example/"));
    EXPECT_TRUE(eventually([] { return children_of_this_process().count == 0; }));
    EXPECT_FALSE(fs::exists(dir / "bin" / "report"));

    // Asked whether a browser started: not when the opener is missing, cannot run, or finds no browser
    // (xdg-open ends with 3 then); yes when it hands the address over.
    EXPECT_FALSE(browser.open_and_check("https://x.example/")) << "not runnable";
    fs::remove(dir / "bin" / "xdg-open");
    EXPECT_FALSE(browser.open_and_check("https://x.example/")) << "missing";
    std::ofstream(dir / "bin" / "xdg-open") << "#!/bin/sh\nexit 3\n";
    fs::permissions(dir / "bin" / "xdg-open", fs::perms::owner_all);
    EXPECT_FALSE(browser.open_and_check("https://x.example/")) << "no browser";
    install_fake_opener();
    EXPECT_TRUE(browser.open_and_check("https://x.example/"));
    EXPECT_TRUE(eventually([&] { return fs::exists(dir / "bin" / "report"); }));
    EXPECT_TRUE(eventually([] { return children_of_this_process().count == 0; }));
}

}  // namespace
}  // namespace zuvela
