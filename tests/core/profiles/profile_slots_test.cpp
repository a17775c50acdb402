// Profile files that travel with their names: delete, copy and new, and
// every change of user data cut short at every one of its steps.
#include "core/files/file_journal.h"
#include "core/files/ini_file.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_store.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_list.h"
#include "core/profiles/profile_slots.h"
#include "core/profiles/save_after_upload.h"
#include "core/profiles/unsaved_edits.h"
#include "support/faulting_file_system.h"
#include "support/program_folder.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace qvr {
namespace {

using testing::FactoryFolder;
using testing::fileImage;
using testing::patternRecord;
using testing::ProgramFolder;
using testing::StartedFiles;
using testing::startProgramOn;
using Names = std::vector<std::string>;

// Position n holds profile "P<seed>" whose record and label tell its seed.
void putProfile(const ProgramFolder& folder, int position, std::uint8_t seed) {
    folder.put(profileRecordFileName(position), fileImage(patternRecord(seed), 1));
    folder.putText(profileSettingsFileName(position),
                   "[Setting-EN]\r\nItem1=label" + std::to_string(seed) + "\r\n");
}

void putList(const ProgramFolder& folder, const Names& names, const std::string& current) {
    ASSERT_TRUE(ProfileSlots(folder.path()).writeList(names, current).ok());
}

// The names of the list, each with the seed its files hold (-1: unreadable
// or holding another profile's record and label).
std::vector<std::pair<std::string, int>> profilesOnDisk(const ProgramFolder& folder) {
    std::vector<std::pair<std::string, int>> result;
    const ProfileList list = readProfileList(folder / "str.ini");
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        const int position = static_cast<int>(i);
        int seed = -1;
        const auto image = folder.bytes(profileRecordFileName(position));
        for (int s = 0; s < 256 && seed < 0; ++s) {
            const auto label = loadIniFile(folder / profileSettingsFileName(position))
                                   .file.value("Setting-EN", "Item1");
            if (image == fileImage(patternRecord(static_cast<std::uint8_t>(s)), 1) &&
                label == "label" + std::to_string(s))
                seed = s;
        }
        result.emplace_back(list.names[i], seed);
    }
    return result;
}

// Every file of the folder by name, and each listed name with its files.
struct FolderState {
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::map<std::string, std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>>> profiles;
    Names names;
};

FolderState folderState(const ProgramFolder& folder) {
    FolderState state;
    for (const std::string& name : folder.listing())
        state.files[name] = folder.bytes(name);
    state.names = readProfileList(folder / "str.ini").names;
    for (std::size_t i = 0; i < state.names.size(); ++i) {
        const int position = static_cast<int>(i);
        state.profiles[state.names[i]] = {folder.bytes(profileRecordFileName(position)),
                                          folder.bytes(profileSettingsFileName(position))};
    }
    return state;
}

class ProfileSlotsTest : public ::testing::Test {
  protected:
    // Four profiles: A, B, C and D, seeds 10, 20, 30 and 40.
    void SetUp() override {
        for (int i = 0; i < 4; ++i)
            putProfile(folder, i, static_cast<std::uint8_t>(10 * (i + 1)));
        putList(folder, names, "B");
    }

    ProgramFolder folder;
    FactoryFolder factory;
    Names names{"A", "B", "C", "D"};
};

TEST_F(ProfileSlotsTest, DeleteMovesTheLaterProfilesFilesDownWithTheirNames) {
    struct Case {
        int position;
        std::vector<std::pair<std::string, int>> expected;
    };
    const Case cases[] = {
        {0, {{"B", 20}, {"C", 30}, {"D", 40}}},
        {2, {{"A", 10}, {"B", 20}, {"D", 40}}},
        {3, {{"A", 10}, {"B", 20}, {"C", 30}}},
    };
    for (const Case& c : cases) {
        SetUp();
        ASSERT_TRUE(ProfileSlots(folder.path()).deleteProfile(names, c.position, "B").ok());
        EXPECT_EQ(profilesOnDisk(folder), c.expected) << "deleting position " << c.position;
        EXPECT_FALSE(folder.exists("config3.bin"));
        EXPECT_FALSE(folder.exists("str3.ini"));
        const ProfileList list = readProfileList(folder / "str.ini");
        EXPECT_EQ(list.currentName, "B");
        EXPECT_FALSE(list.pendingDelete);
    }
}

// The note of a delete as an earlier version wrote it: the position only.
void noteAsWrittenBefore(const ProgramFolder& folder) {
    IniFile list = loadIniFile(folder / "str.ini").file;
    list.removeKey(settings_keys::kProfileSection, settings_keys::kPendingDeleteDone);
    folder.put("str.ini", list.toBytes());
}

TEST_F(ProfileSlotsTest, ADeleteCutShortAtAnyStepIsFinishedByTheNextStart) {
    enum class Before { Nothing, NoteOfAnEarlierVersion, GapsFilled };
    for (int position = 0; position < 4; ++position) {
        // The window's profile B, or C when B goes.
        const std::string current = position == 1 ? "C" : "B";
        // Record the steps of an undisturbed delete first.
        SetUp();
        std::vector<SlotStep::Kind> steps;
        ASSERT_TRUE(ProfileSlots(folder.path(),
                                 [&](const SlotStep& s) { return steps.push_back(s.kind), 0; })
                        .deleteProfile(names, position, current)
                        .ok());
        Names remaining = names;
        remaining.erase(remaining.begin() + position);
        std::vector<std::pair<std::string, int>> expected;
        for (const std::string& name : remaining)
            expected.emplace_back(name, 10 * (name[0] - 'A' + 1));
        ASSERT_GE(steps.size(), 4u);

        for (int cut = 0; cut < static_cast<int>(steps.size()); ++cut) {
            for (const Before before :
                 {Before::Nothing, Before::NoteOfAnEarlierVersion, Before::GapsFilled}) {
                // A file change that failed leaves its gap; something may
                // fill it before the restart (a profile started from the
                // factory files when the window loads it).
                if (before == Before::GapsFilled &&
                    steps[static_cast<std::size_t>(cut)] == SlotStep::Kind::Write)
                    continue;
                SCOPED_TRACE("position " + std::to_string(position) + ", cut at step " +
                             std::to_string(cut) + ", case " +
                             std::to_string(static_cast<int>(before)));
                SetUp();
                int step = 0;
                const FileWriteResult result = ProfileSlots(folder.path(), [&](const SlotStep&) {
                                                   return step++ == cut ? EIO : 0;
                                               }).deleteProfile(names, position, current);
                EXPECT_FALSE(result.ok());
                if (before == Before::NoteOfAnEarlierVersion)
                    noteAsWrittenBefore(folder);
                for (int k = 0; before == Before::GapsFilled && k < 4; ++k) {
                    for (const std::string& name :
                         {profileRecordFileName(k), profileSettingsFileName(k)}) {
                        if (!folder.exists(name))
                            folder.put(name, factory.bytes(name));
                    }
                }

                // The restart: every remaining profile with its own settings.
                const StartedFiles started = startProgramOn(folder.path(), factory.path());
                EXPECT_TRUE(started.prepared.problems.empty());
                EXPECT_TRUE(started.loaded);
                EXPECT_TRUE(started.messages.messages.empty());
                const auto onDisk = profilesOnDisk(folder);
                // Cut before the note was written, the delete simply did not happen.
                Names listed;
                if (onDisk.size() == names.size()) {
                    EXPECT_EQ(cut, 0);
                    listed = names;
                } else {
                    EXPECT_EQ(onDisk, expected);
                    listed = remaining;
                }
                const ProfileList list = readProfileList(folder / "str.ini");
                EXPECT_FALSE(list.pendingDelete);
                ASSERT_LT(started.profile, static_cast<int>(listed.size()));
                EXPECT_EQ(listed[static_cast<std::size_t>(started.profile)], list.currentName);
            }
        }
    }
}

// Runs the window's save of profile B (the current one) with the record and
// label of seed.
void saveCurrentProfile(const ProgramFolder& folder, const FactoryFolder& factory,
                        const std::filesystem::path& imported, std::uint8_t seed) {
    RecordingMessageSink sink;
    ProfileFiles files(folder.path(), sink, factory.path());
    RecordState state;
    ASSERT_TRUE(files.loadProfileFiles(state));
    files.readProfileSettings();
    if (imported.empty()) {
        state.record = patternRecord(seed);
        files.labels()[0] = "label" + std::to_string(seed);
    } else {
        ASSERT_TRUE(files.importProfile(imported, state));
    }
    saveProfileFiles(files, state.record, state.pointerChanges, state.macroTableNames);
}

// The window's profile B loaded as a start loads it.
struct LoadedProfile {
    RecordingMessageSink sink;
    ProfileFiles files;
    RecordState state;

    LoadedProfile(const ProgramFolder& folder, const FactoryFolder& factory)
        : files(folder.path(), sink, factory.path()) {
        files.loadProfileFiles(state);
        files.readProfileSettings();
    }
    void save() {
        saveProfileFiles(files, state.record, state.pointerChanges, state.macroTableNames);
    }
};

// The macro manager's store holds First and Second, B's table was built from
// it, and an edit of First has since moved it behind Second: the store is
// written at every edit, the table and its names only with the profile.
void prepareMacroTable(const ProgramFolder& folder, const FactoryFolder& factory) {
    const MacroStore store(folder / "record.ini");
    store.save({"First", {"A   Dn", "20 ms", "A   Up"}, true, false, "1"});
    store.save({"Second", {"B   Dn", "20 ms", "B   Up"}, true, false, "1"});
    LoadedProfile b(folder, factory);
    b.state.record.macroData = *buildMacroTable(store.path());
    b.state.macroTableNames = store.names();
    b.save();
    store.save({"First", {"C   Dn", "20 ms", "C   Up"}, true, false, "1"});
}

// Every change of user data, cut short (a crash) or failing at each of its
// file steps, then the real start: each file is as it was or as the change
// leaves it, each listed name keeps a record and settings that belong
// together, and no temporary file or journal is left.
TEST_F(ProfileSlotsTest, AnyChangeCutShortOrFailingAtAnyStepLosesNoProfile) {
    ProgramFolder outside;
    outside.put("mine.bin", fileImage(patternRecord(60), 1));
    outside.putText("mine.ini", "[Setting-EN]\r\nItem1=label60\r\n");
    UnsavedEdits edits;
    edits.profile = 1;
    edits.profileName = "B";
    edits.record = patternRecord(70);
    struct Operation {
        const char* name;
        std::function<void()> run;
        std::function<void()> prepare = {};
        // What must hold after the restart besides the files themselves.
        std::function<void()> check = {};
    };
    const Operation operations[] = {
        {"delete", [this] { ProfileSlots(folder.path()).deleteProfile(names, 2, "B"); }},
        {"rename",
         [this] {
             ProfileSlots(folder.path()).writeList({"A", "Bee", "C", "D"}, "Bee");
         }},
        {"save", [this] { saveCurrentProfile(folder, factory, {}, 50); }},
        {"import", [&] { saveCurrentProfile(folder, factory, outside / "mine.bin", 0); }},
        {"reset",
         [this] {
             LoadedProfile b(folder, factory);
             b.files.resetToDefaults(b.state);
             b.save();
         }},
        {"new",
         [this] {
             ProfileSlots slots(folder.path());
             if (slots.createProfile(4, 1).ok())
                 slots.writeList({"A", "B", "C", "D", "E"}, "B");
         }},
        {"copy",
         [this] {
             ProfileSlots slots(folder.path());
             if (slots.copyProfile(1, 4).ok())
                 slots.writeList({"A", "B", "C", "D", "B2"}, "B");
         }},
        {"export",
         [&] {
             LoadedProfile b(folder, factory);
             b.files.exportProfile(outside / "out", b.state.record, b.state.macroTableNames);
         }},
        {"macro OK",
         [this] {
             LoadedProfile b(folder, factory);
             const MacroStore store(folder / "record.ini");
             MacroTableNames storeNames = store.names();
             remapMacroNumbers(b.state.record, *b.state.macroTableNames, storeNames,
                               factoryRecord());
             b.state.record.macroData = *buildMacroTable(store.path());
             b.state.macroTableNames = storeNames;
             b.save();
         },
         [this] { prepareMacroTable(folder, factory); }},
        {"macro rename",
         [this] {
             renameMacroSection(folder / "record.ini", "First", "Primo",
                                macroRenameInProfiles(folder.path(), "First", "Primo"));
         },
         [this] {
             folder.putText("record.ini", ""); // the last round's rename goes
             prepareMacroTable(folder, factory);
             IniFile d = loadIniFile(folder / "str3.ini").file;
             ASSERT_TRUE(putMacroTableNames(d, {"First"}));
             folder.put("str3.ini", d.toBytes());
         },
         [this] {
             // The store and both tables that named the macro agree on its name.
             const Names stored = MacroStore(folder / "record.ini").names();
             const bool renamed = std::ranges::count(stored, "Primo") == 1;
             EXPECT_EQ(std::ranges::count(stored, "First"), renamed ? 0 : 1);
             const std::string name = renamed ? "Primo" : "First";
             EXPECT_EQ(readMacroTableNames(loadIniFile(folder / "str1.ini").file),
                       (Names{name, "Second"}));
             EXPECT_EQ(readMacroTableNames(loadIniFile(folder / "str3.ini").file), (Names{name}));
         }},
        {"recovery file",
         [&] { writeUnsavedEdits(folder / std::string(kUnsavedEditsFileName), edits); }},
        {"recovery file removed",
         [&] { removeUnsavedEdits(folder / std::string(kUnsavedEditsFileName)); },
         [&] {
             ASSERT_TRUE(
                 writeUnsavedEdits(folder / std::string(kUnsavedEditsFileName), edits).ok());
         }},
    };
    const auto setUp = [this](const Operation& operation) {
        SetUp();
        if (operation.prepare)
            operation.prepare();
        // A start has filled in the files the folder lacked.
        startProgramOn(folder.path(), factory.path());
    };
    for (const Operation& operation : operations) {
        setUp(operation);
        const FolderState before = folderState(folder);
        int steps = 0;
        {
            test::FaultingFileSystem counting;
            operation.run();
            steps = counting.steps();
        }
        startProgramOn(folder.path(), factory.path());
        const FolderState after = folderState(folder);
        EXPECT_GT(steps, 0) << operation.name;
        EXPECT_NE(before.files, after.files) << operation.name << " changes nothing";
        for (int cut = 0; cut <= steps; ++cut) {
            for (const bool crash : {true, false}) {
                SCOPED_TRACE(std::string(operation.name) +
                             (crash ? ", cut at step " : ", failing step ") + std::to_string(cut) +
                             " of " + std::to_string(steps));
                setUp(operation);
                {
                    test::FaultingFileSystem faulting;
                    crash ? faulting.cutAt(cut) : faulting.failAt(cut, EIO);
                    try {
                        operation.run();
                    } catch (const test::CutShort& cutShort) {
                        EXPECT_EQ(cutShort.step, cut);
                    }
                }

                const StartedFiles started = startProgramOn(folder.path(), factory.path());
                EXPECT_TRUE(started.prepared.problems.empty());
                EXPECT_TRUE(started.loaded);
                const ProfileList list = readProfileList(folder / "str.ini");
                EXPECT_FALSE(list.pendingDelete);
                const FolderState now = folderState(folder);
                EXPECT_TRUE(now.names == before.names || now.names == after.names)
                    << ::testing::PrintToString(now.names);
                if (cut == steps) {
                    EXPECT_EQ(now.files, after.files);
                }
                for (const auto& [name, bytes] : now.files) {
                    const auto was = before.files.find(name);
                    const auto will = after.files.find(name);
                    EXPECT_TRUE((was != before.files.end() && was->second == bytes) ||
                                (will != after.files.end() && will->second == bytes))
                        << name << " is neither as it was nor as the change leaves it";
                }
                for (const auto& [name, files] : now.profiles) {
                    const auto was = before.profiles.find(name);
                    const auto will = after.profiles.find(name);
                    EXPECT_TRUE((was != before.profiles.end() && was->second == files) ||
                                (will != after.profiles.end() && will->second == files))
                        << name << "'s record and settings do not belong together";
                }
                ASSERT_LT(started.profile, static_cast<int>(list.names.size()));
                EXPECT_EQ(list.names[static_cast<std::size_t>(started.profile)], list.currentName);
                if (operation.check)
                    operation.check();
                for (const std::string& name : folder.listing()) {
                    EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
                    EXPECT_NE(name, kFileJournalName);
                }
            }
        }
    }
}

// A Save whose journal could not be removed, then a Save of the record
// alone: the next start keeps the later one.
TEST_F(ProfileSlotsTest, AJournalThatCannotBeRemovedNeverComesBackOverALaterSave) {
    int steps = 0;
    {
        test::FaultingFileSystem counting;
        saveCurrentProfile(folder, factory, {}, 50);
        steps = counting.steps();
    }
    SetUp();
    {
        test::FaultingFileSystem faulting;
        faulting.failAt(steps - 1, EIO); // the removal
        saveCurrentProfile(folder, factory, {}, 50);
    }
    {
        LoadedProfile b(folder, factory);
        b.state.record = patternRecord(51);
        b.save();
    }
    ASSERT_TRUE(startProgramOn(folder.path(), factory.path()).loaded);
    EXPECT_EQ(folder.bytes("config1.bin"), fileImage(patternRecord(51), 1));
    EXPECT_EQ(loadIniFile(folder / "str1.ini").file.value("Setting-EN", "Item1"), "label50");
    EXPECT_FALSE(folder.exists(std::string(kFileJournalName)));
}

TEST_F(ProfileSlotsTest, ADeleteThatCannotBeFinishedKeepsTheFolderAndLoadsNothing) {
    int cut = 0;
    // Cut after the first rename; then the file the next one needs goes.
    ProfileSlots(folder.path(), [&](const SlotStep& s) {
        return s.kind == SlotStep::Kind::Rename && cut++ == 1 ? EIO : 0;
    }).deleteProfile(names, 0, "B");
    std::filesystem::remove(folder / "config2.bin");
    const auto listing = folder.listing();
    const auto list = folder.bytes("str.ini");

    const StartedFiles started = startProgramOn(folder.path(), factory.path());
    ASSERT_EQ(started.prepared.problems.size(), 1u);
    EXPECT_NE(started.prepared.problems[0].find("config2.bin"), std::string::npos);
    EXPECT_FALSE(started.loaded);
    EXPECT_EQ(folder.listing(), listing);
    EXPECT_EQ(folder.bytes("str.ini"), list);
}

TEST_F(ProfileSlotsTest, ADeleteFillsMissingFilesFirstSoNothingIsMisread) {
    std::filesystem::remove(folder / "str2.ini");
    std::filesystem::remove(folder / "config3.bin");
    int cut = 0;
    // Cut after the gaps are filled and the note written, before any removal.
    ProfileSlots(folder.path(), [&](const SlotStep& s) {
        return s.kind == SlotStep::Kind::Remove && cut++ == 0 ? EIO : 0;
    }).deleteProfile(names, 1, "A");
    EXPECT_TRUE(readProfileList(folder / "str.ini").pendingDelete);
    EXPECT_TRUE(startProgramOn(folder.path(), factory.path()).prepared.problems.empty());
    const ProfileList list = readProfileList(folder / "str.ini");
    EXPECT_EQ(list.names, (Names{"A", "C", "D"}));
    EXPECT_EQ(folder.bytes("config1.bin"), fileImage(patternRecord(30), 1));
    EXPECT_EQ(folder.bytes("str1.ini"), std::vector<std::uint8_t>{});
    // D's missing record became the factory profile rather than C's or none.
    EXPECT_EQ(folder.bytes("config2.bin"), fileImage(factoryRecord(), 0));
}

TEST_F(ProfileSlotsTest, CopyTakesTheSavedFilesAndNewTheFactoryProfileWithTheLook) {
    folder.putText("str1.ini", "[Skins]\r\nPath=Mine\r\nLan=CHS\r\n[Setting-EN]\r\nItem1=x\r\n");
    ProfileSlots slots(folder.path());
    ASSERT_TRUE(slots.copyProfile(1, 4).ok());
    EXPECT_EQ(folder.bytes("config4.bin"), folder.bytes("config1.bin"));
    EXPECT_EQ(folder.bytes("str4.ini"), folder.bytes("str1.ini"));

    putProfile(folder, 5, 99); // stale files of an earlier profile
    ASSERT_TRUE(slots.createProfile(5, 1).ok());
    EXPECT_EQ(folder.bytes("config5.bin"), fileImage(factoryRecord(), 0));
    const IniFile settings = loadIniFile(folder / "str5.ini").file;
    EXPECT_EQ(settings.value("Skins", "Path"), "Mine");
    EXPECT_EQ(settings.value("Skins", "Lan"), "CHS");
    EXPECT_NE(settings.value("Setting-EN", "Item1"), "label99");
}

TEST_F(ProfileSlotsTest, ResumeWithoutANoteChangesNothing) {
    const auto before = folder.listing();
    const auto list = folder.bytes("str.ini");
    ASSERT_TRUE(ProfileSlots(folder.path()).resumePendingDelete().ok());
    EXPECT_EQ(folder.listing(), before);
    EXPECT_EQ(folder.bytes("str.ini"), list);
}

} // namespace
} // namespace qvr
