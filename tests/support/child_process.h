// A piece of a test run in a child process, for what must not touch the test process: a dropped identity, a
// capped address space, a decoder that may crash or hang. The parent learns how the child ended and what it
// sent back.
#pragma once

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace zuvela {

struct ChildEnd {
    int exit_status = -1;  // when it exited
    int signal = 0;        // when a signal ended it; SIGALRM is a child past its deadline
    std::string report;    // what the body returned

    bool exited_cleanly() const { return signal == 0 && exit_status == 0; }
    std::string describe() const {
        if (signal == SIGALRM) return "hung";
        if (signal) return "killed by signal " + std::to_string(signal);
        return "exited with status " + std::to_string(exit_status);
    }
};

namespace child_detail {

// Forks; the child runs body with the write end of a pipe to the parent and exits with what it returns (98
// when an exception escapes it). The parent keeps what comes through the pipe as the report.
inline ChildEnd fork_and_wait(const std::function<int(int)>& body, unsigned deadline_seconds) {
    ChildEnd end;
    int fds[2];
    if (::pipe(fds) != 0) return end;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return end;
    }
    if (pid == 0) {
        ::close(fds[0]);
        if (deadline_seconds) ::alarm(deadline_seconds);
        int code = 0;
        try {
            code = body(fds[1]);
        } catch (...) {
            code = 98;
        }
        // _exit skips the flush that exit would do: what the child printed would be lost.
        std::fflush(nullptr);
        ::_exit(code);
    }
    ::close(fds[1]);
    // Read before waiting: a report larger than the pipe would otherwise hold the child for ever.
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        end.report.append(buffer, std::size_t(n));
    ::close(fds[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) return end;
    if (WIFEXITED(status)) end.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
    return end;
}

}  // namespace child_detail

// Runs body in a forked child with a deadline (0: none). Its returned bytes come back as the report; an
// exception escaping it ends the child with status 98.
inline ChildEnd run_in_child(const std::function<std::string()>& body, unsigned deadline_seconds = 60) {
    return child_detail::fork_and_wait(
        [&](int fd) {
            const std::string report = body();
            for (std::size_t at = 0; at < report.size();) {
                const ssize_t n = ::write(fd, report.data() + at, report.size() - at);
                if (n <= 0) return 97;
                at += std::size_t(n);
            }
            return 0;
        },
        deadline_seconds);
}

// Runs body in a forked child with a deadline (0: none); it ends with body's answer as its exit status (98
// when an exception escapes it). The answer, or 100 + the signal that ended the child, or -1 when there was
// no child.
inline int answer_in_child(const std::function<int()>& body, unsigned deadline_seconds = 60) {
    const ChildEnd end = child_detail::fork_and_wait([&](int) { return body(); }, deadline_seconds);
    return end.signal ? 100 + end.signal : end.exit_status;
}

// In a child run as root: becomes the ordinary user "nobody", with no supplementary groups. Returns false
// when that user is missing or the change failed.
inline bool become_ordinary_user() {
    const passwd* user = ::getpwnam("nobody");
    if (!user) return false;
    return ::setgroups(0, nullptr) == 0 && ::setgid(user->pw_gid) == 0 && ::setuid(user->pw_uid) == 0 &&
           ::geteuid() != 0;
}

}  // namespace zuvela
