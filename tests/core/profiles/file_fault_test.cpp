// Every file write of the profile files and the macro store is made to fail
// at each step of the atomic write, one write at a time. Each must report the
// failure and leave every file whole: its old bytes or, for writes that went
// through before the failing one, its new bytes; never a truncated file or a
// temporary one left behind.
#include "core/macros/macro_store.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/save_after_upload.h"
#include "support/file_snapshot.h"
#include "support/process.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace qvr {
namespace {

using test::FileSnapshot;
using test::snapshotFolder;

constexpr std::array<AtomicWriteStage, 4> kStages = {
    AtomicWriteStage::CreateTemporary, AtomicWriteStage::WriteData, AtomicWriteStage::Flush,
    AtomicWriteStage::Rename};

// Fails the write numbered failingWrite (from 0) at one stage, with ENOSPC.
AtomicWriteFault failWriteAt(int failingWrite, AtomicWriteStage failingStage,
                             std::shared_ptr<int> writes) {
    return [=](AtomicWriteStage stage) {
        if (stage == AtomicWriteStage::CreateTemporary)
            ++*writes;
        return *writes - 1 == failingWrite && stage == failingStage ? ENOSPC : 0;
    };
}

// A program folder with a profile, its labels, and a macro store, plus an
// export folder.
struct Folder {
    test::TempDir root;
    std::filesystem::path program = root / "program";
    std::filesystem::path exports = root / "exports";
    RecordingMessageSink sink;
    std::unique_ptr<ProfileFiles> files;
    RecordState state;

    Folder() {
        std::filesystem::create_directories(program);
        std::filesystem::create_directories(exports);
        test::writeText(program / "str.ini",
                        "[Profile]\r\nCurProfileName=Game\r\nItemCount=1\r\nItem0=Game\r\n");
        ConfigRecord old{};
        old.dpiStage = {8, 16, 32, 64, 0, 0};
        const auto image = recordFileImage(old, 1);
        test::writeBytes(program / "config0.bin", {image.begin(), image.end()});
        test::writeText(program / "str0.ini",
                        "[Setting-EN]\r\nItem1=Click\r\n[Skins]\r\nLan=EN\r\n");
        test::writeText(program / "record.ini", "[Macro_0]\r\nDelayTimeSelStatus=1\r\n"
                                                "LoopTimeSelStatus=0\r\nMacroLoopTimes=1\r\n"
                                                "ItemCount=2\r\nItem0=A   Dn\r\nItem1=A   Up\r\n"
                                                "[Other]\r\nItemCount=0\r\n");
        test::writeText(exports / "mine.bin", "an older export");
        files = std::make_unique<ProfileFiles>(program, sink);
        EXPECT_TRUE(files->loadProfileFiles(state));
        files->readProfileSettings();
        state.record.dpiStage = {10, 20, 40, 80, 0, 0};
        files->labels() = {"Single Key-A", "Menu", "M", "Up", "Down", "DPI loop", "F", "B"};
    }

    FileSnapshot snapshot() const {
        FileSnapshot all;
        for (const auto& [name, bytes] : snapshotFolder(program))
            all["program/" + name] = bytes;
        for (const auto& [name, bytes] : snapshotFolder(exports))
            all["exports/" + name] = bytes;
        return all;
    }
};

struct FileOperation {
    const char* name;
    int writes; // atomic writes a clean run makes
    // Runs the operation; true when it reported a failure (a message, a
    // false result or a failed status).
    std::function<bool(Folder&, const AtomicWriteFault&)> run;
};

bool reportedByMessage(Folder& folder, std::size_t before) {
    return folder.sink.messages.size() > before;
}

const Macro kNewMacro{"Macro_0", {"B   Dn", "20 ms", "B   Up"}, true, false, "1"};

const std::array<FileOperation, 7> kOperations{{
    {"saveProfileRecord", 1,
     [](Folder& f, const AtomicWriteFault& fault) {
         f.files->setWriteFault(fault);
         const bool ok = f.files->saveProfileRecord(f.state.record);
         return !ok && !f.sink.messages.empty();
     }},
    {"writeButtonLabels", 1,
     [](Folder& f, const AtomicWriteFault& fault) {
         f.files->setWriteFault(fault);
         const bool ok = f.files->writeButtonLabels();
         return !ok && !f.sink.messages.empty();
     }},
    {"save after upload", 2,
     [](Folder& f, const AtomicWriteFault& fault) {
         f.files->setWriteFault(fault);
         saveAfterUpload (*f.files)(f.state.record);
         return reportedByMessage(f, 0);
     }},
    {"exportProfile", 4,
     [](Folder& f, const AtomicWriteFault& fault) {
         f.files->setWriteFault(fault);
         f.files->exportProfile(f.exports / "mine", f.state.record);
         return reportedByMessage(f, 0);
     }},
    {"MacroStore::save", 1,
     [](Folder& f, const AtomicWriteFault& fault) {
         const MacroSaveResult result = MacroStore(f.program / "record.ini").save(kNewMacro, fault);
         return result.status == MacroSaveStatus::Failed && result.file.errorCode == ENOSPC;
     }},
    {"MacroStore::writeLoopCount", 1,
     [](Folder& f, const AtomicWriteFault& fault) {
         const FileWriteResult result =
             MacroStore(f.program / "record.ini").writeLoopCount("Macro_0", 7, fault);
         return result.errorCode == ENOSPC;
     }},
    {"MacroStore::remove", 1,
     [](Folder& f, const AtomicWriteFault& fault) {
         const FileWriteResult result = MacroStore(f.program / "record.ini").remove("Other", fault);
         return result.errorCode == ENOSPC;
     }},
}};

TEST(FileFaults, EveryWriteFailingAtEveryStepReportsAndLeavesEveryFileWhole) {
    for (const FileOperation& operation : kOperations) {
        FileSnapshot after;
        {
            Folder clean;
            const auto writes = std::make_shared<int>(0);
            EXPECT_FALSE(operation.run(clean, failWriteAt(-1, AtomicWriteStage::Rename, writes)))
                << operation.name << " reported a failure without one";
            EXPECT_EQ(*writes, operation.writes) << operation.name;
            after = clean.snapshot();
        }
        for (int write = 0; write < operation.writes; ++write) {
            for (AtomicWriteStage stage : kStages) {
                SCOPED_TRACE(std::string(operation.name) + ", write " + std::to_string(write) +
                             ", stage " + std::to_string(static_cast<int>(stage)));
                Folder folder;
                const FileSnapshot before = folder.snapshot();
                EXPECT_NE(before, after) << "the operation changes nothing";
                EXPECT_TRUE(
                    operation.run(folder, failWriteAt(write, stage, std::make_shared<int>(0))))
                    << "the failure went unreported";
                EXPECT_EQ(test::filesNotWhole(folder.snapshot(), before, after),
                          std::vector<std::string>{});
                for (const auto& message : folder.sink.messages) {
                    if (message.caption == kWriteErrorCaption) {
                        // The code, then the file that failed and why.
                        EXPECT_EQ(message.text.rfind(
                                      writeErrorMessage({ENOSPC, folder.root.path().string()}), 0),
                                  0u)
                            << message.text;
                        EXPECT_NE(message.text.find(std::strerror(ENOSPC)), std::string::npos);
                    }
                }
            }
        }
    }
}

// A failed record write must leave the profile loadable with its old record:
// the next start finds the settings the mouse was last given before.
TEST(FileFaults, AFailedRecordSaveLeavesTheOldProfileLoadable) {
    for (AtomicWriteStage stage : kStages) {
        Folder folder;
        folder.files->setWriteFault(failWriteAt(0, stage, std::make_shared<int>(0)));
        EXPECT_FALSE(folder.files->saveProfileRecord(folder.state.record));
        const RecordFileRead read = readRecordFile(folder.program / "config0.bin");
        ASSERT_EQ(read.status, RecordFileStatus::Loaded);
        EXPECT_EQ(read.recordBytes[offsetof(ConfigRecord, dpiStage) + 3], 64);
    }
}

} // namespace
} // namespace qvr
