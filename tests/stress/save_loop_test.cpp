#include "core/device/config_block.h"
#include "core/device/mouse_protocol.h"
#include "core/device/virtual_mouse.h"
#include "core/files/private_profile.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/save_after_upload.h"
#include "support/process.h"
#include "support/stress_count.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace qvr {
namespace {

// Saves in a row, as fast as the window's two-second guard would never allow:
// each one uploads and rewrites the profile files, and each leaves them valid
// and holding exactly what was saved.
TEST(SaveLoop, ManySavesInARowLeaveValidProfileFilesHoldingTheLastSave) {
    const int saves = test::stressCount(100, 1000);
    test::TempDir folder;
    test::writeText(folder / "str.ini",
                    "[Profile]\r\nCurProfileName=Game\r\nItemCount=1\r\nItem0=Game\r\n");
    const auto initial = recordFileImage(ConfigRecord{}, 0);
    test::writeBytes(folder / "config0.bin", {initial.begin(), initial.end()});
    RecordingMessageSink sink;
    ProfileFiles files(folder.path(), sink);
    RecordState state;
    ASSERT_TRUE(files.loadProfileFiles(state));

    VirtualMouse mouse;
    auto device = mouse.openCommandCollection();
    ManualClock clock;
    DeviceImages images;
    MouseProtocol protocol(*device, clock, images);
    const auto save = saveAfterUpload(files);

    for (int n = 0; n < saves; ++n) {
        SCOPED_TRACE("save " + std::to_string(n));
        state.record.dpiStage[0] = static_cast<std::uint8_t>(2 + n % 98);
        state.record.macroData[static_cast<std::size_t>(n) % kMacroPartSize] ^= 0x5A;
        files.labels()[0] = "Save " + std::to_string(n);
        protocol.uploadConfiguration(state.record, save);

        ASSERT_EQ(std::filesystem::file_size(folder / "config0.bin"), kProfileFileSize);
        const RecordFileRead read = readRecordFile(folder / "config0.bin");
        ASSERT_EQ(read.status, RecordFileStatus::Loaded);
        ASSERT_EQ(read.firstRunFlag, 1);
        const auto expected = recordBytes(state.record);
        ASSERT_TRUE(std::equal(read.recordBytes.begin(), read.recordBytes.end(), expected.begin()));
        ASSERT_EQ(readProfileString(folder / "str0.ini", "Setting-EN", "Item1"), files.labels()[0]);
    }
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(mouse.configurationBlock(), buildConfigurationBlock(state.record));
    EXPECT_EQ(mouse.uploadsBegun(), saves);
    // No temporary file piled up.
    long entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 3);
}

} // namespace
} // namespace qvr
