// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_program.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace kor::testing {

ProgramRun runProgram(const std::filesystem::path& program,
                      const std::map<std::string, std::string>& environment,
                      const std::vector<std::string>& arguments) {
    std::vector<std::string> variables;
    if (const char* path = std::getenv("PATH"))
        variables.push_back(std::string("PATH=") + path);
    // The program speaks the tests' language unless the test chooses one.
    constexpr const char* LocaleNames[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    const bool localeChosen =
        std::any_of(std::begin(LocaleNames), std::end(LocaleNames),
                    [&](const char* name) { return environment.contains(name); });
    for (const char* name : LocaleNames)
        if (const char* value = std::getenv(name); value && !localeChosen)
            variables.push_back(std::string(name) + "=" + value);
    for (const auto& [name, value] : environment)
        variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot create a pipe");
    int outputPipe[2];
    if (pipe2(outputPipe, O_CLOEXEC) != 0) {
        close(errorPipe[0]);
        close(errorPipe[1]);
        throw std::runtime_error("cannot create a pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDOUT_FILENO);

    std::string programPath = program.string();
    std::vector<std::string> argumentCopies = arguments;
    std::vector<char*> argv{programPath.data()};
    for (auto& argument : argumentCopies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, programPath.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(errorPipe[1]);
    close(outputPipe[1]);
    if (spawned != 0) {
        close(errorPipe[0]);
        close(outputPipe[0]);
        throw std::runtime_error("cannot start " + programPath);
    }

    // Both pipes are drained together, so that a program filling one while
    // the other is read cannot stall.
    ProgramRun run;
    pollfd pipes[2] = {{errorPipe[0], POLLIN, 0}, {outputPipe[0], POLLIN, 0}};
    std::string* texts[2] = {&run.standardError, &run.standardOutput};
    char buffer[4096];
    while (pipes[0].fd >= 0 || pipes[1].fd >= 0) {
        if (poll(pipes, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (pipes[i].fd < 0 || pipes[i].revents == 0)
                continue;
            const ssize_t got = read(pipes[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                texts[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(pipes[i].fd);
                pipes[i].fd = -1;
            }
        }
    }
    for (const pollfd& pipe : pipes)
        if (pipe.fd >= 0)
            close(pipe.fd);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        run.exitStatus = WEXITSTATUS(status);
    return run;
}

} // namespace kor::testing
