#pragma once

#include "core/files/message_sink.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/user_folder.h"
#include "core/record/config_record.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace qvr::testing {

// A fresh program directory per test, removed afterwards.
class ProgramFolder {
  public:
    ProgramFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = info != nullptr ? info->name() : "folder";
        path_ = std::filesystem::temp_directory_path() /
                ("qvr-profiles-" + name + "-" + std::to_string(std::random_device{}()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ProgramFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    void put(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        const auto target = path_ / name;
        std::filesystem::create_directories(target.parent_path());
        std::ofstream(target, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void putText(const std::string& name, std::string_view text) const {
        put(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    std::vector<std::uint8_t> bytes(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(path_ / name); }

    // Every name below the folder, for checking that nothing else appeared.
    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
            names.push_back(std::filesystem::relative(entry.path(), path_).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_;
};

// A factory folder holding the factory files the build makes.
class FactoryFolder : public ProgramFolder {
  public:
    FactoryFolder() {
        for (const FactoryFile& file : factoryFiles())
            put(file.name, file.bytes);
    }
};

// What a start of the program makes of a user folder, by the steps the
// program takes: the folder prepared from the factory folder (a delete cut
// short finished, missing files copied in), then the profile list read and
// the current profile loaded.
struct StartedFiles {
    UserFolderReport prepared;
    RecordingMessageSink messages;
    RecordState state;
    bool loaded = false;
    int profile = 0;
};

inline StartedFiles startProgramOn(const std::filesystem::path& user,
                                   const std::filesystem::path& factory) {
    StartedFiles started;
    started.prepared = prepareUserFolder(user, factory);
    ProfileFiles files(user, started.messages, factory);
    started.loaded = files.loadProfileFiles(started.state);
    started.profile = files.currentProfileIndex();
    return started;
}

// A record whose every byte differs from its neighbours', so that any
// misplaced or missing byte shows.
inline ConfigRecord patternRecord(std::uint8_t seed) {
    ConfigRecord record{};
    auto bytes = recordBytes(record);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return record;
}

inline std::vector<std::uint8_t> fileImage(const ConfigRecord& record, std::uint8_t flag) {
    const auto image = recordFileImage(record, flag);
    return {image.begin(), image.end()};
}

} // namespace qvr::testing
