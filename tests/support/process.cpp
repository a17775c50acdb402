#include "support/process.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qvr::test {

ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
    TempDir dir;
    const std::string outPath = dir / "out";
    const std::string errPath = dir / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> argStrings{program.string()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argStrings)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStrings;
    // A given variable replaces the inherited one (getenv takes the first).
    auto overridden = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        for (const auto& given : environment)
            if (given.rfind(name, 0) == 0)
                return true;
        return false;
    };
    for (char** e = environ; *e; ++e)
        if (!overridden(*e))
            envStrings.emplace_back(*e);
    envStrings.insert(envStrings.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& entry : envStrings)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    ProcessResult result;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}

TempDir::TempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("qvr-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::optional<ProcessResult> runAsNobody(const std::filesystem::path& program,
                                         const std::vector<std::string>& args,
                                         const TempDir& folder) {
    namespace fs = std::filesystem;
    const fs::path setpriv = "/usr/bin/setpriv";
    if (::geteuid() != 0 || !fs::exists(setpriv))
        return std::nullopt;
    const std::vector<std::string> become{"--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    const auto reaches = [&](const fs::path& path) {
        std::vector<std::string> test = become;
        test.insert(test.end(), {"test", "-x", path.string()});
        return runProcess(setpriv, test).exitCode == 0;
    };
    fs::path runnable = program;
    if (!reaches(runnable)) {
        const fs::path bin = folder / "nobody-bin";
        fs::create_directories(bin);
        fs::permissions(bin, fs::perms::all & ~fs::perms::others_write & ~fs::perms::group_write);
        runnable = bin / program.filename();
        fs::copy_file(program, runnable, fs::copy_options::overwrite_existing);
        if (!reaches(runnable))
            return std::nullopt;
    }
    std::vector<std::string> command = become;
    command.push_back(runnable.string());
    command.insert(command.end(), args.begin(), args.end());
    return runProcess(setpriv, command);
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

} // namespace qvr::test
