#include "core/profiles/auto_switch.h"

#include "core/files/ini_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

namespace qvr {

namespace {

constexpr std::string_view kSection = "AutoSwitch";
constexpr std::string_view kEnabledKey = "Enabled";
constexpr std::string_view kDefaultKey = "Default";
constexpr std::string_view kCountKey = "Count";
constexpr std::string_view kApplicationKey = "App";
constexpr std::string_view kProfileKey = "Profile";
// A hand-edited count must not make the reader walk millions of keys.
constexpr int kMaxRules = 1000;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string numbered(std::string_view key, int n) {
    return std::string(key) + std::to_string(n);
}

// The one position holding exactly that name; a name held twice picks none.
std::optional<int> uniquePosition(const std::vector<std::string>& names, std::string_view name) {
    std::optional<int> found;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != name)
            continue;
        if (found)
            return std::nullopt;
        found = static_cast<int>(i);
    }
    return found;
}

} // namespace

bool sameApplication(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

std::optional<std::string> storableApplicationName(std::string_view name) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!name.empty() && blank(name.front()))
        name.remove_prefix(1);
    while (!name.empty() && blank(name.back()))
        name.remove_suffix(1);
    if (name.empty() || name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return std::nullopt;
    return std::string(name);
}

const AutoSwitchRule* AutoSwitchRules::ruleFor(std::string_view application) const {
    const auto rule = std::ranges::find_if(rules, [&](const AutoSwitchRule& r) {
        return sameApplication(r.application, application);
    });
    return rule == rules.end() ? nullptr : &*rule;
}

void AutoSwitchRules::setRule(std::string_view application, std::string_view profile) {
    const auto rule = std::ranges::find_if(rules, [&](const AutoSwitchRule& r) {
        return sameApplication(r.application, application);
    });
    if (rule != rules.end()) {
        rule->profile = std::string(profile);
        return;
    }
    rules.push_back({std::string(application), std::string(profile)});
}

bool AutoSwitchRules::removeRule(std::string_view application) {
    return std::erase_if(rules, [&](const AutoSwitchRule& r) {
               return sameApplication(r.application, application);
           }) > 0;
}

AutoSwitchRead readAutoSwitchRules(const std::filesystem::path& userFolder) {
    AutoSwitchRead read;
    const IniLoadResult loaded = loadIniFile(userFolder / kAutoSwitchFileName);
    if (loaded.status == IniLoadStatus::Missing)
        return read;
    if (loaded.status == IniLoadStatus::Failed) {
        read.status = AutoSwitchFileStatus::Unreadable;
        read.errorCode = loaded.errorCode;
        return read;
    }
    read.status = AutoSwitchFileStatus::Loaded;
    const IniFile::SectionView section = loaded.file.section(kSection);
    read.rules.enabled = section.value(kEnabledKey, "1") != "0";
    read.rules.defaultProfile = section.value(kDefaultKey);
    const std::string countText = section.value(kCountKey, "0");
    int count = 0;
    const auto [end, error] =
        std::from_chars(countText.data(), countText.data() + countText.size(), count);
    if (error != std::errc() || end != countText.data() + countText.size())
        count = 0;
    count = std::clamp(count, 0, kMaxRules);
    for (int i = 0; i < count; ++i) {
        const auto application =
            storableApplicationName(section.value(numbered(kApplicationKey, i)));
        const std::string profile = section.value(numbered(kProfileKey, i));
        if (!application || profile.empty() || read.rules.ruleFor(*application))
            continue;
        read.rules.rules.push_back({*application, profile});
    }
    return read;
}

FileWriteResult writeAutoSwitchRules(const std::filesystem::path& userFolder,
                                     const AutoSwitchRules& rules) {
    IniFile file;
    bool stored = file.setValue(kSection, kEnabledKey, rules.enabled ? "1" : "0") &&
                  file.setValue(kSection, kDefaultKey, rules.defaultProfile) &&
                  file.setValue(kSection, kCountKey, std::to_string(rules.rules.size()));
    for (std::size_t i = 0; stored && i < rules.rules.size(); ++i) {
        const int n = static_cast<int>(i);
        stored =
            file.setValue(kSection, numbered(kApplicationKey, n), rules.rules[i].application) &&
            file.setValue(kSection, numbered(kProfileKey, n), rules.rules[i].profile);
    }
    const std::filesystem::path path = userFolder / kAutoSwitchFileName;
    if (!stored)
        return {EINVAL, path.string() + ": a name holds a line break"};
    return saveIniFile(path, file);
}

std::optional<std::string> profileForFocus(const AutoSwitchRules& rules,
                                           const FocusedWindow& window) {
    for (const AutoSwitchRule& rule : rules.rules)
        for (const std::string& name : window.names)
            if (sameApplication(rule.application, name))
                return rule.profile;
    if (rules.defaultProfile.empty())
        return std::nullopt;
    return rules.defaultProfile;
}

void AutoSwitcher::focusChanged(const FocusedWindow& window, Clock::time_point now) {
    // The tray menu and the window are where the user changes profiles by
    // hand; they must not become the application whose profile is wanted.
    if (window.own || window.names.empty()) {
        pending_.reset();
        return;
    }
    // Every name the window goes by, its most telling one first: two
    // windows of one toolkit may share a class and differ by instance.
    for (auto name = window.names.rbegin(); name != window.names.rend(); ++name) {
        std::erase_if(recent_,
                      [&](const std::string& known) { return sameApplication(known, *name); });
        recent_.insert(recent_.begin(), *name);
    }
    if (recent_.size() > kRecentCount)
        recent_.resize(kRecentCount);
    if (pending_ && *pending_ == window)
        return;
    // Back where it settled last (through the tray menu, say): a profile
    // the user chose by hand meanwhile stays.
    if (settled_ && *settled_ == window) {
        pending_.reset();
        return;
    }
    pending_ = window;
    pendingSince_ = now;
}

std::optional<AutoSwitcher::Clock::time_point> AutoSwitcher::deadline() const {
    if (!pending_)
        return std::nullopt;
    return pendingSince_ + kSettleTime;
}

AutoSwitchStep AutoSwitcher::step(Clock::time_point now, const SwitchView& view) {
    if (!view.unsavedEdits)
        pauseTold_ = false;
    if (!pending_ || now < pendingSince_ + kSettleTime)
        return {};
    settled_ = std::move(pending_);
    pending_.reset();
    if (!rules_.enabled)
        return {};
    const auto profile = profileForFocus(rules_, *settled_);
    if (!profile)
        return {};
    const auto position = uniquePosition(view.names, *profile);
    if (!position || *position == view.current)
        return {};
    AutoSwitchStep step{AutoSwitchStep::Kind::Switch, *position, *profile, settled_->names[0]};
    if (view.unsavedEdits) {
        // Coming back to this application later asks again.
        settled_.reset();
        if (pauseTold_)
            return {};
        pauseTold_ = true;
        step.kind = AutoSwitchStep::Kind::Paused;
    }
    return step;
}

} // namespace qvr
