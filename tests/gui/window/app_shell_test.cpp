#include "core/profiles/unsaved_edits.h"
#include "gui/session/hotplug_watch.h"
#include "gui/window/firmware_updater.h"
#include "gui/window/instance_channel.h"
#include "gui/window/program.h"
#include "gui/window/ui_handoff.h"
#include "platform/single_instance_lock.h"
#include "support/qt_test_app.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <atomic>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace qvr::test {
namespace {

using namespace std::chrono_literals;

TEST(SingleInstance, ASecondLockOnTheSameNameIsRefusedUntilTheFirstEnds) {
    QTemporaryDir dir;
    auto first = std::make_unique<SingleInstanceLock>();
    EXPECT_EQ(first->acquire(pathOf(dir)), SingleInstanceLock::Result::Acquired);
    SingleInstanceLock second;
    EXPECT_EQ(second.acquire(pathOf(dir)), SingleInstanceLock::Result::AlreadyRunning);
    first.reset();
    EXPECT_EQ(second.acquire(pathOf(dir)), SingleInstanceLock::Result::Acquired);
    EXPECT_EQ(SingleInstanceLock().acquire("/proc/no-such-folder"),
              SingleInstanceLock::Result::Unavailable);
}

TEST(SingleInstance, ASecondProgramEndsWithZeroWhileTheFirstRuns) {
    qtApp();
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString program = QVR_PROGRAM_DIR "/qvr";

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program, {"--virtual-mouse"});
    ASSERT_TRUE(first.waitForStarted(5000));
    // The lock is taken before anything else; give the program time to get
    // past it.
    const QString lockFile = runtime.path() + "/ZPVL384-netMutex.lock";
    for (int i = 0; i < 100 && !QFile::exists(lockFile); ++i)
        QTest::qWait(20);
    QTest::qWait(300);
    ASSERT_EQ(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program, {"--virtual-mouse"});
    ASSERT_TRUE(second.waitForFinished(5000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    if (!first.waitForFinished(3000)) {
        first.kill();
        first.waitForFinished(3000);
    }
}

TEST(SessionEnd, SigtermEndsTheProgramWithZeroAndKeepsChangesNotYetOffered) {
    qtApp();
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString socket = instanceSocketPath(pathOf(runtime));
    const std::filesystem::path kept = pathOf(config) / "qvr" / kUnsavedEditsFileName;
    // Listening for later starts comes after the signal is watched.
    const auto runUntilTerminated = [&](QProcess& program) {
        program.setProcessEnvironment(env);
        program.start(QVR_PROGRAM_DIR "/qvr", {"--virtual-mouse"});
        ASSERT_TRUE(program.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(socket); }, 20000));
        program.terminate();
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    };

    QProcess unchanged;
    runUntilTerminated(unchanged);
    EXPECT_FALSE(std::filesystem::exists(kept)); // nothing unsaved, nothing kept

    // Changes of an earlier session wait for their question: an end before
    // the answer leaves them as they were.
    UnsavedEdits edits;
    edits.profileName = "PROFILE_0";
    edits.record.dpiStage[0] = 77;
    edits.labels[0] = "Mine";
    ASSERT_TRUE(writeUnsavedEdits(kept, edits).ok());
    QFile file(QString::fromStdString(kept.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QProcess offering;
    runUntilTerminated(offering);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(readUnsavedEdits(kept), edits);
}

TEST(AppOptions, UnderstoodOptionsAndMistakes) {
    const AppOptions plain = parseAppOptions({});
    EXPECT_FALSE(plain.virtualMouse);
    EXPECT_TRUE(plain.error.empty());

    const AppOptions traced = parseAppOptions({"--virtual-mouse", "--trace", "/tmp/t.txt"});
    EXPECT_TRUE(traced.virtualMouse);
    EXPECT_EQ(traced.traceFile, "/tmp/t.txt");
    EXPECT_TRUE(traced.error.empty());

    EXPECT_TRUE(parseAppOptions({"--help"}).help);
    EXPECT_FALSE(parseAppOptions({"--virtual-mouse", "--trace"}).error.empty());
    const AppOptions hardware = parseAppOptions({"--trace=t.txt"}); // the real mouse traces too
    EXPECT_FALSE(hardware.virtualMouse);
    EXPECT_EQ(hardware.traceFile, "t.txt");
    EXPECT_TRUE(hardware.error.empty());
    EXPECT_FALSE(parseAppOptions({"--lang", "CHS"}).error.empty());
    EXPECT_TRUE(parseAppOptions({"--version"}).version);
}

TEST(AppOptions, QtsOwnOptionsArePassedOverWithTheirValuesButHelpAndVersionSeen) {
    const AppOptions withQt =
        parseAppOptions({"-platform", "offscreen", "--virtual-mouse", "-style=fusion"});
    EXPECT_TRUE(withQt.error.empty());
    EXPECT_TRUE(withQt.virtualMouse);
    EXPECT_FALSE(withQt.help || withQt.version);
    EXPECT_TRUE(parseAppOptions({"-display", ":3", "--version"}).version);
    EXPECT_TRUE(parseAppOptions({"-platform", "xcb", "-h"}).help);
    // A trace file named like an option is still the trace file.
    EXPECT_FALSE(parseAppOptions({"--virtual-mouse", "--trace", "--help"}).help);

    // Qt takes its options with one dash or two; a value is never an option.
    for (const std::vector<std::string>& accepted :
         std::vector<std::vector<std::string>>{{"--platform", "offscreen"},
                                               {"--display", ":1", "-reverse"},
                                               {"-qwindowtitle", "--bogus", "--nograb"},
                                               {"--style", "fusion", "--stylesheet=a.qss"},
                                               {"-qmljsdebugger=port:1234", "-widgetcount"}}) {
        const AppOptions options = parseAppOptions(accepted);
        EXPECT_TRUE(options.error.empty()) << accepted[0] << ": " << options.error;
    }
    // Anything else is refused, and so are forms Qt would leave behind: the
    // program's options have two dashes, and only some of Qt's take "=".
    for (const std::vector<std::string>& refused :
         std::vector<std::vector<std::string>>{{"--bogus"},
                                               {"--help", "-x"},
                                               {"-virtual-mouse"},
                                               {"-platform=offscreen"},
                                               {"--version=2"},
                                               {"stray"},
                                               {"--"}}) {
        const AppOptions options = parseAppOptions(refused);
        EXPECT_FALSE(options.error.empty()) << refused[0];
    }
    EXPECT_EQ(parseAppOptions({"-platform", "xcb", "--bogus"}).error, "unknown option --bogus");
    EXPECT_FALSE(parseAppOptions({"-display"}).error.empty()); // its value is missing
}

// The real program, started without any display to connect to.
void startWithoutDisplay(QProcess& process, const QStringList& arguments, const QString& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("XDG_RUNTIME_DIR", runtime);
    process.setProcessEnvironment(env);
    process.start(QVR_PROGRAM_DIR "/qvr", arguments);
}

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplayAndAgreeWithQvrctl) {
    qtApp();
    QTemporaryDir runtime;
    QProcess version;
    startWithoutDisplay(version, {"--version"}, runtime.path());
    ASSERT_TRUE(version.waitForFinished(10000));
    EXPECT_EQ(version.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(version.exitCode(), 0);
    const QString qvrVersion = QString::fromUtf8(version.readAllStandardOutput()).trimmed();
    EXPECT_TRUE(qvrVersion.startsWith("qvr ")) << qvrVersion.toStdString();

    QProcess ctl;
    ctl.start(QVR_PROGRAM_DIR "/qvrctl", {"--version"});
    ASSERT_TRUE(ctl.waitForFinished(10000));
    const QString ctlVersion = QString::fromUtf8(ctl.readAllStandardOutput()).trimmed();
    EXPECT_EQ(qvrVersion.mid(4), ctlVersion.mid(7));

    QProcess help;
    startWithoutDisplay(help, {"-platform", "xcb", "--help"}, runtime.path());
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().contains("--version"));
}

TEST(CommandLine, NoDisplayEndsWithASentenceAndStatusOneNotAnAbort) {
    qtApp();
    QTemporaryDir runtime;
    QProcess process;
    startWithoutDisplay(process, {"--virtual-mouse"}, runtime.path());
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1);
    // The sentence alone, without Qt's lines about its platform plugin.
    const QString said = QString::fromUtf8(process.readAllStandardError());
    EXPECT_TRUE(said.startsWith("qvr: cannot open a display")) << said.toStdString();
    EXPECT_EQ(said.count('\n'), 1) << said.toStdString();

    // A mistake on the command line is reported before the display, with
    // the usage status.
    QProcess bogus;
    startWithoutDisplay(bogus, {"--bogus"}, runtime.path());
    ASSERT_TRUE(bogus.waitForFinished(20000));
    EXPECT_EQ(bogus.exitCode(), 2);
    const QString refused = QString::fromUtf8(bogus.readAllStandardError());
    EXPECT_TRUE(refused.startsWith("qvr: unknown option --bogus\n")) << refused.toStdString();
    EXPECT_FALSE(refused.contains("cannot open a display")) << refused.toStdString();

    // A display named but not there is the same situation.
    QProcess absent;
    startWithoutDisplay(absent, {"-display", ":999", "--virtual-mouse"}, runtime.path());
    ASSERT_TRUE(absent.waitForFinished(20000));
    EXPECT_EQ(absent.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(absent.exitCode(), 1);
}

TEST(CommandLine, QtsOwnOptionsAreAcceptedAndOthersRefused) {
    qtApp();
    QTemporaryDir runtime;
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("QVR_EXIT_AFTER_FIRST_PAINT", "1");
    // In both of the forms Qt takes.
    for (const char* platform : {"-platform", "--platform"}) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QVR_PROGRAM_DIR "/qvr", {platform, "offscreen", "--virtual-mouse"});
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    QProcess wrong;
    wrong.setProcessEnvironment(env);
    wrong.start(QVR_PROGRAM_DIR "/qvr", {"-platform", "offscreen", "--lang", "CHS"});
    ASSERT_TRUE(wrong.waitForFinished(20000));
    EXPECT_EQ(wrong.exitCode(), 2);
    EXPECT_TRUE(wrong.readAllStandardError().contains("unknown option --lang"));
}

TEST(SessionBus, AnAddressThatRefusesIsSetOnlyWhenNoBusIsThere) {
    const auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto address = saved("DBUS_SESSION_BUS_ADDRESS");
    const auto runtimeDir = saved("XDG_RUNTIME_DIR");
    const auto current = [] { return std::string(qgetenv("DBUS_SESSION_BUS_ADDRESS")); };
    QTemporaryDir runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit().constData(), 1);

    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    keepSessionBusFromLaunching();
    EXPECT_EQ(current(), kNoSessionBus);

    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus", 1);
    keepSessionBusFromLaunching();
    EXPECT_EQ(current(), "unix:path=/run/user/1000/bus");

    // A plain file where the bus socket belongs is no bus.
    const QString busPath = runtime.path() + "/bus";
    QFile(busPath).open(QIODevice::WriteOnly);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    keepSessionBusFromLaunching();
    EXPECT_EQ(current(), kNoSessionBus);

    // The user session's bus socket: libdbus and GIO find it themselves.
    QFile::remove(busPath);
    const int socketFd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un bus{};
    bus.sun_family = AF_UNIX;
    std::strncpy(bus.sun_path, busPath.toLocal8Bit().constData(), sizeof bus.sun_path - 1);
    ASSERT_EQ(::bind(socketFd, reinterpret_cast<sockaddr*>(&bus), sizeof bus), 0);
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    keepSessionBusFromLaunching();
    EXPECT_TRUE(qgetenv("DBUS_SESSION_BUS_ADDRESS").isNull());
    ::close(socketFd);

    for (const auto& [name, value] : {std::pair{"DBUS_SESSION_BUS_ADDRESS", address},
                                      std::pair{"XDG_RUNTIME_DIR", runtimeDir}}) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
}

TEST(UiHandoff, WorkRunsOnTheUiThreadAndTheCallerWaitsForIt) {
    QObject context;
    qtApp();
    std::atomic<bool> ran{false};
    std::atomic<bool> result{false};
    std::thread::id ranOn;
    std::thread worker([&] {
        result = runOnUiThreadAndWait(
            &context,
            [&] {
                ranOn = std::this_thread::get_id();
                ran = true;
            },
            [] { return false; });
    });
    for (int i = 0; i < 200 && !ran; ++i)
        QTest::qWait(5);
    worker.join();
    EXPECT_TRUE(result);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(UiHandoff, AStopRequestEndsTheWaitWhenTheUiThreadIsBusyJoining) {
    QObject context;
    qtApp();
    std::atomic<bool> stop{false};
    std::atomic<bool> result{true};
    bool ran = false;
    std::thread worker([&] {
        result = runOnUiThreadAndWait(
            &context, [&] { ran = true; }, [&] { return stop.load(); }, 5ms);
    });
    // The UI thread never returns to its event loop here, as at exit.
    stop = true;
    worker.join();
    EXPECT_FALSE(result);
    // Given up on, the work stays undone: what it would touch may be gone.
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

TEST(HotplugCoalescing, TheEventsOfOnePlugRunOnceWithTheLastKind) {
    qtApp();
    std::vector<HotplugKind> runs;
    HotplugCoalescer coalescer([&](HotplugKind kind) { runs.push_back(kind); }, 20ms);
    coalescer.add(HotplugKind::Arrival);
    coalescer.add(HotplugKind::Arrival);
    EXPECT_TRUE(runs.empty());
    QTest::qWait(80);
    EXPECT_EQ(runs, std::vector<HotplugKind>{HotplugKind::Arrival});

    coalescer.add(HotplugKind::Arrival);
    coalescer.add(HotplugKind::Removal);
    QTest::qWait(80);
    EXPECT_EQ(runs, (std::vector<HotplugKind>{HotplugKind::Arrival, HotplugKind::Removal}));
}

TEST(FirmwareUpdater, ThePathFollowsTheNativeArchitecture) {
    EXPECT_EQ(updaterRelativePath("x86_64"), "Update/X64/FwUpdate.exe");
    EXPECT_EQ(updaterRelativePath("ia64"), "Update/X64/FwUpdate.exe");
    EXPECT_EQ(updaterRelativePath("i386"), "Update/X86/FwUpdate.exe");
    EXPECT_EQ(updaterRelativePath(""), "Update/X86/FwUpdate.exe");
}

TEST(FirmwareUpdater, AMissingUpdaterStartsNothingAndAPresentOneIsStarted) {
    qtApp();
    QTemporaryDir dir;
    EXPECT_FALSE(launchFirmwareUpdater(pathOf(dir)));

    const QByteArray arch = QSysInfo::currentCpuArchitecture().toUtf8();
    const QString updater =
        dir.path() + "/" + QString::fromUtf8(updaterRelativePath(arch.toStdString()).data());
    QDir().mkpath(QFileInfo(updater).path());
    const QString marker = dir.path() + "/started";
    QFile script(updater);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\ntouch '" + marker + "'\n").toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    EXPECT_TRUE(launchFirmwareUpdater(pathOf(dir)));
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i)
        QTest::qWait(10);
    EXPECT_TRUE(QFile::exists(marker));
}

} // namespace
} // namespace qvr::test
