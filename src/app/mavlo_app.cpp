#include "app/mavlo_app.h"

#include "app/app_folders.h"
#include "app/file_access.h"
#include "app/first_paint_exit.h"
#include "app/hotplug_watch.h"
#include "app/instance_channel.h"
#include "app/main_window.h"
#include "app/message_boxes.h"
#include "app/posix_file_system.h"
#include "app/single_instance.h"
#include "app/user_folder_notes.h"
#include "app/version.h"
#include "device/device_setup.h"
#include "device/hidapi_backend.h"
#include "device/virtual_backend.h"
#include "settings/colour_dialog.h"
#include "settings/command_runner.h"
#include "settings/settings_pages.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace qvr {

AppOptions parseAppOptions(const std::vector<std::string>& arguments, UnknownOptions unknown) {
    AppOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--virtual-mouse") {
            options.virtualMouse = true;
        } else if (argument == "--trace") {
            if (i + 1 >= arguments.size()) {
                options.error = "--trace needs a file name";
                return options;
            }
            options.traceFile = arguments[++i];
        } else if (argument.starts_with("--trace=")) {
            options.traceFile = argument.substr(8);
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (unknown == UnknownOptions::Skip) {
            continue;
        } else {
            options.error = "unknown option " + argument;
            return options;
        }
    }
    return options;
}

const char* appUsage() {
    return "Usage: qvr [--virtual-mouse] [--trace FILE] [Qt options]\n"
           "Configures the 04D9:A0F4 gaming mouse from the tray.\n"
           "  --virtual-mouse  run on a model of the mouse instead of the hardware\n"
           "  --trace FILE     write every HID report and wait to FILE, one a line;\n"
           "                   FILE is emptied first\n"
           "  --version        print the version\n"
           "  -h, --help       show this text\n"
           "Qt's own options (-platform NAME, -display X11DISPLAY, ...) are accepted.\n"
           "Exit status: 0 success, 1 no display could be opened, 2 usage error.\n";
}

namespace {

QtMessageHandler qtHandler = nullptr;

// Qt aborts when no platform plugin can start; without a display that is an
// ordinary situation and deserves a sentence and an ordinary exit status.
void noDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("qvr: cannot open a display. Start qvr from a desktop session, or under a "
                   "virtual X server: xvfb-run -a qvr --virtual-mouse\n",
                   stderr);
        std::_Exit(1);
    }
    if (qtHandler)
        qtHandler(type, context, message);
}

std::vector<TrayAction> virtualMouseActions(VirtualHidBackend& backend,
                                            const std::shared_ptr<VirtualMouse>& mouse) {
    std::vector<TrayAction> actions;
    for (std::uint8_t stage = 1; stage <= 4; ++stage) {
        actions.push_back({QString("Virtual mouse: switch to DPI stage %1").arg(stage),
                           [mouse, stage] { mouse->emitEvent(1, stage); }});
    }
    actions.push_back({"Virtual mouse: press macro key 1", [mouse] { mouse->emitEvent(9, 1); }});
    actions.push_back({"Virtual mouse: unplug", [&backend, mouse] { backend.unplug(mouse); }});
    actions.push_back({"Virtual mouse: plug in", [&backend, mouse] { backend.plug(mouse); }});
    return actions;
}

// A later start changes nothing but brings the running window forward.
int bringRunningInstanceForward(const std::filesystem::path& lockFolder,
                                const ActivationRequest& launch) {
    if (!askRunningInstanceToShow(instanceSocketPath(lockFolder), launch))
        std::fprintf(stderr, "qvr: already running, but its window could not be reached\n");
    return 0;
}

} // namespace

int CMavloApp::run(int argc, char** argv) {
    // Help and version need no display, so they are answered before Qt starts.
    const AppOptions early =
        parseAppOptions(std::vector<std::string>(argv + 1, argv + argc), UnknownOptions::Skip);
    if (early.help) {
        std::fputs(appUsage(), stdout);
        return 0;
    }
    if (early.version) {
        std::printf("qvr %s\n", kVersion);
        return 0;
    }

    // Taken before Qt, which clears the startup id for its own first window.
    const ActivationRequest launch = ActivationRequest::fromEnvironment();

    // Fixed before the first window exists, which takes it as its class.
    QCoreApplication::setApplicationName(kWindowClassName);
    QCoreApplication::setApplicationVersion(kVersion);
    QGuiApplication::setDesktopFileName(kDesktopFileName);
    qtHandler = qInstallMessageHandler(noDisplayHandler);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt has taken its own options out of argv by now.
    const AppOptions options = parseAppOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "qvr: %s\n%s", options.error.c_str(), appUsage());
        return 2;
    }

    PosixFileSystem files;
    installFileSystem(files);

    // A second copy leaves at once, before it shows anything, and brings the
    // first one forward. A lock folder someone else could change is not used
    // at all: they could hold the lock or plant a link there.
    const RuntimeFolder runtime = runtimeFolder();
    SingleInstanceLock instance;
    auto lock = SingleInstanceLock::Result::Unavailable;
    if (runtime.usable())
        lock = instance.acquire(runtime.path);
    if (lock == SingleInstanceLock::Result::AlreadyRunning)
        return bringRunningInstanceForward(runtime.path, launch);
    if (!runtime.usable())
        std::fprintf(stderr, "qvr: %s\n", runtime.problem.c_str());

    DeviceSetup device(options.virtualMouse ? DeviceSetup::Source::VirtualMouse
                                            : DeviceSetup::Source::Hardware,
                       options.traceFile);
    if (!device.traceError().empty()) {
        std::fprintf(stderr, "qvr: %s\n", device.traceError().c_str());
        return 2;
    }
    VirtualHidBackend* virtualBackend = device.virtualBackend();

    installFileAccessCheck();
    DeviceLink link(device.backend(), device.clock());
    RecordState state;
    MessageBoxes messages;
    const auto user = userFolder();
    const auto factory = factoryFolder();
    // A first start speaks the desktop's language.
    const auto variable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::string_view(value ? value : "");
    };
    const std::string_view localeLanguage = languageCodeForLocale(
        {variable("LANGUAGE"), variable("LC_ALL"), variable("LC_MESSAGES"), variable("LANG")});
    const UserFolderReport prepared =
        prepareUserFolder(user, factory, executableFolder(), localeLanguage);
    ProfileFiles profile(user, messages, factory);

    MainWindowSetup setup;
    setup.link = &link;
    setup.state = &state;
    setup.profile = &profile;
    setup.messages = &messages;
    if (virtualBackend) {
        setup.hotplug = std::make_unique<VirtualHotplugSource>(*virtualBackend);
        setup.trayActions = virtualMouseActions(*virtualBackend, device.virtualMouse());
    } else {
        setup.hotplug = std::make_unique<UdevHotplugSource>();
        setup.permissionProblem = [&link]() -> std::optional<std::string> {
            if (link.commandRefusal.error != HidOpenError::PermissionDenied)
                return std::nullopt;
            return permissionAdvice(link.commandRefusal.path,
                                    findUdevRule(executableFolder(), udevRuleFolders()));
        };
    }

    // The settings pages use these for as long as the window lives.
    QtColourDialog colours;
    SpawnCommandRunner pointerCommands;
    CMavloDlg window(std::move(setup));
    messages.setOwner(&window);
    colours.setOwner(&window);
    installSettingsPages(window, {.colours = &colours, .pointerCommands = &pointerCommands});
    window.startUp();
    // Only the lock holder listens, in the lock's own private folder.
    InstanceServer laterStarts(
        [&window](const ActivationRequest& request) { window.bringForward(request); });
    if (lock == SingleInstanceLock::Result::Acquired &&
        !laterStarts.listen(instanceSocketPath(runtime.path)))
        std::fprintf(stderr, "qvr: a later start cannot reach this one: %s\n",
                     laterStarts.errorString().toUtf8().constData());
    for (const std::string& note :
         userFolderNotes(prepared, user, window.language(), runtime.problem))
        messages.showMessage(note, kApplicationTitle);
    exitAfterFirstPaintWhenAsked(window);
    window.show();
    return QApplication::exec();
}

} // namespace qvr
