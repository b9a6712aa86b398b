// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a program and writes how its run went to descriptor 3: the wall time
// in seconds, the peak resident memory in kilobytes, the exit status (-1 when
// a signal ended it) and the signal.
//
//     run_measured PROGRAM [ARGUMENT...]
//
// The benchmarks start their programs through it because a forked child's
// peak memory counts the pages it shared with its parent until exec: this
// process is small, so the peak it reports is the program's own, not that of
// a benchmark holding a large archive or listing.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_measured PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("run_measured: cannot fork");
        return 127;
    }
    if (child == 0) {
        ::close(3);
        ::execv(argv[1], argv + 1);
        std::fprintf(stderr, "cannot run %s: %s\n", argv[1], std::strerror(errno));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0)
        if (errno != EINTR) {
            std::perror("run_measured: cannot wait");
            return 127;
        }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    char line[128];
    const int length = std::snprintf(line, sizeof line, "%.9f %ld %d %d\n", seconds,
                                     usage.ru_maxrss, exitStatus, signal);
    return ::write(3, line, static_cast<std::size_t>(length)) == length ? 0 : 127;
}
