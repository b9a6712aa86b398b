#include "run_program.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace kor::testing {

ProgramRun runProgram(const std::filesystem::path& program,
                      const std::map<std::string, std::string>& environment,
                      const std::vector<std::string>& arguments) {
    std::vector<std::string> variables;
    if (const char* path = std::getenv("PATH"))
        variables.push_back(std::string("PATH=") + path);
    for (const auto& [name, value] : environment)
        variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("cannot create a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);

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
    if (spawned != 0) {
        close(errorPipe[0]);
        throw std::runtime_error("cannot start " + programPath);
    }

    ProgramRun run;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(errorPipe[0], buffer, sizeof buffer);
        if (got > 0)
            run.standardError.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(errorPipe[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        run.exitStatus = WEXITSTATUS(status);
    return run;
}

} // namespace kor::testing
