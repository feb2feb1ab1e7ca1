#include "platform/desktop/xdg_browser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <string>

extern char** environ;

namespace zuvela {

void XdgBrowser::open(const std::string& url) {
    // No shell: the address is one argument, whatever it contains. The opener gets its own session so that it
    // outlives the program, and /dev/null for its streams so it cannot write over anything of ours. setsid
    // forks it off and ends at once: the opener is never our child, so nothing waits for it and no thread of
    // ours is left behind to reap it.
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) return;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // The event thread blocks the end signals and the printer's thread SIGPIPE; a child starts as any
    // program does, with nothing blocked and every signal at its default, so that it can be ended.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    sigdelset(&all, SIGKILL);
    sigdelset(&all, SIGSTOP);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    char setsid[] = "/usr/bin/setsid";
    char fork_first[] = "--fork";
    char opener[] = "xdg-open";
    std::string address = url;
    char* argv[] = {setsid, fork_first, opener, address.data(), nullptr};
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, setsid, &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed) return;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace zuvela
