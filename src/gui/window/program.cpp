#include "gui/window/program.h"

#include "core/device/virtual_hid_backend.h"
#include "core/profiles/user_folder_notes.h"
#include "core/text/program_names.h"
#include "core/version.h"
#include "gui/session/auto_profile_switch.h"
#include "gui/session/hotplug_watch.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/settings/colour_dialog.h"
#include "gui/settings/settings_pages.h"
#include "gui/window/first_paint_exit.h"
#include "gui/window/instance_channel.h"
#include "gui/window/main_window.h"
#include "gui/window/message_boxes.h"
#include "gui/window/session_end_watch.h"
#include "platform/app_folders.h"
#include "platform/autostart.h"
#include "platform/device_setup.h"
#include "platform/display/linux_pointer_desktop.h"
#include "platform/file_access.h"
#include "platform/hidapi_backend.h"
#include "platform/posix_file_system.h"
#include "platform/single_instance_lock.h"

#include <QApplication>
#include <QTimer>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace qvr {

namespace {

enum class OptionOwner { Program, Qt };
enum class OptionValue { None, Next, NextOrEquals };

struct OptionRow {
    std::string_view name; // without its dashes
    OptionOwner owner;
    OptionValue value;
};

// Every option qvr accepts. The program's own are written --name (and
// --name=VALUE where they take one); Qt's own are listed so that they are
// not taken for mistakes, in the forms QApplication takes out of argv.
constexpr auto kOptions = std::to_array<OptionRow>({
    {"virtual-mouse", OptionOwner::Program, OptionValue::None},
    {"minimized", OptionOwner::Program, OptionValue::None},
    {"trace", OptionOwner::Program, OptionValue::NextOrEquals},
    {"help", OptionOwner::Program, OptionValue::None},
    {"version", OptionOwner::Program, OptionValue::None},
    // QGuiApplication and QApplication.
    {"platform", OptionOwner::Qt, OptionValue::Next},
    {"platformpluginpath", OptionOwner::Qt, OptionValue::Next},
    {"platformtheme", OptionOwner::Qt, OptionValue::Next},
    {"plugin", OptionOwner::Qt, OptionValue::Next},
    {"qwindowgeometry", OptionOwner::Qt, OptionValue::Next},
    {"qwindowicon", OptionOwner::Qt, OptionValue::Next},
    {"qwindowtitle", OptionOwner::Qt, OptionValue::Next},
    {"geometry", OptionOwner::Qt, OptionValue::Next},
    {"icon", OptionOwner::Qt, OptionValue::Next},
    {"title", OptionOwner::Qt, OptionValue::Next},
    {"session", OptionOwner::Qt, OptionValue::Next},
    {"reverse", OptionOwner::Qt, OptionValue::None},
    {"testability", OptionOwner::Qt, OptionValue::None},
    {"style", OptionOwner::Qt, OptionValue::NextOrEquals},
    {"stylesheet", OptionOwner::Qt, OptionValue::NextOrEquals},
    {"widgetcount", OptionOwner::Qt, OptionValue::None},
    {"qmljsdebugger", OptionOwner::Qt, OptionValue::NextOrEquals},
    // The X11 platform plugin.
    {"display", OptionOwner::Qt, OptionValue::Next},
    {"name", OptionOwner::Qt, OptionValue::Next},
    {"visual", OptionOwner::Qt, OptionValue::Next},
    {"dograb", OptionOwner::Qt, OptionValue::None},
    {"nograb", OptionOwner::Qt, OptionValue::None},
});

struct MatchedOption {
    const OptionRow* row = nullptr;
    std::optional<std::string> attached; // the VALUE of name=VALUE
};

MatchedOption matchOption(std::string_view argument) {
    if (argument == "-h")
        argument = "--help";
    const bool twoDashes = argument.starts_with("--");
    if (!argument.starts_with("-") || argument == "-" || argument == "--")
        return {};
    std::string_view name = argument.substr(twoDashes ? 2 : 1);
    std::optional<std::string> attached;
    if (const auto equals = name.find('='); equals != std::string_view::npos) {
        attached = std::string(name.substr(equals + 1));
        name = name.substr(0, equals);
    }
    for (const OptionRow& row : kOptions) {
        if (row.name != name || (row.owner == OptionOwner::Program && !twoDashes) ||
            (attached && row.value != OptionValue::NextOrEquals))
            continue;
        return {&row, std::move(attached)};
    }
    return {};
}

} // namespace

AppOptions parseAppOptions(const std::vector<std::string>& arguments) {
    AppOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const MatchedOption match = matchOption(argument);
        if (!match.row) {
            options.error = "unknown option " + argument;
            return options;
        }
        std::string value;
        if (match.attached) {
            value = *match.attached;
        } else if (match.row->value != OptionValue::None) {
            if (i + 1 >= arguments.size()) {
                options.error = argument + " needs a value";
                if (match.row->name == "trace")
                    options.error = "--trace needs a file name";
                return options;
            }
            value = arguments[++i];
        }
        if (match.row->owner == OptionOwner::Qt)
            continue;
        const std::string_view name = match.row->name;
        if (name == "virtual-mouse")
            options.virtualMouse = true;
        else if (name == "trace")
            options.traceFile = value;
        else if (name == "minimized")
            options.minimized = true;
        else if (name == "help")
            options.help = true;
        else if (name == "version")
            options.version = true;
    }
    return options;
}

const char* appUsage() {
    return "Usage: qvr [--virtual-mouse] [--minimized] [--trace FILE] [Qt options]\n"
           "Configures the 04D9:A0F4 gaming mouse from the tray.\n"
           "  --virtual-mouse  run on a model of the mouse instead of the hardware\n"
           "  --minimized      start in the tray (iconified where there is no tray)\n"
           "  --trace FILE     write every HID report and wait to FILE, one a line;\n"
           "                   FILE is emptied first\n"
           "  --version        print the version\n"
           "  -h, --help       show this text\n"
           "Qt's own options (-platform NAME, -display X11DISPLAY, ...) are accepted.\n"
           "Exit status: 0 success, 1 no display could be opened, 2 usage error.\n";
}

void keepSessionBusFromLaunching() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return;
    // The bus of a systemd user session, which libdbus and GIO look for
    // themselves when no address is set.
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        struct stat bus {};
        if (::stat((std::string(runtime) + "/bus").c_str(), &bus) == 0 && S_ISSOCK(bus.st_mode))
            return;
    }
    // Nothing can ever be made under /dev/null, so the connection fails at once.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", kNoSessionBus, 1);
}

namespace {

QtMessageHandler qtHandler = nullptr;

// A message Qt gave while QApplication was being built.
struct HeldMessage {
    QtMsgType type;
    std::string file, function, category;
    int line;
    QString text;
};
std::vector<HeldMessage> heldMessages;

// Qt aborts when no platform plugin can start; without a display that is an
// ordinary situation and deserves a sentence and an ordinary exit status.
// Qt's own lines on the way there (the plugin that could not load, the
// display it could not reach) would only bury that sentence: they are held
// back, and given out only once Qt has started.
void startUpHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs("qvr: cannot open a display. Start qvr from a desktop session, or under a "
                   "virtual X server: xvfb-run -a qvr --virtual-mouse\n",
                   stderr);
        std::_Exit(1);
    }
    const auto text = [](const char* s) { return std::string(s ? s : ""); };
    heldMessages.push_back({type, text(context.file), text(context.function),
                            text(context.category), context.line, message});
}

void replayStartUpMessages() {
    for (const HeldMessage& held : heldMessages) {
        const QMessageLogContext context(held.file.c_str(), held.line, held.function.c_str(),
                                         held.category.c_str());
        if (qtHandler)
            qtHandler(held.type, context, held.text);
    }
    heldMessages.clear();
}

std::vector<TrayAction> virtualMouseActions(VirtualHidBackend& backend,
                                            const std::shared_ptr<VirtualMouse>& mouse) {
    std::vector<TrayAction> actions;
    for (std::uint8_t stage = 1; stage <= 4; ++stage) {
        actions.push_back({QString("Switch to DPI stage %1").arg(stage),
                           [mouse, stage] { mouse->emitEvent(1, stage); }});
    }
    actions.push_back({"Press macro key 1", [mouse] { mouse->emitEvent(9, 1); }});
    actions.push_back({"Unplug", [&backend, mouse] { backend.unplug(mouse); }});
    actions.push_back({"Plug in", [&backend, mouse] { backend.plug(mouse); }});
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

int runProgram(int argc, char** argv) {
    // Mistakes, help and version need no display, so they are answered
    // before Qt starts.
    const AppOptions options = parseAppOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "qvr: %s\n%s", options.error.c_str(), appUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(appUsage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("qvr %s\n", kVersion);
        return 0;
    }

    markStartUpPhase("main");
    // Taken before Qt, which clears the startup id for its own first window.
    const ActivationRequest launch = ActivationRequest::fromEnvironment();

    keepSessionBusFromLaunching();
    // Fixed before the first window exists, which takes it as its class.
    QCoreApplication::setApplicationName(kWindowClassName);
    QCoreApplication::setApplicationVersion(kVersion);
    QGuiApplication::setDesktopFileName(kDesktopFileName);
    qtHandler = qInstallMessageHandler(startUpHandler);
    QApplication application(argc, argv);
    qInstallMessageHandler(qtHandler);
    replayStartUpMessages();
    QApplication::setQuitOnLastWindowClosed(false);
    markStartUpPhase("QApplication");

    PosixFileSystem files;
    installFileSystem(files);

    // A second copy leaves at once, before it shows anything, and brings the
    // first one forward. A lock folder someone else could change is not used
    // at all: they could hold the lock or plant a link there.
    const RuntimeFolder runtime = runtimeFolder();
    auto instance = std::make_unique<SingleInstanceLock>();
    auto lock = SingleInstanceLock::Result::Unavailable;
    if (runtime.usable())
        lock = instance->acquire(runtime.path);
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
    UserSession session({.link = &link,
                         .messages = &messages,
                         .userFolder = user,
                         .factoryFolder = factory,
                         .instanceLock = std::move(instance)});

    MainWindowSetup setup;
    setup.autostartEntry = autostartEntryPath();
    setup.program = executableFolder() / "qvr";
    if (virtualBackend) {
        setup.mouse.hotplug = std::make_unique<VirtualHotplugSource>(*virtualBackend);
        setup.trayActions = virtualMouseActions(*virtualBackend, device.virtualMouse());
    } else {
        setup.mouse.hotplug = std::make_unique<UdevHotplugSource>();
        setup.mouse.permissionProblem = [&link]() -> std::optional<std::string> {
            if (link.commandRefusal.error != HidOpenError::PermissionDenied)
                return std::nullopt;
            return permissionAdvice(link.commandRefusal.path,
                                    findUdevRule(executableFolder(), udevRuleFolders()));
        };
    }

    // The settings pages use these for as long as the window lives.
    QtColourDialog colours;
    LinuxPointerDesktop pointerDesktop;
    markStartUpPhase("device and user folder");
    MainWindow window(session, std::move(setup));
    // The one end order, however the run ends: what follows goes first (it
    // calls the window), then the session ends (the listener is stopped and
    // joined, the queue drains while the pages that answer it are still
    // there, the handles close), then the window, then what the pages use.
    struct EndsFirst {
        UserSession& session;
        ~EndsFirst() { session.shutDown(); }
    } endOrder{session};
    messages.setOwner(&window);
    colours.setOwner(&window);
    installSettingsPages(window, session, {.colours = &colours, .pointerDesktop = &pointerDesktop});
    markStartUpPhase("window built");
    window.startUp();
    installAutoProfileSwitch(window, window, session);
    markStartUpPhase("window started");
    // Before a later start can find this one, so that whoever sees it
    // running may also end it.
    SessionEndWatch sessionEnd([&window] { window.keepUnsavedEdits(); },
                               [&window] { window.endSession(); });
    // Only the lock holder listens, in the lock's own private folder.
    InstanceServer laterStarts(
        [&window](const ActivationRequest& request) { window.bringForward(request); });
    laterStarts.setProfileHandler(
        [&window, &session](const ProfileRequest& request, InstanceServer::Reply reply) {
            if (window.ended())
                return;
            session.profiles()->answer(request, std::move(reply));
        });
    if (lock == SingleInstanceLock::Result::Acquired &&
        !laterStarts.listen(instanceSocketPath(runtime.path)))
        std::fprintf(stderr, "qvr: a later start cannot reach this one: %s\n",
                     laterStarts.errorString().toUtf8().constData());
    for (const std::string& note :
         userFolderNotes(prepared, user, window.language(), runtime.problem))
        messages.showMessage(note, kApplicationTitle);
    // The session may have ended while a note was shown.
    if (window.ended())
        return 0;
    exitAfterFirstPaintWhenAsked(window);
    window.showAtStart(options.minimized ? StartShown::Minimized : StartShown::Normal);
    markStartUpPhase("shown");
    // From inside the event loop, so that a session ending during the
    // question ends the program.
    QTimer::singleShot(0, &window, [&window] { window.offerUnsavedEdits(); });
    return QApplication::exec();
}

} // namespace qvr
