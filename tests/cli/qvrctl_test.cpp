#include "core/record/config_record.h"
#include "support/process.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace qvr {
namespace {

using test::runProcess;
using test::TempDir;

const std::filesystem::path kQvrctl = std::filesystem::path(QVR_PROGRAM_DIR) / "qvrctl";

std::vector<unsigned char> profileFile(const ConfigRecord& record, unsigned char flag = 1) {
    std::vector<unsigned char> bytes{flag};
    const auto view = recordBytes(record);
    bytes.insert(bytes.end(), view.begin(), view.end());
    return bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

TEST(QvrctlEncode, PrintsTheThreeKindsOfBlockAsPlainHex) {
    TempDir dir;
    ConfigRecord record{};
    record.dpiStage = {16, 32, 48, 64, 0, 0};
    record.macroData[128] = 0x00;
    record.macroData[129] = 0x01; // macro 2: loop count 1
    record.macroData[130] = 0x0C;
    record.macroData[131] = 0x04;
    test::writeBytes(dir / "p.bin", profileFile(record));

    const auto result = runProcess(kQvrctl, {"encode", (dir / "p.bin").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 14u);
    EXPECT_EQ(out[0].rfind("config-block: 88080100", 0), 0u) << out[0];
    EXPECT_EQ(out[0].size(), std::string("config-block: ").size() + 256);
    // All-zero buttons: left click in slot 0.
    EXPECT_EQ(out[1].rfind("button-block: 0100f000", 0), 0u) << out[1];
    EXPECT_EQ(out[2], "macro-1: " + std::string(256, '0'));
    EXPECT_EQ(out[3], "macro-2: 00010c04" + std::string(248, '0'));
    EXPECT_EQ(out[13].rfind("macro-12: ", 0), 0u);
}

TEST(QvrctlEncode, FactoryFileAndAllOnesFileBothEncode) {
    TempDir dir;
    ConfigRecord ones{};
    std::fill(recordBytes(ones).begin(), recordBytes(ones).end(), 0xFF);
    test::writeBytes(dir / "ones.bin", profileFile(ones, 0xFF));
    const auto result = runProcess(kQvrctl, {"encode", (dir / "ones.bin").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 14u);
    EXPECT_EQ(out[1], "button-block: " + std::string(256, '0')); // type 255 sends nothing
    EXPECT_EQ(out[13], "macro-12: " + std::string(256, 'f'));

    const auto factory = std::filesystem::path(QVR_FACTORY_DIR) / "config0.bin";
    if (!std::filesystem::exists(factory))
        GTEST_SKIP() << "factory files are not generated in this build";
    const auto fromFactory = runProcess(kQvrctl, {"encode", factory.string()});
    ASSERT_EQ(fromFactory.exitCode, 0) << fromFactory.err;
    EXPECT_EQ(lines(fromFactory.out).size(), 14u);
}

TEST(QvrctlShow, NamesEveryFunctionTypeAndTheSettings) {
    TempDir dir;
    std::string shown;
    for (int first : {0, 8}) {
        ConfigRecord record{};
        record.reportRateCode = 2;
        record.dpiStage = {16, 32, 48, 64, 0, 0};
        setStageColor(record, 0, Rgb{0xFF, 0x80, 0x00});
        for (int i = 0; i < 8; ++i)
            record.buttonFunction[i] = static_cast<std::uint8_t>(std::min(first + i, 13));
        record.buttonWheelChoice[2] = 2;
        record.buttonMediaCode[7] = 0xE9;
        record.buttonHotKey[0] = 0x06;
        record.buttonCommand[1] = 5;
        record.buttonSingleKey[2] = 0x59;
        record.buttonComboModifiers[3] = 0x02;
        record.buttonComboKey1[3] = 0x04;
        record.buttonMacroNumber[4] = 1;
        test::writeBytes(dir / "p.bin", profileFile(record));
        const auto result = runProcess(kQvrctl, {"show", (dir / "p.bin").string()});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        shown += result.out;
    }
    for (const char* name :
         {"Click", "Menu", "Scroll Select - Mouse Scroll Up", "IE Forward", "IE Backward",
          "Double Click", "CPI Cycle", "Multimedia - Volume Up", "HotKey - Copy",
          "Windows - Show desktop", "Single Key - key Num 1", "Combo Key - modifiers Left Shift",
          "Macro Key - macro 2", "Button Off", "500 Hz", "1600 DPI", "#ff8000"})
        EXPECT_NE(shown.find(name), std::string::npos) << name << "\n" << shown;
}

// The profile's settings file says which macro each image is; the listing
// follows the macro manager's order, the store's.
TEST(QvrctlShow, NamesMacrosByTheProfilesTableInTheManagersOrder) {
    TempDir dir;
    const std::string home = "XDG_CONFIG_HOME=" + dir.path().string();
    std::filesystem::create_directories(dir / "qvr");
    ConfigRecord record{};
    record.buttonFunction[4] = 12; // Macro Key
    record.buttonMacroNumber[4] = 1;
    record.macroData[1] = 0x01;       // image 1: loop 1, no events
    record.macroData[128 + 1] = 0x02; // image 2: loop 2
    test::writeBytes(dir / "qvr" / "config2.bin", profileFile(record));
    std::ofstream(dir / "qvr" / "str2.ini", std::ios::binary)
        << "[Skins]\r\nPath=Carbon\r\n[MacroTable]\r\nItemCount=2\r\nItem0=Macro_1\r\n"
           "Item1=Macro_0\r\n";
    std::ofstream(dir / "qvr" / "record.ini", std::ios::binary)
        << "[Macro_0]\r\nMacroLoopTimes=2\r\n[Macro_1]\r\nMacroLoopTimes=1\r\n";
    const auto result = runProcess(kQvrctl, {"show", "2"}, {home});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Macro Key - macro Macro_0 (sent as macro 2), repeat mode 0"),
              std::string::npos)
        << result.out;
    const auto out = lines(result.out);
    const auto macros = std::find(out.begin(), out.end(), "macros:");
    ASSERT_GE(out.end() - macros, 13);
    EXPECT_EQ(macros[1], "  Macro_0 (sent as macro 2): loop 2:");
    EXPECT_EQ(macros[2], "  Macro_1 (sent as macro 1): loop 1:");
    EXPECT_EQ(macros[3], "  macro 3: empty");

    // Without the section the window's guess, the store's order, is shown.
    std::ofstream(dir / "qvr" / "str2.ini", std::ios::binary) << "[Skins]\r\nPath=Carbon\r\n";
    const auto guessed = runProcess(kQvrctl, {"show", "2"}, {home});
    ASSERT_EQ(guessed.exitCode, 0) << guessed.err;
    EXPECT_NE(guessed.out.find("macro Macro_1 (sent as macro 2)"), std::string::npos)
        << guessed.out;
}

TEST(QvrctlMacros, BuildsTwelveImagesFromAStoreOfThirteen) {
    TempDir dir;
    std::string store;
    for (int n = 0; n < 13; ++n) {
        store += "[Macro_" + std::to_string(n) + "]\r\n";
        store += "DelayTimeSelStatus=1\r\nLoopTimeSelStatus=0\r\nMacroLoopTimes=1\r\n";
        store += "ItemCount=2\r\nItem0=A   Dn\r\nItem1=30000 ms\r\n";
    }
    test::writeText(dir / "record.ini", store);
    const auto result = runProcess(kQvrctl, {"macros", (dir / "record.ini").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 12u);
    // Loop 1, press of A with a 30000 ms delay: the six-byte form.
    EXPECT_EQ(out[0], "macro-1: 0001"
                      "0004"
                      "0003"
                      "012c" +
                          std::string(240, '0'));
    EXPECT_EQ(out[11].rfind("macro-12: 00010004", 0), 0u);
}

TEST(QvrctlUpload, SendsTheFullSequenceToTheVirtualMouseWithItsWaits) {
    TempDir dir;
    ConfigRecord record{};
    record.reportRateCode = 4;
    test::writeBytes(dir / "p.bin", profileFile(record));
    const auto trace = dir / "trace.txt";
    const auto result = runProcess(kQvrctl, {"--virtual-mouse", "--trace", trace.string(), "upload",
                                             (dir / "p.bin").string()});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto traced = lines(test::readText(trace));
    int waited = 0, macroCommands = 0, dataReports = 0;
    for (const auto& line : traced) {
        if (line.rfind("wait ", 0) == 0)
            waited += std::stoi(line.substr(5));
        macroCommands += line.rfind("set-feature 00 0f ", 0) == 0;
        dataReports += line.rfind("write 00 ", 0) == 0;
    }
    EXPECT_EQ(waited, 832);
    EXPECT_EQ(macroCommands, 12);
    EXPECT_EQ(dataReports, 28);
    ASSERT_GE(traced.size(), 5u);
    EXPECT_EQ(traced[0], "set-feature 00 82 00 00 00 00 00 00 7d"); // the open sequence
    EXPECT_EQ(traced[3], "set-feature 00 02 00 00 00 00 00 00 fd");
    EXPECT_EQ(traced[5], "set-feature 00 03 00 04 00 00 00 00 f8");
}

TEST(QvrctlListen, PrintsTheMouseSwitchesOneALine) {
    const auto result = runProcess(kQvrctl, {"--virtual-mouse", "--virtual-event", "1:3",
                                             "--virtual-event", "9:2", "listen", "--count", "2"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "DPI stage 3\nmacro key 2\n");
}

TEST(QvrctlOptions, OptionsAfterTheCommandWorkAsBeforeIt) {
    TempDir dir;
    test::writeBytes(dir / "p.bin", profileFile(ConfigRecord{}));
    const std::string profile = (dir / "p.bin").string();
    const std::string trace = (dir / "trace.txt").string();
    struct Case {
        std::vector<std::string> args;
        std::string firstLine;
    } cases[] = {
        {{"info", "--virtual-mouse"},
         "collection virtual:mouse0:command: usage page 0xFF00, "
         "usage 0xFF00, input 65, output 65, feature 9 bytes"},
        {{"read-block", "--virtual-mouse"}, "slot: 0"},
        {{"upload", profile, "--virtual-mouse", "--trace", trace}, "uploaded " + profile},
        {{"upload", "--virtual-mouse", "--", profile}, "uploaded " + profile},
        {{"listen", "--count", "1", "--virtual-mouse", "--virtual-event", "9:4"}, "macro key 4"},
        {{"--virtual-mouse", "listen", "--virtual-event", "2:1", "--count", "1"}, "DPI stage 1"},
    };
    for (const auto& c : cases) {
        const auto result = runProcess(kQvrctl, c.args);
        ASSERT_EQ(result.exitCode, 0) << testing::PrintToString(c.args) << result.err;
        EXPECT_EQ(lines(result.out).at(0), c.firstLine) << testing::PrintToString(c.args);
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(lines(test::readText(trace)).at(0), "set-feature 00 82 00 00 00 00 00 00 7d");
}

TEST(QvrctlReadBlock, ReadsTheSlotAndBlockBack) {
    const auto result = runProcess(kQvrctl, {"--virtual-mouse", "read-block"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto out = lines(result.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "slot: 0");
    EXPECT_EQ(out[1].rfind("config-block: 88083f00", 0), 0u);
}

TEST(QvrctlErrors, EachCauseHasItsStatusAndOneSentence) {
    TempDir dir;
    test::writeBytes(dir / "short.bin", std::vector<unsigned char>(1756, 0));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string says;
    } cases[] = {
        {{}, 1, "no command"},
        {{"frobnicate"}, 1, "unknown command"},
        {{"--bogus", "info"}, 1, "unknown option"},
        {{"show"}, 1, "one profile file"},
        {{"listen", "--count", "x"}, 1, "positive number"},
        // Numbers are read whole.
        {{"--virtual-mouse", "listen", "--count", "1abc"}, 1, "positive number"},
        {{"--virtual-mouse", "listen", "--count", " 1"}, 1, "positive number"},
        {{"--virtual-mouse", "listen", "--count", "0"}, 1, "positive number"},
        {{"--virtual-mouse", "--virtual-event", "1x:3", "listen"}, 1, "TYPE:VALUE"},
        {{"--virtual-mouse", "--virtual-event", "1:256", "listen"}, 1, "TYPE:VALUE"},
        {{"listen", "--count"}, 1, "needs a value"},
        // After the command an unknown option is still an option, and --count is listen's.
        {{"show", "--bogus"}, 1, "unknown option --bogus"},
        {{"upload", "0", "--virtual-mose"}, 1, "unknown option --virtual-mose"},
        {{"show", "--count", "1", "p.bin"}, 1, "listen only"},
        {{"--count", "1", "read-block"}, 1, "listen only"},
        {{"info", "extra"}, 1, "no arguments"},
        {{"read-block", "--virtual-mouse", "extra"}, 1, "no arguments"},
        {{"--virtual-mouse", "listen", "2"}, 1, "no arguments"},
        // "--" ends the options: what follows is a file name.
        {{"show", "--", "--bogus"}, 3, "cannot read --bogus."},
        {{"show", (dir / "missing.bin").string()}, 3, "cannot read"},
        {{"show", (dir / "short.bin").string()}, 3, "1756 bytes"},
        {{"encode", dir.path().string()}, 3, ""},
        {{"macros", (dir / "none.ini").string()}, 3, "cannot read"},
        {{"read-block"}, 2, "not found"}, // no hidraw device on a test machine
        {{"--virtual-refuse", "mouse", "info"}, 1, "command or event"},
        // The advice names the mouse's own node that refused, not the last one listed.
        {{"--virtual-mouse", "--virtual-refuse", "command", "read-block"},
         2,
         "connected (virtual:mouse0:command)"},
        {{"--virtual-mouse", "--virtual-refuse", "event", "listen"}, 2, "(virtual:mouse0:event)"},
        {{"read-block", "--virtual-refuse", "command", "--virtual-mouse"},
         2,
         "connected (virtual:mouse0:command)"},
    };
    for (const auto& c : cases) {
        const auto result = runProcess(kQvrctl, c.args);
        EXPECT_EQ(result.exitCode, c.status) << testing::PrintToString(c.args) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST(QvrctlFiles, FifosDevicesAndHugeFilesAreRefusedWithoutBlockingOrReading) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "config0.bin").c_str(), 0600), 0);
    { std::ofstream(dir / "huge.bin"); }
    std::filesystem::resize_file(dir / "huge.bin", 1ull << 30); // sparse
    for (const std::string& path :
         {(dir / "config0.bin").string(), std::string("/dev/zero"), (dir / "huge.bin").string()}) {
        const auto result = runProcess(kQvrctl, {"show", path});
        EXPECT_EQ(result.exitCode, 3) << path << result.err;
        EXPECT_NE(result.err.find(path), std::string::npos) << result.err;
    }
    const auto macros = runProcess(kQvrctl, {"macros", (dir / "config0.bin").string()});
    EXPECT_EQ(macros.exitCode, 3) << macros.err;
}

TEST(QvrctlFiles, PathsAndProfileNumbersUseTheUserFolder) {
    TempDir dir;
    const std::string home = "XDG_CONFIG_HOME=" + dir.path().string();
    const auto paths = runProcess(kQvrctl, {"paths"}, {home});
    ASSERT_EQ(paths.exitCode, 0) << paths.err;
    EXPECT_EQ(lines(paths.out),
              (std::vector<std::string>{
                  "factory: " + std::filesystem::path(QVR_FACTORY_DIR).lexically_normal().string(),
                  "user: " + (dir / "qvr").string()}));

    std::filesystem::create_directories(dir / "qvr");
    ConfigRecord record{};
    record.reportRateCode = 1;
    test::writeBytes(dir / "qvr" / "config2.bin", profileFile(record));
    const auto shown = runProcess(kQvrctl, {"show", "2"}, {home});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find("report rate: 1000 Hz"), std::string::npos) << shown.out;
    const auto missing = runProcess(kQvrctl, {"encode", "3"}, {home});
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_NE(missing.err.find((dir / "qvr" / "config3.bin").string()), std::string::npos);
}

TEST(QvrctlFiles, AFreshAccountReadsTheFactoryProfileAndLeavesTheFolderToTheFirstStart) {
    const auto factory = std::filesystem::path(QVR_FACTORY_DIR).lexically_normal();
    if (!std::filesystem::exists(factory / "config4.bin"))
        GTEST_SKIP() << "factory files are not generated in this build";
    TempDir dir;
    const std::string home = "XDG_CONFIG_HOME=" + (dir / "config").string();
    const std::string factoryFile = (factory / "config4.bin").string();
    for (const std::vector<std::string>& args : {std::vector<std::string>{"show", "4"},
                                                 {"encode", "4"},
                                                 {"upload", "4", "--virtual-mouse"}}) {
        const auto result = runProcess(kQvrctl, args, {home});
        ASSERT_EQ(result.exitCode, 0) << args[0] << result.err;
        EXPECT_FALSE(result.out.empty());
        const auto said = lines(result.err);
        ASSERT_EQ(said.size(), 1u) << result.err;
        EXPECT_NE(said[0].find("factory profile " + factoryFile), std::string::npos) << said[0];
        EXPECT_NE(said[0].find((dir / "config" / "qvr").string()), std::string::npos) << said[0];
        EXPECT_FALSE(std::filesystem::exists(dir / "config" / "qvr")) << args[0];
    }
    const auto uploaded = runProcess(kQvrctl, {"--virtual-mouse", "upload", "4"}, {home});
    EXPECT_EQ(uploaded.out, "uploaded " + factoryFile + "\n");
}

// A user folder holding these profiles (each with its record file, Game
// current) and a runtime folder of its own, where no qvr runs.
struct ProfileFolder {
    explicit ProfileFolder(const std::vector<std::string>& names) {
        std::filesystem::create_directories(user);
        std::filesystem::create_directories(dir / "run");
        std::filesystem::permissions(dir / "run", std::filesystem::perms::owner_all);
        std::string list = "[Profile]\r\nCurProfileName=" + names[0] +
                           "\r\nItemCount=" + std::to_string(names.size()) + "\r\n";
        for (std::size_t i = 0; i < names.size(); ++i) {
            list += "Item" + std::to_string(i) + "=" + names[i] + "\r\n";
            ConfigRecord record{};
            record.reportRateCode = static_cast<std::uint8_t>(i);
            test::writeBytes(user / ("config" + std::to_string(i) + ".bin"), profileFile(record));
        }
        test::writeText(user / "str.ini", list);
    }
    test::ProcessResult run(std::vector<std::string> args,
                            std::vector<std::string> environment = {}) const {
        environment.push_back("XDG_CONFIG_HOME=" + (dir / "config").string());
        environment.push_back("XDG_RUNTIME_DIR=" + (dir / "run").string());
        return runProcess(kQvrctl, args, environment);
    }
    std::string currentName() const {
        for (const auto& line : lines(test::readText(user / "str.ini")))
            if (line.rfind("CurProfileName=", 0) == 0)
                return line.substr(15, line.find('\r') - 15);
        return "";
    }
    bool unsent() const { return std::filesystem::exists(user / "unsent-profile"); }

    TempDir dir;
    std::filesystem::path user = dir / "config" / "qvr";
};

TEST(QvrctlProfile, WithoutQvrTheFilesSwitchThenTheMouseEachOutcomeWithItsStatus) {
    ProfileFolder folder({"Game", "Work", "Work", "Solo"});
    const std::string trace = (folder.dir / "trace.txt").string();
    const auto sent = [&] {
        return test::readText(trace).find("set-feature 00 02 ") != std::string::npos;
    };

    auto listed = folder.run({"profile", "list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "* 0 Game\n  1 Work\n  2 Work\n  3 Solo\n");
    EXPECT_EQ(folder.run({"profile", "current"}).out, "0 Game\n");

    // The profile the mouse holds already: nothing is sent.
    auto same = folder.run({"--virtual-mouse", "--trace", trace, "profile", "switch", "Game"});
    EXPECT_EQ(same.exitCode, 0) << same.err;
    EXPECT_EQ(same.out, "Game is the current profile already\n");
    EXPECT_FALSE(sent());

    struct Refused {
        std::vector<std::string> args;
        int status;
        std::string says;
    } refused[] = {
        {{"profile"}, 1, "list, current or switch"},
        {{"profile", "switch"}, 1, "list, current or switch"},
        {{"profile", "list", "--wait", "3"}, 1, "switch only"},
        {{"show", "0", "--wait", "3"}, 1, "switch only"},
        {{"profile", "switch", "Nobody"}, 1, "no profile Nobody"},
        {{"profile", "switch", "6"}, 1, "no profile 6"},
        {{"profile", "switch", "Work"}, 1, "more than one profile"},
        // The list would make the later Work current.
        {{"profile", "switch", "1"}, 1, "more than one profile"},
    };
    for (const auto& c : refused) {
        const auto result = folder.run(c.args);
        EXPECT_EQ(result.exitCode, c.status) << testing::PrintToString(c.args) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
        EXPECT_EQ(folder.currentName(), "Game");
    }

    auto switched = folder.run({"--virtual-mouse", "--trace", trace, "profile", "switch", "2"});
    EXPECT_EQ(switched.exitCode, 0) << switched.err;
    EXPECT_EQ(switched.out, "switched to Work\n");
    EXPECT_EQ(folder.currentName(), "Work");
    EXPECT_TRUE(sent());
    EXPECT_NE(test::readText(trace).find("set-feature 00 03 00 02 "), std::string::npos);
    EXPECT_EQ(folder.run({"profile", "list"}).out, "  0 Game\n  1 Work\n* 2 Work\n  3 Solo\n");

    // No mouse: the files switch all the same, and a note keeps it for the
    // next one to find the mouse.
    auto away = folder.run({"profile", "switch", "Solo"});
    EXPECT_EQ(away.exitCode, 2) << away.err;
    EXPECT_NE(away.err.find("gets it when it comes back"), std::string::npos) << away.err;
    EXPECT_EQ(folder.currentName(), "Solo");
    EXPECT_TRUE(folder.unsent());
    auto back = folder.run({"--virtual-mouse", "--trace", trace, "profile", "switch", "Solo"});
    EXPECT_EQ(back.exitCode, 0) << back.err;
    EXPECT_EQ(back.out, "switched to Solo\n");
    EXPECT_TRUE(sent());
    EXPECT_FALSE(folder.unsent());

    // A record file that cannot be read leaves the list as it was.
    std::filesystem::remove(folder.user / "config0.bin");
    auto unreadable = folder.run({"--virtual-mouse", "profile", "switch", "Game"});
    EXPECT_EQ(unreadable.exitCode, 3) << unreadable.err;
    EXPECT_NE(unreadable.err.find("config0.bin"), std::string::npos) << unreadable.err;
    EXPECT_EQ(folder.currentName(), "Solo");

    // Before the first start there is nothing to switch.
    TempDir fresh;
    auto none = runProcess(kQvrctl, {"profile", "switch", "0"},
                           {"XDG_CONFIG_HOME=" + fresh.path().string(),
                            "XDG_RUNTIME_DIR=" + (folder.dir / "run").string()});
    EXPECT_EQ(none.exitCode, 3) << none.err;
    EXPECT_NE(none.err.find("no user folder"), std::string::npos) << none.err;
}

// A Save that a crash cut short left its journal: qvrctl finishes it before
// it reads the list or sends a record, as the window's start would.
TEST(QvrctlProfile, WithoutQvrAChangeCutShortIsFinishedFirst) {
    ProfileFolder folder({"Game", "Work"});
    ConfigRecord saved{};
    saved.reportRateCode = 3;
    const auto record = profileFile(saved);
    const std::string list = "[Profile]\r\nCurProfileName=Work\r\nItemCount=2\r\n"
                             "Item0=Game\r\nItem1=Work\r\n";
    std::string journal = "qvr-journal 1\nconfig1.bin\n" + std::to_string(record.size()) + "\n";
    journal.append(record.begin(), record.end());
    journal += "\nstr.ini\n" + std::to_string(list.size()) + "\n" + list + "\nend\n";
    test::writeText(folder.user / "changes.journal", journal);

    const auto listed = folder.run({"profile", "list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "  0 Game\n* 1 Work\n");
    EXPECT_FALSE(std::filesystem::exists(folder.user / "changes.journal"));
    const std::string written = test::readText(folder.user / "config1.bin");
    EXPECT_EQ(std::vector<unsigned char>(written.begin(), written.end()), record);

    // One that cannot be read stays for the window's start, and nothing is
    // switched past it.
    test::writeText(folder.user / "changes.journal", "qvr-journal 1\nconfig0.bin\n99");
    const auto refused = folder.run({"--virtual-mouse", "profile", "switch", "Game"});
    EXPECT_EQ(refused.exitCode, 3) << refused.err;
    EXPECT_NE(refused.err.find("cannot be finished"), std::string::npos) << refused.err;
    EXPECT_EQ(folder.currentName(), "Work");
}

TEST(QvrctlAuto, RulesAreEditedByNameWithTheProfileCommandsStatuses) {
    ProfileFolder folder({"Game", "Work", "Work", "Solo"});
    const std::vector<std::string> x11{"XDG_SESSION_TYPE=x11", "DISPLAY=:5", "WAYLAND_DISPLAY="};
    const auto list = [&] { return folder.run({"auto", "list"}, x11); };

    EXPECT_EQ(list().out, "automatic switching: on\ndefault: stay on the current profile\n"
                          "focus: X11 (the window manager's _NET_ACTIVE_WINDOW)\n");
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"auto", "add", "Firefox", "Solo"},
             {"auto", "add", "steam", "Game"},
             {"auto", "add", "firefox", "Game"}, // one rule per application
             {"auto", "default", "Solo"},
             {"auto", "off"},
         }) {
        const auto result = folder.run(args);
        EXPECT_EQ(result.exitCode, 0) << testing::PrintToString(args) << result.err;
        EXPECT_EQ(result.out, "");
    }
    EXPECT_EQ(list().out, "automatic switching: off\ndefault: Solo\nFirefox -> Game\n"
                          "steam -> Game\nfocus: X11 (the window manager's _NET_ACTIVE_WINDOW)\n");

    struct Refused {
        std::vector<std::string> args;
        int status;
        std::string says;
    } refused[] = {
        {{"auto"}, 1, "takes list, add APP PROFILE"},
        {{"auto", "add", "mpv"}, 1, "takes list"},
        {{"auto", "on", "now"}, 1, "takes list"},
        {{"auto", "add", "mpv", "Nobody"}, 1, "no profile Nobody"},
        {{"auto", "add", "mpv", "Work"}, 1, "more than one profile"},
        {{"auto", "add", "mpv", "0"}, 1, "no profile 0"}, // names, not positions
        {{"auto", "add", " ", "Game"}, 1, "not empty"},
        {{"auto", "default", "Work"}, 1, "more than one profile"},
        {{"auto", "remove", "mpv"}, 1, "no rule for mpv"},
    };
    const std::string before = test::readText(folder.user / "auto-switch.ini");
    for (const auto& c : refused) {
        const auto result = folder.run(c.args);
        EXPECT_EQ(result.exitCode, c.status) << testing::PrintToString(c.args) << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << result.err;
    }
    EXPECT_EQ(test::readText(folder.user / "auto-switch.ini"), before);

    EXPECT_EQ(folder.run({"auto", "remove", "FIREFOX"}).exitCode, 0);
    EXPECT_EQ(folder.run({"auto", "default", "none"}).exitCode, 0);
    EXPECT_EQ(folder.run({"auto", "on"}).exitCode, 0);
    // A profile renamed since is still listed, and said to be missing.
    test::writeText(folder.user / "str.ini",
                    "[Profile]\r\nCurProfileName=Play\r\nItemCount=1\r\nItem0=Play\r\n");
    EXPECT_EQ(list().out, "automatic switching: on\ndefault: stay on the current profile\n"
                          "steam -> Game (no such profile)\n"
                          "focus: X11 (the window manager's _NET_ACTIVE_WINDOW)\n");

    // Each desktop by what the session says it is, not by what answers.
    const auto focusLine = [&](std::vector<std::string> environment) {
        const auto out = lines(folder.run({"auto", "list"}, environment).out);
        return out.empty() ? "" : out.back();
    };
    EXPECT_NE(focusLine({"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-1", "DISPLAY=:0",
                         "XDG_CURRENT_DESKTOP=sway"})
                  .find("focus: Wayland (zwlr_foreign_toplevel_manager_v1"),
              std::string::npos);
    // GNOME and KDE tell over the session bus, which is asked; here there
    // is none (the stand-ins of tests/e2e play the desktops on one).
    const std::string noBus = "DBUS_SESSION_BUS_ADDRESS=unix:path=/dev/null/no-bus";
    EXPECT_NE(focusLine({"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0",
                         "XDG_CURRENT_DESKTOP=ubuntu:GNOME", noBus})
                  .find("not available on this desktop (GNOME Shell on Wayland (the extension "
                        "qvr-focus@qvr.github.io)): the D-Bus session bus cannot be reached"),
              std::string::npos);
    EXPECT_NE(focusLine({"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0",
                         "XDG_CURRENT_DESKTOP=KDE", noBus})
                  .find("not available on this desktop (KDE Plasma on Wayland (a KWin script)): "
                        "the D-Bus session bus cannot be reached"),
              std::string::npos);
    EXPECT_NE(focusLine({"XDG_SESSION_TYPE=x11", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1",
                         "XDG_CURRENT_DESKTOP=KDE"})
                  .find("focus: X11"),
              std::string::npos);
    EXPECT_NE(focusLine({"XDG_SESSION_TYPE=tty", "WAYLAND_DISPLAY=", "DISPLAY="})
                  .find("neither an X11 display"),
              std::string::npos);

    // A rules file that cannot be read is said so, and left alone.
    std::filesystem::remove(folder.user / "auto-switch.ini");
    std::filesystem::create_directory(folder.user / "auto-switch.ini");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"auto", "list"}, {"auto", "on"}}) {
        const auto result = folder.run(args);
        EXPECT_EQ(result.exitCode, 3) << result.err;
        EXPECT_NE(result.err.find("cannot read"), std::string::npos) << result.err;
    }
}

TEST(QvrctlHelp, HelpAndVersionSucceed) {
    const auto help = runProcess(kQvrctl, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("upload FILE.bin"), std::string::npos);
    EXPECT_NE(help.out.find("profile switch PROFILE"), std::string::npos);
    const auto version = runProcess(kQvrctl, {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("qvrctl ", 0), 0u);
}

} // namespace
} // namespace qvr
