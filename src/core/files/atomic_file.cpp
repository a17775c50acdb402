#include "core/files/atomic_file.h"

#include "core/files/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <system_error>

namespace qvr {
namespace {

namespace fs = std::filesystem;

FileWriteResult failure(int errorCode, const std::string& what) {
    if (errorCode == 0) {
        errorCode = EIO; // the library failed without telling why
    }
    return {errorCode, what + ": " + std::strerror(errorCode)};
}

int injected(const AtomicWriteFault& fault, AtomicWriteStage stage) {
    return fault ? fault(stage) : 0;
}

// A name no other writer uses, in the target's folder so that the rename never
// crosses file systems.
fs::path temporaryNameFor(const fs::path& target, unsigned attempt) {
    static thread_local std::mt19937 generator{std::random_device{}()};
    const auto suffix = std::to_string(generator()) + "-" + std::to_string(attempt);
    return target.parent_path() / ("." + target.filename().string() + ".tmp-" + suffix);
}

// Opens a temporary file exclusively ("x" mode), so an existing file is never
// overwritten by accident.
std::FILE* createTemporary(const fs::path& target, fs::path& created, int& errorCode) {
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const fs::path candidate = temporaryNameFor(target, attempt);
        errno = 0;
        if (std::FILE* file = std::fopen(candidate.c_str(), "wbx")) {
            created = candidate;
            return file;
        }
        errorCode = errno;
        if (errorCode != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

bool ownerMayWrite(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !fs::exists(status) ||
           (status.permissions() & fs::perms::owner_write) != fs::perms::none;
}

WriteAccessCheck accessCheck = &ownerMayWrite;

} // namespace

void setWriteAccessCheck(WriteAccessCheck check) {
    accessCheck = check != nullptr ? check : &ownerMayWrite;
}

bool mayReplaceFile(const fs::path& path) {
    return accessCheck(path);
}

FileWriteResult writeFileAtomically(const fs::path& path, std::span<const std::uint8_t> bytes,
                                    const AtomicWriteFault& fault) {
    // mayReplaceFile follows a link to the file it names.
    if (!mayReplaceFile(path)) {
        return failure(EACCES, path.string() + " is write-protected");
    }
    return fileSystem().replaceFile(path, bytes, fault);
}

FileWriteResult StandardFileSystem::replaceFile(const fs::path& path,
                                                std::span<const std::uint8_t> bytes,
                                                const AtomicWriteFault& fault) {
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(path, ec)) {
        const fs::path resolved = fs::canonical(path, ec);
        if (ec) {
            return failure(ec.value(), "cannot follow link " + path.string());
        }
        target = resolved;
    }
    if (target.filename().empty()) {
        return failure(EISDIR, "no file name in " + path.string());
    }
    int errorCode = injected(fault, AtomicWriteStage::CreateTemporary);
    if (errorCode != 0) {
        return failure(errorCode, "cannot create a temporary file beside " + target.string());
    }
    fs::path temporary;
    std::FILE* file = createTemporary(target, temporary, errorCode);
    if (file == nullptr) {
        return failure(errorCode, "cannot create a temporary file beside " + target.string());
    }

    auto abandon = [&](int code, const std::string& what) {
        if (file != nullptr) {
            std::fclose(file);
        }
        StandardFileSystem::removeEntry(temporary);
        return failure(code, what);
    };

    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        return abandon(errno, "cannot write " + temporary.string());
    }
    if ((errorCode = injected(fault, AtomicWriteStage::WriteData)) != 0) {
        return abandon(errorCode, "cannot write " + temporary.string());
    }
    errno = 0;
    if (std::fflush(file) != 0) {
        return abandon(errno, "cannot write " + temporary.string());
    }
    if ((errorCode = injected(fault, AtomicWriteStage::Flush)) != 0) {
        return abandon(errorCode, "cannot write " + temporary.string());
    }
    errno = 0;
    const int closed = std::fclose(file);
    file = nullptr;
    if (closed != 0) {
        return abandon(errno, "cannot write " + temporary.string());
    }

    // Keep the old file's permission bits; the temporary one got the defaults.
    const fs::file_status oldStatus = fs::status(target, ec);
    if (!ec && fs::exists(oldStatus)) {
        fs::permissions(temporary, oldStatus.permissions(), ec);
    }

    if ((errorCode = injected(fault, AtomicWriteStage::Rename)) != 0) {
        return abandon(errorCode, "cannot replace " + target.string());
    }
    if ((errorCode = StandardFileSystem::renameEntry(temporary, target)) != 0) {
        return abandon(errorCode, "cannot replace " + target.string());
    }
    return {};
}

} // namespace qvr
