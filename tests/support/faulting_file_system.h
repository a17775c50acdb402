#pragma once

#include "core/files/file_system.h"

#include <functional>

namespace qvr::test {

// Thrown at the step a FaultingFileSystem cuts at: the program stops there,
// as in a crash, and nothing after it happens.
struct CutShort {
    int step = 0;
};

// The installed file system with every change counted: create, replace,
// rename, remove and folder making are steps 0, 1, 2, ... in their order.
// One step can be made to fail (an errno value, nothing done) or cut short.
// Installed while it lives.
class FaultingFileSystem final : public FileSystem {
  public:
    FaultingFileSystem() : inner_(fileSystem()) { installFileSystem(*this); }
    ~FaultingFileSystem() override { installFileSystem(inner_); }
    FaultingFileSystem(const FaultingFileSystem&) = delete;
    FaultingFileSystem& operator=(const FaultingFileSystem&) = delete;

    void failAt(int step, int errorCode) { target_ = step, errorCode_ = errorCode; }
    void cutAt(int step) { target_ = step, errorCode_ = 0; }
    int steps() const { return steps_; }

    EntryKind entryKind(const std::filesystem::path& path) const override {
        return inner_.entryKind(path);
    }
    FileRead readFile(const std::filesystem::path& path, std::uintmax_t limit) const override {
        return inner_.readFile(path, limit);
    }
    FolderTrust folderTrust(const std::filesystem::path& path) const override {
        return inner_.folderTrust(path);
    }
    int syncFolder(const std::filesystem::path& folder) override {
        return inner_.syncFolder(folder);
    }

    FileWriteResult createFile(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes) override {
        if (const int error = step())
            return {error, "cannot create " + path.string()};
        return inner_.createFile(path, bytes);
    }
    FileWriteResult replaceFile(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes,
                                const AtomicWriteFault& fault) override {
        if (const int error = step())
            return {error, "cannot replace " + path.string()};
        return inner_.replaceFile(path, bytes, fault);
    }
    int renameEntry(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (const int error = step())
            return error;
        return inner_.renameEntry(from, to);
    }
    int removeEntry(const std::filesystem::path& path) override {
        if (const int error = step())
            return error;
        return inner_.removeEntry(path);
    }
    int makePrivateFolder(const std::filesystem::path& path) override {
        if (const int error = step())
            return error;
        return inner_.makePrivateFolder(path);
    }

  private:
    int step() {
        const int current = steps_++;
        if (current != target_)
            return 0;
        if (errorCode_ == 0)
            throw CutShort{current};
        return errorCode_;
    }

    FileSystem& inner_;
    int steps_ = 0;
    int target_ = -1;
    int errorCode_ = 0;
};

} // namespace qvr::test
