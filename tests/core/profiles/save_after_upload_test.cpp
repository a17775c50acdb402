#include "core/device/mouse_protocol.h"
#include "core/device/trace.h"
#include "core/device/virtual_mouse.h"
#include "core/files/private_profile.h"
#include "core/profiles/save_after_upload.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

using testing::fileImage;
using testing::patternRecord;
using testing::ProgramFolder;

TEST(SaveAfterUpload, AnUploadSavesTheRecordWithProfileZeroAndThenTheLabels) {
    ProgramFolder folder;
    folder.putText("str.ini", "[Profile]\r\nCurProfileName=B\r\nItemCount=2\r\nItem0=A\r\n"
                              "Item1=B\r\n");
    folder.put("config1.bin", fileImage(patternRecord(3), 0));
    RecordingMessageSink sink;
    ProfileFiles files(folder.path(), sink);
    RecordState state;
    ASSERT_TRUE(files.loadProfileFiles(state));
    ASSERT_EQ(files.currentProfileIndex(), 1);
    state.record.activeProfile = 4; // as the mouse reported it
    files.labels() = {"L1", "L2", "L3", "L4", "L5", "L6", "L7", "L8"};
    // An export leaves the paths pointing elsewhere; the save must form them again.
    files.exportProfile(folder / "elsewhere", state.record);

    VirtualMouse mouse;
    ManualClock manual;
    TracingClock clock{manual, mouse.trace()};
    DeviceImages images;
    auto device = mouse.openCommandCollection();
    MouseProtocol protocol{*device, clock, images};
    protocol.uploadConfiguration(state.record, saveAfterUpload(files));

    const auto saved = folder.bytes("config1.bin");
    ASSERT_EQ(saved.size(), kProfileFileSize);
    EXPECT_EQ(saved[0], 1); // first-run flag
    EXPECT_EQ(saved[1], 0); // activeProfile after the upload
    EXPECT_EQ(saved, fileImage(state.record, 1));
    EXPECT_EQ(mouse.uploadsBegun(), 1);
    EXPECT_EQ(readProfileString(folder / "str1.ini", "Setting-EN", "Item1"), "L1");
    EXPECT_EQ(readProfileString(folder / "str1.ini", "Setting-EN", "Item8"), "L8");
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
} // namespace qvr
