#pragma once

#include "core/files/atomic_file.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// Automatic profile switching: which profile the mouse takes while an
// application has the focus. The rules are the user's, kept in the user
// folder beside the profile list; they name profiles, not positions, so a
// profile that moves in the list keeps its rules. They are not part of an
// exported profile: they belong to this user's desktop, not to a profile.

inline constexpr std::string_view kAutoSwitchFileName = "auto-switch.ini";

struct AutoSwitchRule {
    std::string application; // compared without ASCII case
    std::string profile;     // a profile name, exactly as the list holds it

    bool operator==(const AutoSwitchRule&) const = default;
};

struct AutoSwitchRules {
    // A user without a rules file has nothing to switch, so a first rule
    // works without a second step.
    bool enabled = true;
    // The profile of every application without a rule; empty: stay.
    std::string defaultProfile;
    std::vector<AutoSwitchRule> rules; // at most one per application

    // The rule of that application; nullptr when it has none.
    const AutoSwitchRule* ruleFor(std::string_view application) const;
    // Adds the rule, or gives the application's rule the new profile.
    void setRule(std::string_view application, std::string_view profile);
    // False when the application had no rule.
    bool removeRule(std::string_view application);

    bool operator==(const AutoSwitchRules&) const = default;
};

// Application names as they come from a window system, made storable: blanks
// around them go (the file trims them anyway); nullopt for an empty name or
// one holding a line break or NUL.
std::optional<std::string> storableApplicationName(std::string_view name);
bool sameApplication(std::string_view a, std::string_view b);

enum class AutoSwitchFileStatus { Loaded, Missing, Unreadable };
struct AutoSwitchRead {
    AutoSwitchRules rules;
    AutoSwitchFileStatus status = AutoSwitchFileStatus::Missing;
    int errorCode = 0; // errno value when Unreadable
};

// [AutoSwitch] Enabled=1|0, Default=NAME, Count=N, then App0/Profile0 ..;
// rules with an empty or repeated application are skipped. A missing file
// reads as no rules, switching on.
AutoSwitchRead readAutoSwitchRules(const std::filesystem::path& userFolder);
// One atomic write of the whole file.
FileWriteResult writeAutoSwitchRules(const std::filesystem::path& userFolder,
                                     const AutoSwitchRules& rules);

// The window that has the focus, as a focus source names it: the X11 class,
// instance and process name, or the Wayland app id.
struct FocusedWindow {
    std::vector<std::string> names; // the most telling first
    bool own = false;               // one of this program's windows

    bool operator==(const FocusedWindow&) const = default;
};

// The profile name the focus asks for: the first rule naming any of the
// window's names, else the default; nullopt to stay on the current profile.
std::optional<std::string> profileForFocus(const AutoSwitchRules& rules,
                                           const FocusedWindow& window);

// What the window's profile looks like when a focus has settled.
struct SwitchView {
    std::vector<std::string> names; // the profile list
    int current = -1;               // the window's profile
    bool unsavedEdits = false;      // a switch would have to ask about them
};

struct AutoSwitchStep {
    enum class Kind {
        None,   // nothing to do
        Switch, // make position current and send it
        Paused, // would switch, but unsaved edits hold it: tell the user
    };
    Kind kind = Kind::None;
    int position = -1;
    std::string profile;
    std::string application;

    bool operator==(const AutoSwitchStep&) const = default;
};

// The decisions of automatic switching, fed with focus changes and the time;
// its owner runs a timer to deadline() and then asks step(). A focus counts
// once it has stayed kSettleTime, so passing through windows (Alt+Tab)
// switches nothing, and the newest focus wins.
class AutoSwitcher {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kSettleTime{500};
    // How many application names the rules editor offers.
    static constexpr std::size_t kRecentCount = 12;

    void setRules(AutoSwitchRules rules) { rules_ = std::move(rules); }
    const AutoSwitchRules& rules() const { return rules_; }

    void focusChanged(const FocusedWindow& window, Clock::time_point now);
    // When the pending focus settles; nullopt when none is pending.
    std::optional<Clock::time_point> deadline() const;
    // What to do now: a focus that has settled decides once.
    AutoSwitchStep step(Clock::time_point now, const SwitchView& view);

    // The names of the applications that had the focus, newest first.
    const std::vector<std::string>& recentApplications() const { return recent_; }

  private:
    AutoSwitchRules rules_;
    std::optional<FocusedWindow> pending_;
    Clock::time_point pendingSince_{};
    // What the last settled focus was, so that coming back to it through
    // this program's own windows (the tray menu) changes nothing.
    std::optional<FocusedWindow> settled_;
    bool pauseTold_ = false;
    std::vector<std::string> recent_;
};

} // namespace qvr
