// qvrctl: the command-line face of the utility, for scripts and bug reports.
// It shares the core and the device link with the window and links no Qt.

#include "app/app_folders.h"
#include "app/file_access.h"
#include "app/posix_file_system.h"
#include "app/profile_report.h"
#include "app/version.h"
#include "config/config_record.h"
#include "config/file_system.h"
#include "config/ini_file.h"
#include "config/profile_files.h"
#include "device/device_events.h"
#include "device/device_link.h"
#include "device/device_setup.h"
#include "device/hidapi_backend.h"
#include "device/listener.h"
#include "device/trace.h"
#include "device/virtual_backend.h"
#include "macros/macro_encoder.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qvr {
namespace {

enum ExitCode { kOk = 0, kUsage = 1, kNoMouse = 2, kBadFile = 3 };

constexpr const char* kHelp = R"(Usage: qvrctl [OPTIONS] COMMAND [ARGUMENTS]

Talks to the 04D9:A0F4 eight-button gaming mouse, or reads its profile files.

Commands:
  info                 find the mouse, list its HID collections and the slot it reports
  paths                print the factory folder and the user's profile folder
  show FILE.bin        print a profile record file: buttons, DPI stages, colours,
                       report rate, sensitivities, angle snap, pointer values, macros
  encode FILE.bin      print exactly what Save would send for that file:
                       config-block, button-block and macro-1 .. macro-12 as hex
  macros RECORD.ini    print the twelve macro images built from a macro store
  upload FILE.bin      send the file's settings to the mouse, as Save does
                       (no file is written, no desktop setting is changed)
                       show, encode and upload also take a profile number 0..5
                       for that profile's file in the user's profile folder
  read-block           read the slot and the configuration block back from the mouse
  listen [--count N]   print the mouse's own switches ("DPI stage 3", "macro key 2"),
                       one a line, until interrupted or N events were printed

Options:
  --virtual-mouse      use the built-in virtual mouse instead of the hardware
  --virtual-event T:V  (with --virtual-mouse) have the virtual mouse send event
                       type T with value V once it is open; may be repeated
  --virtual-refuse NODE
                       (with --virtual-mouse) have the virtual mouse's command or
                       event node refuse to open, as without permission
  --trace FILE         write every HID report and wait to FILE, one a line;
                       FILE is emptied first
  --version            print the version
  -h, --help           print this help

Exit status: 0 success, 1 usage error, 2 mouse absent, not openable or gone
during an upload, 3 file unreadable or not a profile record file.
)";

struct Options {
    bool virtualMouse = false;
    std::string tracePath;
    std::vector<MouseEvent> virtualEvents;
    std::vector<std::string> virtualRefusals; // "command", "event"
    std::string command;
    std::vector<std::string> arguments;
};

int fail(int code, const std::string& sentence) {
    std::cerr << "qvrctl: " << sentence << '\n';
    return code;
}

std::optional<MouseEvent> parseEvent(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    try {
        const int type = std::stoi(text.substr(0, colon));
        const int value = std::stoi(text.substr(colon + 1));
        if (type < 0 || type > 255 || value < 0 || value > 255)
            return std::nullopt;
        return MouseEvent{static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(value)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

struct ProfileFile {
    ConfigRecord record{};
    std::uint8_t firstRunFlag = 0;
};

// "0".."5" names a profile's file in the user folder; anything else is a path.
std::string profilePath(const std::string& argument) {
    if (argument.size() == 1 && argument[0] >= '0' && argument[0] < '0' + kProfileCount)
        return (userFolder() / profileRecordFileName(argument[0] - '0')).string();
    return argument;
}

// Reads a 1757-byte profile record file, or says in one sentence why not.
// The size is checked before anything is read, and a FIFO or device is
// refused rather than waited on.
std::optional<ProfileFile> readProfileFile(const std::string& path, std::string& error) {
    const FileRead read = fileSystem().readFile(path, kProfileFileSize);
    if (read.errorCode == EFBIG) {
        error = path + " is longer than 1757 bytes; a profile record file has exactly 1757 bytes.";
        return std::nullopt;
    }
    if (!read.ok()) {
        error = "cannot read " + path + ".";
        return std::nullopt;
    }
    const std::vector<std::uint8_t>& bytes = read.bytes;
    if (bytes.size() != kProfileFileSize) {
        error = path + " is " + std::to_string(bytes.size()) +
                " bytes long; a profile record file has exactly 1757 bytes.";
        return std::nullopt;
    }
    ProfileFile file;
    file.firstRunFlag = bytes[0];
    std::copy(bytes.begin() + 1, bytes.end(), recordBytes(file.record).begin());
    return file;
}

// The mouse as the command sees it: the device setup and the link.
class Session {
  public:
    explicit Session(const Options& options)
        : setup_(options.virtualMouse ? DeviceSetup::Source::VirtualMouse
                                      : DeviceSetup::Source::Hardware,
                 options.tracePath) {
        if (auto* virtualBackend = setup_.virtualBackend())
            for (const auto& node : options.virtualRefusals)
                virtualBackend->refuseOpen("virtual:mouse0:" + node,
                                           HidOpenError::PermissionDenied);
        link_ = std::make_unique<DeviceLink>(setup_.backend(), setup_.clock());
    }

    const std::string& traceError() const { return setup_.traceError(); }

    // Opens the mouse and runs the open sequence; 0 or an exit code.
    int connect(ConfigRecord& record) {
        if (connectAtStartup(*link_, record))
            return kOk;
        if (link_->commandRefusal.error == HidOpenError::PermissionDenied)
            return fail(kNoMouse, permissionAdvice(link_->commandRefusal.path));
        return fail(kNoMouse, "the mouse (04D9:A0F4) was not found.");
    }

    DeviceLink& link() { return *link_; }
    HidBackend& backend() { return setup_.backend(); }
    VirtualMouse* virtualMouse() { return setup_.virtualMouse().get(); }

  private:
    DeviceSetup setup_;
    std::unique_ptr<DeviceLink> link_;
};

std::string hex(std::span<const std::uint8_t> bytes) {
    return hexBytes(bytes, "");
}

int commandInfo(Session& session, const Options&) {
    bool found = false;
    for (const auto& info : session.backend().enumerate()) {
        if (!isMouse(info))
            continue;
        found = true;
        std::printf("collection %s: usage page 0x%04X, usage 0x%04X, input %u, output %u, "
                    "feature %u bytes\n",
                    info.path.c_str(), info.usagePage, info.usage, info.inputReportLength,
                    info.outputReportLength, info.featureReportLength);
    }
    if (!found)
        return fail(kNoMouse, "the mouse (04D9:A0F4) was not found.");
    ConfigRecord record{};
    if (int code = session.connect(record))
        return code;
    std::printf("slot: %d\n", session.link().images.deviceState[0]);
    return kOk;
}

int withProfile(const Options& options, const std::function<int(const ProfileFile&)>& use) {
    if (options.arguments.size() != 1)
        return fail(kUsage, "'" + options.command +
                                "' takes one profile file (FILE.bin) or profile number.");
    std::string error;
    const auto file = readProfileFile(profilePath(options.arguments[0]), error);
    if (!file)
        return fail(kBadFile, error);
    return use(*file);
}

int commandShow(Session&, const Options& options) {
    return withProfile(options, [](const ProfileFile& file) -> int {
        std::fputs(describeProfile(file.record, file.firstRunFlag).c_str(), stdout);
        return kOk;
    });
}

int commandEncode(Session&, const Options& options) {
    return withProfile(options, [](const ProfileFile& file) -> int {
        std::fputs(describeUpload(file.record).c_str(), stdout);
        return kOk;
    });
}

int commandMacros(Session&, const Options& options) {
    if (options.arguments.size() != 1)
        return fail(kUsage, "'macros' takes one macro store (RECORD.ini).");
    const std::string& path = options.arguments[0];
    if (!fileSystem().readFile(path, kIniMaxFileSize).ok())
        return fail(kBadFile, "cannot read " + path + ".");
    const auto table = buildMacroTable(std::filesystem::path(path));
    if (!table)
        return fail(kBadFile, "cannot read " + path + ".");
    std::fputs(describeMacroTable(*table).c_str(), stdout);
    return kOk;
}

int commandUpload(Session& session, const Options& options) {
    return withProfile(options, [&](const ProfileFile& file) -> int {
        ConfigRecord record = file.record;
        ConfigRecord scratch{};
        if (int code = session.connect(scratch))
            return code;
        if (!session.link().protocol().uploadConfiguration(record))
            return fail(kNoMouse, "the mouse did not receive all of " +
                                      profilePath(options.arguments[0]) +
                                      ": it stopped answering during the upload.");
        std::printf("uploaded %s\n", profilePath(options.arguments[0]).c_str());
        return kOk;
    });
}

int commandPaths(Session&, const Options& options) {
    if (!options.arguments.empty())
        return fail(kUsage, "'paths' takes no arguments.");
    std::printf("factory: %s\nuser: %s\n", factoryFolder().c_str(), userFolder().c_str());
    return kOk;
}

int commandReadBlock(Session& session, const Options&) {
    ConfigRecord record{};
    if (int code = session.connect(record))
        return code;
    MouseProtocol protocol = session.link().protocol();
    protocol.readActiveSlot();
    protocol.readConfigurationBlock();
    std::printf("slot: %d\nconfig-block: %s\n", session.link().images.deviceState[0],
                hex(session.link().images.profileBlocks[0]).c_str());
    return kOk;
}

std::atomic<bool> interrupted{false};

int commandListen(Session& session, const Options& options) {
    long limit = -1;
    if (options.arguments.size() == 2 && options.arguments[0] == "--count") {
        try {
            limit = std::stol(options.arguments[1]);
        } catch (const std::exception&) {
            limit = 0;
        }
        if (limit <= 0)
            return fail(kUsage, "--count takes a positive number.");
    } else if (!options.arguments.empty()) {
        return fail(kUsage, "'listen' takes no arguments but --count N.");
    }
    ConfigRecord record{};
    if (int code = session.connect(record))
        return code;
    // Without the event node nothing would ever be printed.
    if (!session.link().listenerHandle()) {
        const DeviceLink::Refusal& refusal = session.link().eventRefusal;
        if (refusal.error == HidOpenError::PermissionDenied)
            return fail(kNoMouse, "no event collection of the mouse is open, so its switches "
                                  "cannot be heard. " +
                                      permissionAdvice(refusal.path));
        if (!refusal.path.empty())
            return fail(kNoMouse, "the mouse's event collection (" + refusal.path +
                                      ") could not be opened, so its switches cannot be heard.");
        return fail(kNoMouse,
                    "the mouse lists no event collection, so its switches cannot be heard.");
    }
    std::atomic<long> printed{0};
    Listener listener(session.link(), [&](MouseEvent event) {
        if (event.type >= 1 && event.type <= 3)
            std::printf("DPI stage %d\n", event.value);
        else if (event.type == 9)
            std::printf("macro key %d\n", event.value);
        else
            std::printf("event type %d value %d\n", event.type, event.value);
        std::fflush(stdout);
        ++printed;
    });
    std::signal(SIGINT, [](int) { interrupted = true; });
    std::signal(SIGTERM, [](int) { interrupted = true; });
    listener.start();
    if (auto* mouse = session.virtualMouse())
        for (const auto& event : options.virtualEvents)
            mouse->emitEvent(event.type, event.value);
    while (!interrupted && (limit < 0 || printed < limit))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    listener.stop();
    return kOk;
}

using Command = int (*)(Session&, const Options&);
const std::map<std::string, Command> kCommands = {
    {"info", commandInfo},     {"show", commandShow},     {"encode", commandEncode},
    {"macros", commandMacros}, {"upload", commandUpload}, {"read-block", commandReadBlock},
    {"listen", commandListen}, {"paths", commandPaths},
};

// Commands that only read files never touch the device side.
bool needsDevice(const std::string& command) {
    return command != "show" && command != "encode" && command != "macros" && command != "paths";
}

int run(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options.command.empty()) {
            options.arguments.push_back(arg);
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kHelp, stdout);
            return kOk;
        } else if (arg == "--version") {
            std::printf("qvrctl %s\n", kVersion);
            return kOk;
        } else if (arg == "--virtual-mouse") {
            options.virtualMouse = true;
        } else if (arg == "--trace" || arg == "--virtual-event" || arg == "--virtual-refuse") {
            if (i + 1 >= argc)
                return fail(kUsage, arg + " needs a value.");
            const std::string value = argv[++i];
            if (arg == "--trace") {
                options.tracePath = value;
            } else if (arg == "--virtual-refuse") {
                if (value != "command" && value != "event")
                    return fail(kUsage, "--virtual-refuse takes command or event.");
                options.virtualRefusals.push_back(value);
            } else if (auto event = parseEvent(value)) {
                options.virtualEvents.push_back(*event);
            } else {
                return fail(kUsage, "--virtual-event takes TYPE:VALUE, each 0..255.");
            }
        } else if (!arg.empty() && arg[0] == '-') {
            return fail(kUsage, "unknown option " + arg + " (see qvrctl --help).");
        } else {
            options.command = arg;
        }
    }
    if (options.command.empty())
        return fail(kUsage, "no command given (see qvrctl --help).");
    const auto command = kCommands.find(options.command);
    if (command == kCommands.end())
        return fail(kUsage, "unknown command " + options.command + " (see qvrctl --help).");
    if (!needsDevice(options.command)) {
        Options fileOnly = options;
        fileOnly.virtualMouse = true; // no hardware is looked for
        Session session(fileOnly);
        return command->second(session, options);
    }
    Session session(options);
    if (!session.traceError().empty())
        return fail(kUsage, session.traceError());
    return command->second(session, options);
}

} // namespace
} // namespace qvr

int main(int argc, char** argv) {
    qvr::PosixFileSystem files;
    qvr::installFileSystem(files);
    qvr::installFileAccessCheck();
    return qvr::run(argc, argv);
}
