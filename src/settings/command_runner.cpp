#include "settings/command_runner.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qvr {

int SpawnCommandRunner::run(const std::vector<std::string>& argv) {
    return spawn(argv, nullptr);
}

int SpawnCommandRunner::capture(const std::vector<std::string>& argv, std::string& output) {
    output.clear();
    return spawn(argv, &output);
}

int SpawnCommandRunner::spawn(const std::vector<std::string>& argv, std::string* output) {
    if (argv.empty())
        return -1;
    std::vector<std::string> copies = argv;
    std::vector<char*> args;
    for (auto& arg : copies)
        args.push_back(arg.data());
    args.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (output && ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output) {
        ::close(pipeEnds[1]);
        if (spawned == 0) {
            std::array<char, 512> buffer{};
            for (;;) {
                const ssize_t got = ::read(pipeEnds[0], buffer.data(), buffer.size());
                if (got > 0)
                    output->append(buffer.data(), static_cast<std::size_t>(got));
                else if (got == 0 || errno != EINTR)
                    break;
            }
        }
        ::close(pipeEnds[0]);
    }
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace qvr
