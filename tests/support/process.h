#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qvr::test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program with arguments (no shell quoting games) and collects its
// exit status, standard output and standard error.
ProcessResult runProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment = {});

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Runs program as the user "nobody". A build tree under a folder nobody
// cannot enter (/root is 0700) is out of its reach, so then a copy placed in
// folder runs instead. Empty when even that cannot run (no setpriv, not root).
std::optional<ProcessResult> runAsNobody(const std::filesystem::path& program,
                                         const std::vector<std::string>& args,
                                         const TempDir& folder);

std::string readText(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);

} // namespace qvr::test
