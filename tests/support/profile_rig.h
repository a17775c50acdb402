#pragma once

#include "core/profiles/factory_files.h"
#include "core/profiles/profile_list.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/profile_slots.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "gui/session/profile_session.h"
#include "support/dialog_skin.h"
#include "support/window_rig.h"

#include <QListWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <iterator>

namespace qvr::test {

// A profile's settings, told apart by one number: the first DPI stage and
// the first macro byte (a byte of each part of the record).
inline ConfigRecord profileSettings(std::uint8_t seed) {
    ConfigRecord record = factoryRecord();
    record.dpiStage[0] = seed;
    record.macroData[0] = seed;
    return record;
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// File dialogs that answer with fixed choices.
struct FixedFileDialogs final : FileDialogs {
    std::optional<std::filesystem::path> open(QWidget*, const std::filesystem::path&) override {
        return openChoice;
    }
    std::optional<std::filesystem::path> save(QWidget*, const std::filesystem::path&) override {
        return saveChoice;
    }
    bool confirmReplace(QWidget*, const std::filesystem::path&) override { return true; }
    std::optional<std::filesystem::path> openChoice, saveChoice;
};

// A main window on a virtual mouse with profiles whose settings are
// profileSettings(seed), and the profile manager driven as the user does.
struct ProfileRig {
    explicit ProfileRig(WindowRig::Mouse mouse = WindowRig::Mouse::Present) : rig(mouse) {
        writeDialogSkin(rig.dir / "Skins" / "Test");
    }

    void putProfile(int position, std::uint8_t seed) {
        const auto image = recordFileImage(profileSettings(seed), 1);
        WindowRig::writeFile(rig.dir / profileRecordFileName(position),
                             std::string(image.begin(), image.end()));
        WindowRig::writeFile(rig.dir / profileSettingsFileName(position),
                             "[Skins]\r\nPath=Test\r\nRColor=0\r\nGColor=255\r\nBColor=0\r\n\r\n"
                             "[Setting-EN]\r\nItem1=label" +
                                 std::to_string(seed) + "\r\n");
    }
    void putList(const std::vector<std::string>& names, const std::string& current) {
        ASSERT_TRUE(ProfileSlots(rig.dir).writeList(names, current).ok());
    }
    // Names at positions 0.. with seeds 10, 20, ...
    void putProfiles(const std::vector<std::string>& names, const std::string& current) {
        for (std::size_t i = 0; i < names.size(); ++i)
            putProfile(static_cast<int>(i), static_cast<std::uint8_t>(10 * (i + 1)));
        putList(names, current);
    }

    void start() {
        rig.start();
        dialogs().setFileDialogs(std::unique_ptr<FileDialogs>(files = new FixedFileDialogs));
    }

    MacroProfileDialogs& dialogs() { return rig.window->macroProfileDialogs(); }
    ProfileSession& session() { return rig.profiles(); }
    ProfileManagerDialog* manager() { return dialogs().profileManager(); }

    ProfileManagerDialog& open() {
        rig.window->clickAt(MainWindow::kConfigRect.center());
        EXPECT_NE(manager(), nullptr);
        return *manager();
    }
    // The close button; true when the manager closed.
    bool close() {
        manager()->clickAt(ProfileManagerDialog::kCloseRect.center());
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return manager() == nullptr;
    }
    void select(int row) { manager()->list().setCurrentRow(row); }
    // Lets the device thread finish what it was given (uploads run there).
    bool deviceSettled() {
        for (int i = 0; i < 1000 && rig.session->deviceQueue().busy(); ++i)
            QTest::qWait(10);
        return !rig.session->deviceQueue().busy();
    }
    // Runs the import or export the manager posted.
    void runPosted() { QCoreApplication::processEvents(); }

    // The seed of the settings on screen, and of those in a profile's file.
    int seedOnScreen() const { return rig.state().record.dpiStage[0]; }
    int seedInFile(int position) const {
        const RecordFileRead read = readRecordFile(rig.dir / profileRecordFileName(position));
        if (read.status != RecordFileStatus::Loaded)
            return -1;
        return read.recordBytes[offsetof(ConfigRecord, dpiStage)];
    }
    std::vector<std::string> names() const { return readProfileList(rig.dir / "str.ini").names; }
    int windowProfile() { return rig.profile().currentProfileIndex(); }

    WindowRig rig;
    FixedFileDialogs* files = nullptr;
};

} // namespace qvr::test
