// qvrctl: the command-line face of the utility, for scripts and bug reports.
// It shares the core and the device link with the window and links no Qt.

#include "core/device/device_events.h"
#include "core/device/device_link.h"
#include "core/device/listener.h"
#include "core/device/trace.h"
#include "core/device/virtual_hid_backend.h"
#include "core/files/file_journal.h"
#include "core/files/file_system.h"
#include "core/files/ini_file.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_store.h"
#include "core/profiles/auto_switch.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_list.h"
#include "core/profiles/profile_report.h"
#include "core/profiles/profile_slots.h"
#include "core/profiles/profile_switch.h"
#include "core/record/config_record.h"
#include "core/version.h"
#include "platform/app_folders.h"
#include "platform/device_setup.h"
#include "platform/file_access.h"
#include "platform/focus_desktop.h"
#include "platform/hidapi_backend.h"
#include "platform/posix_file_system.h"
#include "platform/profile_request.h"
#include "platform/single_instance_lock.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <climits>
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
#include <string_view>
#include <thread>
#include <vector>

namespace qvr {
namespace {

enum ExitCode { kOk = 0, kUsage = 1, kNoMouse = 2, kBadFile = 3, kCancelled = 4 };

// How long a running qvr may take to answer, its user's answer to the
// unsaved-changes question included, unless --wait says otherwise.
constexpr long kDefaultAnswerWaitSeconds = 60;
// How long a qvr that holds the lock may take to start listening.
constexpr std::chrono::seconds kListenerStartWait{5};

constexpr const char* kHelp = R"(Usage: qvrctl [OPTIONS] COMMAND [ARGUMENTS] [OPTIONS]

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
                       (the factory's, as long as there is no user folder)
  read-block           read the slot and the configuration block back from the mouse
  listen [--count N]   print the mouse's own switches ("DPI stage 3", "macro key 2"),
                       one a line, until interrupted or N events were printed
  profile list         print the profiles by position, the current one marked *
  profile current      print the current profile's position and name
  profile switch PROFILE [--wait SECONDS]
                       make PROFILE (a position 0..5, or a name only one
                       profile has) the current profile and send it to the
                       mouse; nothing is sent when it is current already.
                       A running qvr is asked to do it (it may first ask its
                       user about unsaved changes; qvrctl waits SECONDS for
                       the answer, 60 by default)
  auto list            print the rules of automatic switching by the focused
                       application, and whether this desktop can tell qvr
                       which application has the focus
  auto add APP PROFILE switch to PROFILE (a name) while APP has the focus; APP
                       is an X11 window class or instance, a process name or a
                       Wayland app id, compared without case
  auto remove APP      forget APP's rule
  auto default PROFILE|none
                       the profile of every application without a rule, or
                       none to stay on the current profile
  auto on | auto off   switch automatic switching on or off
                       A running qvr follows every change at once.

Options (before or after the command; -- ends them):
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

Exit status: 0 success, 1 usage error, an unknown or ambiguous profile or rule, or a
running qvr that cannot be asked, 2 mouse absent, not openable or gone during
an upload (after profile switch: the files are switched and the mouse gets the
profile when it comes back), 3 file unreadable or not a profile record file,
4 the switch was cancelled in qvr's window or not answered in time.
)";

struct Options {
    bool virtualMouse = false;
    std::string tracePath;
    std::vector<MouseEvent> virtualEvents;
    std::vector<std::string> virtualRefusals; // "command", "event"
    std::optional<long> count;                // listen --count N
    std::optional<long> wait;                 // profile switch --wait SECONDS
    std::string command;
    std::vector<std::string> arguments;
};

int fail(int code, const std::string& sentence) {
    std::cerr << "qvrctl: " << sentence << '\n';
    return code;
}

// A decimal number and nothing else: "1abc", " 1" and "+1" are not numbers.
std::optional<long> parseNumber(std::string_view text, long low, long high) {
    long value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<MouseEvent> parseEvent(const std::string& text) {
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    const auto type = parseNumber(std::string_view(text).substr(0, colon), 0, 255);
    const auto value = parseNumber(std::string_view(text).substr(colon + 1), 0, 255);
    if (!type || !value)
        return std::nullopt;
    return MouseEvent{static_cast<DeviceEventType>(*type), static_cast<std::uint8_t>(*value)};
}

struct ProfileFile {
    ConfigRecord record{};
    std::uint8_t firstRunFlag = 0;
};

struct ProfileSource {
    std::string path;
    std::string note; // said on standard error before the file is read
};

// "0".."5" names a profile's file in the user folder; anything else is a
// path. Until the program's first start there is no user folder, and the
// factory's profile is what that start would give the user; the folder is
// not made here, so the start still seeds it.
ProfileSource profileSource(const std::string& argument) {
    if (argument.size() != 1 || argument[0] < '0' || argument[0] >= '0' + kProfileCount)
        return {argument, {}};
    const std::string name = profileRecordFileName(argument[0] - '0');
    const auto user = userFolder();
    if (fileSystem().entryKind(user) != EntryKind::Missing)
        return {(user / name).string(), {}};
    const std::string factory = (factoryFolder() / name).string();
    return {factory, "there is no user folder (" + user.string() +
                         ") yet; reading the factory profile " + factory + "."};
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

UdevRuleLocation installedRule() {
    return findUdevRule(executableFolder(), udevRuleFolders());
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
            return fail(kNoMouse, permissionAdvice(link_->commandRefusal.path, installedRule()));
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

int commandInfo(Session& session, const Options& options) {
    if (!options.arguments.empty())
        return fail(kUsage, "'info' takes no arguments.");
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

int withProfile(const Options& options,
                const std::function<int(const ProfileFile&, const std::string& path)>& use) {
    if (options.arguments.size() != 1)
        return fail(kUsage, "'" + options.command +
                                "' takes one profile file (FILE.bin) or profile number.");
    const ProfileSource source = profileSource(options.arguments[0]);
    if (!source.note.empty())
        std::cerr << "qvrctl: " << source.note << '\n';
    std::string error;
    const auto file = readProfileFile(source.path, error);
    if (!file)
        return fail(kBadFile, error);
    return use(*file, source.path);
}

// The macro names a profile's settings file keeps beside its record file (a
// profile number's "str%d.ini", an export's ".ini" twin), and the macro
// store of the same folder; the window's guess for a file without them.
MacroNaming macroNamingFor(const std::string& argument, const std::string& recordPath) {
    const std::filesystem::path record(recordPath);
    const bool profileNumber =
        argument.size() == 1 && argument[0] >= '0' && argument[0] < '0' + kProfileCount;
    const std::filesystem::path settings =
        profileNumber ? record.parent_path() / profileSettingsFileName(argument[0] - '0')
                      : ProfileFiles::exportPaths(record).settings;
    const std::filesystem::path store = record.parent_path() / std::string(kMacroStoreFileName);
    const IniLoadResult loaded = loadIniFile(settings);
    std::optional<MacroTableNames> names;
    if (loaded.status == IniLoadStatus::Loaded)
        names = readMacroTableNames(loaded.file);
    return {names.value_or(guessMacroTableNames(store)), MacroStore(store).names()};
}

int commandShow(Session&, const Options& options) {
    return withProfile(options, [&](const ProfileFile& file, const std::string& path) -> int {
        const MacroNaming naming = macroNamingFor(options.arguments[0], path);
        std::fputs(describeProfile(file.record, file.firstRunFlag, naming).c_str(), stdout);
        return kOk;
    });
}

int commandEncode(Session&, const Options& options) {
    return withProfile(options, [](const ProfileFile& file, const std::string&) -> int {
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
    return withProfile(options, [&](const ProfileFile& file, const std::string& path) -> int {
        ConfigRecord record = file.record;
        ConfigRecord scratch{};
        if (int code = session.connect(scratch))
            return code;
        if (!session.link().protocol().uploadConfiguration(record))
            return fail(kNoMouse, "the mouse did not receive all of " + path +
                                      ": it stopped answering during the upload.");
        std::printf("uploaded %s\n", path.c_str());
        return kOk;
    });
}

int commandPaths(Session&, const Options& options) {
    if (!options.arguments.empty())
        return fail(kUsage, "'paths' takes no arguments.");
    std::printf("factory: %s\nuser: %s\n", factoryFolder().c_str(), userFolder().c_str());
    return kOk;
}

int commandReadBlock(Session& session, const Options& options) {
    if (!options.arguments.empty())
        return fail(kUsage, "'read-block' takes no arguments.");
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
    if (!options.arguments.empty())
        return fail(kUsage, "'listen' takes no arguments but --count N.");
    const long limit = options.count.value_or(-1);
    ConfigRecord record{};
    if (int code = session.connect(record))
        return code;
    // Without the event node nothing would ever be printed.
    if (!session.link().listenerHandle()) {
        const DeviceLink::Refusal& refusal = session.link().eventRefusal;
        if (refusal.error == HidOpenError::PermissionDenied)
            return fail(kNoMouse, "no event collection of the mouse is open, so its switches "
                                  "cannot be heard. " +
                                      permissionAdvice(refusal.path, installedRule()));
        if (!refusal.path.empty())
            return fail(kNoMouse, "the mouse's event collection (" + refusal.path +
                                      ") could not be opened, so its switches cannot be heard.");
        return fail(kNoMouse,
                    "the mouse lists no event collection, so its switches cannot be heard.");
    }
    std::atomic<long> printed{0};
    Listener listener(session.link(), [&](MouseEvent event) {
        switch (event.type) {
        case DeviceEventType::DpiStage1:
        case DeviceEventType::DpiStage2:
        case DeviceEventType::DpiStage3:
            std::printf("DPI stage %d\n", event.value);
            break;
        case DeviceEventType::MacroKey:
            std::printf("macro key %d\n", event.value);
            break;
        default:
            std::printf("event type %d value %d\n", static_cast<int>(event.type), event.value);
        }
        std::fflush(stdout);
        ++printed;
    });
    std::signal(SIGINT, [](int) { interrupted = true; });
    std::signal(SIGTERM, [](int) { interrupted = true; });
    listener.start();
    if (auto* mouse = session.virtualMouse())
        for (const auto& event : options.virtualEvents)
            mouse->emitEvent(static_cast<std::uint8_t>(event.type), event.value);
    while (!interrupted && (limit < 0 || printed < limit))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    listener.stop();
    return kOk;
}

// The list of profile names, as "profile list" prints it.
void printProfiles(const std::vector<std::string>& names, int current) {
    for (std::size_t i = 0; i < names.size(); ++i)
        std::printf("%c %zu %s\n", static_cast<int>(i) == current ? '*' : ' ', i, names[i].c_str());
}

std::string nameAt(const std::vector<std::string>& names, int position) {
    if (position < 0 || position >= static_cast<int>(names.size()))
        return "profile " + std::to_string(position);
    return names[static_cast<std::size_t>(position)];
}

int refusePick(ProfilePick::Result result, const std::string& target) {
    if (result == ProfilePick::Result::Ambiguous)
        return fail(kUsage, "more than one profile has the name of " + target +
                                ", so the list cannot keep it current; rename one of them in "
                                "qvr's profile manager (Config).");
    return fail(kUsage, "there is no profile " + target + " (see qvrctl profile list).");
}

// A running qvr does the switch, so that its window and its unsaved changes
// have their say.
int profileThroughQvr(const std::filesystem::path& socket, const ProfileRequest& request,
                      const Options& options) {
    ProfileAnswer answer;
    const auto wait = std::chrono::seconds(options.wait.value_or(kDefaultAnswerWaitSeconds));
    switch (askRunningProgram(socket, request, kListenerStartWait, wait, answer)) {
    case AskResult::Answered:
        break;
    case AskResult::NoListener:
        return fail(kUsage, "qvr is running but does not listen on " + socket.string() + ".");
    case AskResult::NotUnderstood:
        return fail(kUsage, "the running qvr is an older version that does not take profile "
                            "requests; switch in its window, or quit it and try again.");
    case AskResult::NoAnswerInTime:
        return fail(kCancelled,
                    "qvr did not answer within " + std::to_string(wait.count()) +
                        " seconds; if its window asks about unsaved changes, the switch "
                        "follows the answer given there.");
    }
    const std::string current = nameAt(answer.names, answer.current);
    switch (answer.outcome) {
    case ProfileOutcome::Listed:
        if (request.verb == ProfileRequest::Verb::List)
            printProfiles(answer.names, answer.current);
        else
            std::printf("%d %s\n", answer.current, current.c_str());
        return kOk;
    case ProfileOutcome::Switched:
        std::printf("switched to %s\n", current.c_str());
        return kOk;
    case ProfileOutcome::Unchanged:
        std::printf("%s is the current profile already\n", current.c_str());
        return kOk;
    case ProfileOutcome::Cancelled:
        return fail(kCancelled,
                    "the switch was cancelled in qvr's window; " + current + " stays current.");
    case ProfileOutcome::Busy:
        return fail(kCancelled, "qvr's profile manager is open; close it and try again.");
    case ProfileOutcome::Unknown:
        return refusePick(ProfilePick::Result::Unknown, request.target);
    case ProfileOutcome::Ambiguous:
        return refusePick(ProfilePick::Result::Ambiguous, request.target);
    case ProfileOutcome::MouseAbsent:
        return fail(kNoMouse, "switched the files to " + current +
                                  "; the mouse is not here and gets it when it comes back.");
    case ProfileOutcome::NotReceived:
        return fail(kNoMouse, "switched the files to " + current +
                                  "; the mouse stopped answering during the upload and gets "
                                  "the profile when it comes back.");
    case ProfileOutcome::Unreadable:
        return fail(kBadFile, "qvr could not read or write the files of " + request.target +
                                  " (its window says which).");
    }
    return kOk;
}

// Without a running qvr: the files, then the mouse, while this process holds
// the single-instance lock so that no qvr starts on a half-made switch.
int profileByItself(Session& session, const ProfileRequest& request) {
    const auto user = userFolder();
    const bool hasUserFolder = fileSystem().entryKind(user) != EntryKind::Missing;
    if (!hasUserFolder && request.verb == ProfileRequest::Verb::Switch)
        return fail(kBadFile, "there is no user folder (" + user.string() +
                                  ") yet; start qvr once, which makes it.");
    ProfileSlots slots(hasUserFolder ? user : factoryFolder());
    if (hasUserFolder) {
        // A change of files that belong together, cut short: until it is
        // finished, a record and its settings may not describe each other.
        if (const FileWriteResult finished = finishFileJournal(user); !finished.ok())
            return fail(kBadFile, "an interrupted change of profile files cannot be finished: " +
                                      finished.message);
        // A delete cut short leaves positions that do not match their names.
        if (const FileWriteResult resumed = slots.resumePendingDelete(); !resumed.ok())
            return fail(kBadFile,
                        "an interrupted profile delete cannot be finished: " + resumed.message);
    }
    const ProfileList list = readProfileList(slots.listPath());
    if (list.names.empty())
        return fail(kBadFile, "cannot read the profile list in " + slots.listPath().string() + ".");
    const int current = findCurrentProfile(list.names, list.currentName).value_or(0);
    if (request.verb == ProfileRequest::Verb::List) {
        printProfiles(list.names, current);
        return kOk;
    }
    if (request.verb == ProfileRequest::Verb::Current) {
        std::printf("%d %s\n", current, nameAt(list.names, current).c_str());
        return kOk;
    }
    const ProfilePick pick = pickProfile(list.names, request.target);
    if (pick.result != ProfilePick::Result::Found)
        return refusePick(pick.result, request.target);
    const std::string name = nameAt(list.names, pick.position);
    // The mouse holds the current profile unless a note says it missed it.
    if (pick.position == current && !profileUnsent(user)) {
        std::printf("%s is the current profile already\n", name.c_str());
        return kOk;
    }
    std::string error;
    const auto file = readProfileFile(slots.recordPath(pick.position).string(), error);
    if (!file)
        return fail(kBadFile, error);
    // Noted first: whatever stops the upload, the next one to find the
    // mouse sends the profile.
    if (const FileWriteResult noted = markProfileUnsent(user, true); !noted.ok())
        return fail(kBadFile, noted.message);
    if (const FileWriteResult written = slots.writeList(list.names, name); !written.ok())
        return fail(kBadFile, written.message);
    ConfigRecord record = file->record;
    ConfigRecord scratch{};
    if (!connectAtStartup(session.link(), scratch))
        return fail(kNoMouse, "switched the files to " + name +
                                  "; the mouse is not here and gets it when it comes back.");
    if (!session.link().protocol().uploadConfiguration(record))
        return fail(kNoMouse, "switched the files to " + name +
                                  "; the mouse stopped answering during the upload and gets "
                                  "the profile when it comes back.");
    if (const FileWriteResult cleared = markProfileUnsent(user, false); !cleared.ok())
        std::cerr << "qvrctl: " << cleared.message << '\n';
    std::printf("switched to %s\n", name.c_str());
    return kOk;
}

int commandProfile(Session& session, const Options& options) {
    const auto& args = options.arguments;
    ProfileRequest request;
    if (args.size() == 1 && args[0] == "list")
        request.verb = ProfileRequest::Verb::List;
    else if (args.size() == 1 && args[0] == "current")
        request.verb = ProfileRequest::Verb::Current;
    else if (args.size() == 2 && args[0] == "switch")
        request = {ProfileRequest::Verb::Switch, args[1]};
    else
        return fail(kUsage, "'profile' takes list, current or switch PROFILE.");
    if (options.wait && request.verb != ProfileRequest::Verb::Switch)
        return fail(kUsage, "--wait belongs to profile switch only.");
    // No name holds a line break, and none would survive the way to qvr.
    if (request.verb == ProfileRequest::Verb::Switch &&
        (request.target.empty() || request.target.find_first_of("\r\n") != std::string::npos))
        return refusePick(ProfilePick::Result::Unknown, request.target);

    const RuntimeFolder runtime = runtimeFolder();
    SingleInstanceLock lock;
    if (runtime.usable() &&
        lock.acquire(runtime.path) == SingleInstanceLock::Result::AlreadyRunning)
        return profileThroughQvr(instanceSocketFile(runtime.path), request, options);
    return profileByItself(session, request);
}

// The profile a rule may name: one that exactly one position holds.
int refuseRuleProfile(const std::vector<std::string>& names, const std::string& profile) {
    const auto count = std::ranges::count(names, profile);
    if (count == 1)
        return kOk;
    if (count > 1)
        return fail(kUsage, "more than one profile has the name " + profile +
                                ", so a rule cannot tell them apart; rename one of them in "
                                "qvr's profile manager (Config).");
    return fail(kUsage, "there is no profile " + profile + " (see qvrctl profile list).");
}

void printAutoSwitch(const AutoSwitchRules& rules, const std::vector<std::string>& names) {
    const auto known = [&names](const std::string& profile) {
        const auto count = std::ranges::count(names, profile);
        return count == 1 ? ""
               : count    ? " (more than one profile of that name)"
                          : " (no such profile)";
    };
    std::printf("automatic switching: %s\n", rules.enabled ? "on" : "off");
    if (rules.defaultProfile.empty())
        std::printf("default: stay on the current profile\n");
    else
        std::printf("default: %s%s\n", rules.defaultProfile.c_str(), known(rules.defaultProfile));
    for (const AutoSwitchRule& rule : rules.rules)
        std::printf("%s -> %s%s\n", rule.application.c_str(), rule.profile.c_str(),
                    known(rule.profile));
    const FocusDesktop desktop = chooseFocusDesktop(SessionEnvironment::fromProcess());
    std::string reason = focusUnavailableReason(desktop);
    if (reason.empty())
        reason = focusServiceProblem(desktop);
    if (reason.empty())
        std::printf("focus: %s\n", focusDesktopDescription(desktop).c_str());
    else
        std::printf("focus: not available on this desktop (%s): %s\n",
                    focusDesktopDescription(desktop).c_str(), reason.c_str());
}

int commandAuto(Session&, const Options& options) {
    const auto& args = options.arguments;
    const std::string verb = args.empty() ? "" : args[0];
    const std::size_t wanted = verb == "add" ? 3 : verb == "remove" || verb == "default" ? 2 : 1;
    if ((verb != "list" && verb != "add" && verb != "remove" && verb != "default" && verb != "on" &&
         verb != "off") ||
        args.size() != wanted)
        return fail(kUsage, "'auto' takes list, add APP PROFILE, remove APP, default "
                            "PROFILE|none, on or off.");
    const auto user = userFolder();
    const bool hasUserFolder = fileSystem().entryKind(user) != EntryKind::Missing;
    AutoSwitchRead read;
    if (hasUserFolder)
        read = readAutoSwitchRules(user);
    const auto file = user / kAutoSwitchFileName;
    if (read.status == AutoSwitchFileStatus::Unreadable)
        return fail(kBadFile, "cannot read " + file.string() + ".");
    const std::vector<std::string> names =
        readProfileList(ProfileSlots(hasUserFolder ? user : factoryFolder()).listPath()).names;
    AutoSwitchRules rules = read.rules;
    if (verb == "list") {
        printAutoSwitch(rules, names);
        return kOk;
    }
    if (!hasUserFolder)
        return fail(kBadFile, "there is no user folder (" + user.string() +
                                  ") yet; start qvr once, which makes it.");
    if (verb == "add") {
        const auto application = storableApplicationName(args[1]);
        if (!application)
            return fail(kUsage, "an application name is one line of text, not empty.");
        if (int code = refuseRuleProfile(names, args[2]))
            return code;
        rules.setRule(*application, args[2]);
    } else if (verb == "remove") {
        if (!rules.removeRule(args[1]))
            return fail(kUsage, "there is no rule for " + args[1] + " (see qvrctl auto list).");
    } else if (verb == "default") {
        if (args[1] != "none")
            if (int code = refuseRuleProfile(names, args[1]))
                return code;
        rules.defaultProfile = args[1] == "none" ? "" : args[1];
    } else {
        rules.enabled = verb == "on";
    }
    if (rules == read.rules && read.status == AutoSwitchFileStatus::Loaded)
        return kOk;
    if (const FileWriteResult written = writeAutoSwitchRules(user, rules); !written.ok())
        return fail(kBadFile, "cannot write " + file.string() + ": " + written.message);
    return kOk;
}

using Command = int (*)(Session&, const Options&);
const std::map<std::string, Command> kCommands = {
    {"info", commandInfo},     {"show", commandShow},     {"encode", commandEncode},
    {"macros", commandMacros}, {"upload", commandUpload}, {"read-block", commandReadBlock},
    {"listen", commandListen}, {"paths", commandPaths},   {"profile", commandProfile},
    {"auto", commandAuto},
};

// Commands that only read files never touch the device side.
bool needsDevice(const std::string& command) {
    return command != "show" && command != "encode" && command != "macros" && command != "paths" &&
           command != "auto";
}

// Reads the options wherever they stand, before or after the command; "--"
// ends them, so a file name may begin with a dash. Nothing when the command
// is to run, or the exit code when the program is done (help, version, an
// error said).
std::optional<int> parseArguments(int argc, char** argv, Options& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (options.command.empty())
                options.command = arg;
            else
                options.arguments.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            std::fputs(kHelp, stdout);
            return kOk;
        } else if (arg == "--version") {
            std::printf("qvrctl %s\n", kVersion);
            return kOk;
        } else if (arg == "--virtual-mouse") {
            options.virtualMouse = true;
        } else if (arg == "--trace" || arg == "--virtual-event" || arg == "--virtual-refuse" ||
                   arg == "--count" || arg == "--wait") {
            if (i + 1 >= argc)
                return fail(kUsage, arg + " needs a value.");
            const std::string value = argv[++i];
            if (arg == "--trace") {
                options.tracePath = value;
            } else if (arg == "--wait") {
                options.wait = parseNumber(value, 1, 24 * 3600);
                if (!options.wait)
                    return fail(kUsage, "--wait takes a number of seconds, 1 or more.");
            } else if (arg == "--count") {
                options.count = parseNumber(value, 1, LONG_MAX);
                if (!options.count)
                    return fail(kUsage, "--count takes a positive number.");
            } else if (arg == "--virtual-refuse") {
                if (value != "command" && value != "event")
                    return fail(kUsage, "--virtual-refuse takes command or event.");
                options.virtualRefusals.push_back(value);
            } else if (auto event = parseEvent(value)) {
                options.virtualEvents.push_back(*event);
            } else {
                return fail(kUsage, "--virtual-event takes TYPE:VALUE, each 0..255.");
            }
        } else {
            return fail(kUsage, "unknown option " + arg + " (see qvrctl --help).");
        }
    }
    return std::nullopt;
}

int run(int argc, char** argv) {
    Options options;
    if (const auto done = parseArguments(argc, argv, options))
        return *done;
    if (options.command.empty())
        return fail(kUsage, "no command given (see qvrctl --help).");
    const auto command = kCommands.find(options.command);
    if (command == kCommands.end())
        return fail(kUsage, "unknown command " + options.command + " (see qvrctl --help).");
    if (options.count && options.command != "listen")
        return fail(kUsage, "--count belongs to listen only.");
    if (options.wait && options.command != "profile")
        return fail(kUsage, "--wait belongs to profile switch only.");
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
