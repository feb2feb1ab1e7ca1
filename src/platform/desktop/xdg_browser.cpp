#include "platform/desktop/xdg_browser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

extern char** environ;

namespace zuvela {

namespace {

// No shell sees the address as a command: it is one argument, whatever it contains. The opener gets its own
// session so that it outlives the program, and /dev/null for its streams so it cannot write over anything of
// ours. setsid forks it off and ends at once: the opener is never our child, so nothing waits for it and no
// thread of ours is left behind to reap it. `answer`, when not -1, becomes the opener's descriptor 3.
bool start_detached(char* const argv[], int answer) {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (answer >= 0) posix_spawn_file_actions_adddup2(&actions, answer, 3);
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

    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[0], &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void XdgBrowser::open(const std::string& url) {
    char setsid[] = "/usr/bin/setsid";
    char fork_first[] = "--fork";
    char opener[] = "xdg-open";
    std::string address = url;
    char* argv[] = {setsid, fork_first, opener, address.data(), nullptr};
    start_detached(argv, -1);
}

bool XdgBrowser::open_and_check(const std::string& url) {
    int answer[2];
    if (pipe2(answer, O_CLOEXEC) != 0) {
        open(url);
        return true;
    }
    // Descriptor 3 as it is would keep its close-on-exec flag through the dup2 to itself.
    if (answer[1] == 3) {
        const int moved = fcntl(answer[1], F_DUPFD_CLOEXEC, 4);
        close(answer[1]);
        answer[1] = moved;
    }
    // A shell between setsid and the opener says how the opener ended; the address is the shell's $1, never
    // part of its script. The opener itself (and a browser it runs) does not get the answer's pipe.
    char setsid[] = "/usr/bin/setsid";
    char fork_first[] = "--fork";
    char shell[] = "/bin/sh";
    char dash_c[] = "-c";
    char script[] = "xdg-open \"$1\" 3>&-; echo $? >&3";
    char name[] = "zuvela-open";
    std::string address = url;
    char* argv[] = {setsid, fork_first, shell, dash_c, script, name, address.data(), nullptr};
    const bool started = answer[1] >= 0 && start_detached(argv, answer[1]);
    if (answer[1] >= 0) close(answer[1]);

    // No answer in time: a browser runs (xdg-open stays with it on some desktops), or is about to.
    bool browser = started;
    pollfd ready{answer[0], POLLIN, 0};
    int polled;
    while ((polled = poll(&ready, 1, int(k_answer_within.count()))) < 0 && errno == EINTR) {
    }
    if (started && polled == 1) {
        char text[8] = {};
        ssize_t n;
        while ((n = read(answer[0], text, sizeof text - 1)) < 0 && errno == EINTR) {
        }
        // Nothing at all: the shell or the opener could not even be run.
        browser = n > 0 && text[0] == '0' && (text[1] == '\n' || text[1] == '\0');
    }
    close(answer[0]);
    return browser;
}

}  // namespace zuvela
