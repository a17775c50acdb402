#pragma once

#include <string>
#include <vector>

namespace qvr {

// Runs a desktop helper program (gsettings, xset) and reports its exit
// status, so the pointer settings can be tested without touching a desktop.
class CommandRunner {
  public:
    virtual ~CommandRunner() = default;
    // Exit status of the program, or -1 when it could not be started.
    virtual int run(const std::vector<std::string>& argv) = 0;
    // The same, keeping what the program wrote on its standard output.
    virtual int capture(const std::vector<std::string>& argv, std::string& output) = 0;
};

// Starts the program from PATH with its output discarded and waits for it.
class SpawnCommandRunner final : public CommandRunner {
  public:
    int run(const std::vector<std::string>& argv) override;
    int capture(const std::vector<std::string>& argv, std::string& output) override;

  private:
    int spawn(const std::vector<std::string>& argv, std::string* output);
};

} // namespace qvr
