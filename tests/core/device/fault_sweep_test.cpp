// Every command-collection call of each device conversation is made to fail
// once, and separately the mouse is made to vanish at that call. Whatever the
// call, the program must come through: no crash, no hang, the presence flag
// telling the truth once hotplug handling has run, every profile file whole,
// and the mouse usable again afterwards.
#include "core/device/config_block.h"
#include "core/device/device_events.h"
#include "core/device/listener.h"
#include "core/device/virtual_hid_backend.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/save_after_upload.h"
#include "support/file_snapshot.h"
#include "support/process.h"
#include "support/ui_thread.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace qvr {
namespace {

using namespace std::chrono_literals;
using test::FileSnapshot;
using test::snapshotFolder;

using FaultKind = VirtualMouse::FaultKind;

// A run that has no real waits (the clock is manual) but takes longer than
// this has hung somewhere.
constexpr auto kRunBound = 3s;
constexpr auto kEventWait = 2s;

const ButtonLabels kOldLabels = {"Click", "Menu", "M", "Up", "Down", "DPI loop", "Fwd", "Back"};
const ButtonLabels kNewLabels = {"Single Key-A", "Menu", "M", "Up", "Down", "DPI loop", "F", "B"};

// A program folder holding profile 0, a mouse that is plugged in and opened,
// and the hooks the window would give the device side.
struct Rig {
    test::TempDir folder;
    RecordingMessageSink sink;
    ProfileFiles files{folder.path(), sink};
    VirtualHidBackend backend;
    std::shared_ptr<VirtualMouse> mouse = backend.addMouse();
    ManualClock clock;
    DeviceLink link{backend, clock};
    RecordState state;
    DeviceEventHooks hooks{
        [](DeviceEventType, int) {},
        [this] {
            files.loadProfileFiles(state);
            files.readProfileSettings();
        },
        [] {},
    };

    Rig() {
        test::writeText(folder / "str.ini",
                        "[Profile]\r\nCurProfileName=Game\r\nItemCount=1\r\nItem0=Game\r\n");
        ConfigRecord old{};
        old.dpiStage = {8, 16, 32, 64, 0, 0};
        old.reportRateCode = 1;
        const auto image = recordFileImage(old, 1);
        test::writeBytes(folder / "config0.bin", {image.begin(), image.end()});
        std::string settings = "[Setting-EN]\r\n";
        for (int i = 0; i < kButtonCount; ++i)
            settings += "Item" + std::to_string(i + 1) + "=" + kOldLabels[i] + "\r\n";
        test::writeText(folder / "str0.ini", settings);

        EXPECT_TRUE(files.loadProfileFiles(state));
        files.readProfileSettings();
        EXPECT_TRUE(connectAtStartup(link, state.record));
        mouse->setSlot(0);
        // What the user changed since: DPI stages and a button label.
        state.record.dpiStage = {10, 20, 40, 80, 0, 0};
        files.labels() = kNewLabels;
        mouse->resetCallCount();
    }

    // What the hotplug monitor would deliver after the mouse vanished.
    void runHotplugHandling() {
        if (!mouse->plugged())
            onDeviceRemoval(link, hooks);
    }

    // Brings a vanished mouse back the way a user plugging it in would.
    void replug() {
        if (mouse->plugged())
            return;
        backend.plug(mouse);
        onDeviceArrival(link, state.record, hooks);
    }
};

// One conversation with the mouse, and a check that it works again after the
// fault (run on the same rig once the fault is cleared).
struct Scenario {
    std::function<void(Rig&)> run;
    std::function<void(Rig&)> expectWorking;
    // The session brings a vanished mouse back itself (and checks the
    // presence flag in between).
    bool replugsItself = false;
};

void uploadAndSave(Rig& rig) {
    rig.link.protocol().uploadConfiguration(rig.state.record, saveAfterUpload(rig.files));
}

void expectUploadLands(Rig& rig) {
    uploadAndSave(rig);
    EXPECT_EQ(rig.mouse->configurationBlock(), buildConfigurationBlock(rig.state.record));
}

void expectReadBackMatchesMouse(Rig& rig) {
    const Block block = readBackForDpiEvent(rig.link, rig.state.record);
    EXPECT_EQ(block, rig.mouse->configurationBlock());
}

const Scenario kOpenSequence{
    [](Rig& rig) {
        // The open sequence as an arrival runs it (connectAtStartup runs the same).
        onDeviceArrival(rig.link, rig.state.record, rig.hooks);
    },
    expectReadBackMatchesMouse,
};

const Scenario kUpload{uploadAndSave, expectUploadLands};

const Scenario kDpiReadBack{[](Rig& rig) { readBackForDpiEvent(rig.link, rig.state.record); },
                            expectReadBackMatchesMouse};

// A listener session: the mouse reports a DPI stage, the window handles it
// with a read-back, then the mouse reports again. The listener runs
// throughout, so a fault meets it mid-session.
void listenerSession(Rig& rig) {
    test::UiThread ui;
    Listener listener(rig.link, ui.deliverer());
    listener.start();
    rig.mouse->emitEvent(2, 1);
    const bool first =
        ui.pump([&](MouseEvent) { readBackForDpiEvent(rig.link, rig.state.record); }, kEventWait);
    EXPECT_TRUE(first) << "the first event never reached the window";
    // The fault belongs to the first event's handling; the mouse that comes
    // back afterwards is a sound one.
    rig.mouse->armFault(FaultKind::None);
    rig.runHotplugHandling();
    EXPECT_EQ(rig.link.devicePresent, rig.mouse->plugged());
    rig.replug();
    rig.mouse->emitEvent(3, 2);
    std::optional<MouseEvent> second;
    ui.pump([&](MouseEvent event) { second = event; }, kEventWait);
    EXPECT_EQ(second, (MouseEvent{DeviceEventType::DpiStage3, 2}))
        << "the listener stopped delivering";
    ui.close();
    const auto stopStart = std::chrono::steady_clock::now();
    listener.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - stopStart, 1s);
}

const Scenario kListenerSession{listenerSession, listenerSession, true};

// The number of command-collection calls a clean run makes.
int callsOf(const Scenario& scenario) {
    Rig rig;
    scenario.run(rig);
    return rig.mouse->callCount();
}

// The folder as a clean run of the scenario leaves it.
FileSnapshot filesAfterCleanRun(const Scenario& scenario) {
    Rig rig;
    scenario.run(rig);
    return snapshotFolder(rig.folder.path());
}

void sweep(const Scenario& scenario, FaultKind kind) {
    const int calls = callsOf(scenario);
    ASSERT_GT(calls, 0);
    const FileSnapshot after = filesAfterCleanRun(scenario);
    for (int at = 0; at < calls; ++at) {
        SCOPED_TRACE("fault at call " + std::to_string(at) + " of " + std::to_string(calls));
        Rig rig;
        const FileSnapshot before = snapshotFolder(rig.folder.path());
        rig.mouse->armFault(kind, at);

        const auto start = std::chrono::steady_clock::now();
        scenario.run(rig);
        rig.runHotplugHandling();
        EXPECT_LT(std::chrono::steady_clock::now() - start, kRunBound);

        EXPECT_EQ(rig.link.devicePresent, rig.mouse->plugged());
        if (kind == FaultKind::VanishAt && !scenario.replugsItself) {
            EXPECT_FALSE(rig.link.devicePresent);
        }
        EXPECT_EQ(test::filesNotWhole(snapshotFolder(rig.folder.path()), before, after),
                  std::vector<std::string>{});

        rig.mouse->armFault(FaultKind::None);
        rig.replug();
        EXPECT_TRUE(rig.link.devicePresent);
        scenario.expectWorking(rig);
    }
}

TEST(FaultSweep, OpenSequenceSurvivesAFailedCallAnywhere) {
    sweep(kOpenSequence, FaultKind::FailOnce);
}

TEST(FaultSweep, OpenSequenceSurvivesTheMouseVanishingAnywhere) {
    sweep(kOpenSequence, FaultKind::VanishAt);
}

TEST(FaultSweep, UploadWithSaveSurvivesAFailedCallAnywhere) {
    sweep(kUpload, FaultKind::FailOnce);
}

TEST(FaultSweep, UploadWithSaveSurvivesTheMouseVanishingAnywhere) {
    sweep(kUpload, FaultKind::VanishAt);
}

TEST(FaultSweep, DpiReadBackSurvivesAFailedCallAnywhere) {
    sweep(kDpiReadBack, FaultKind::FailOnce);
}

TEST(FaultSweep, DpiReadBackSurvivesTheMouseVanishingAnywhere) {
    sweep(kDpiReadBack, FaultKind::VanishAt);
}

TEST(FaultSweep, ListenerSessionSurvivesAFailedCallAnywhere) {
    sweep(kListenerSession, FaultKind::FailOnce);
}

TEST(FaultSweep, ListenerSessionSurvivesTheMouseVanishingAnywhere) {
    sweep(kListenerSession, FaultKind::VanishAt);
}

// The save hook runs whatever happened on the wire, so the profile files
// hold the new record and labels even when the mouse vanished mid-upload.
TEST(FaultSweep, UploadSavesTheNewRecordEvenWhenTheMouseVanishes) {
    Rig rig;
    rig.mouse->armFault(FaultKind::VanishAt, 5);
    uploadAndSave(rig);
    const RecordFileRead saved = readRecordFile(rig.folder / "config0.bin");
    ASSERT_EQ(saved.status, RecordFileStatus::Loaded);
    EXPECT_EQ(saved.firstRunFlag, 1);
    EXPECT_EQ(saved.recordBytes[offsetof(ConfigRecord, dpiStage) + 3], 80);
    EXPECT_NE(test::readText(rig.folder / "str0.ini").find("Item1=Single Key-A"),
              std::string::npos);
}

} // namespace
} // namespace qvr
