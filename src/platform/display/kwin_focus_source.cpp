// The focused window under KWin on Wayland, which tells only its scripts:
// KWin runs ours (resources/kwin/focus.js), and it calls us on the session
// bus with each activated window's class, name and process.

#include "platform/display/focus_source.h"
#include "platform/session_bus.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace qvr {

namespace {

constexpr char kKwin[] = "org.kde.KWin";
// One name for every run, so that a script left by a run that crashed is
// found and replaced.
constexpr char kPluginName[] = "qvr-focus";
// What the script calls; it must match resources/kwin/focus.js.
constexpr char kReceiverName[] = "io.github.qvr.FocusReceiver";
constexpr char kReceiverPath[] = "/io/github/qvr/FocusReceiver";
// KWin 5 hands byte arrays and numbers to the script, KWin 6 strings: the
// script sends text of all three.
constexpr char kReceiverXml[] = R"(<node>
  <interface name="io.github.qvr.FocusReceiver">
    <method name="WindowActivated">
      <arg type="s" name="resourceClass" direction="in"/>
      <arg type="s" name="resourceName" direction="in"/>
      <arg type="s" name="pid" direction="in"/>
    </method>
  </interface>
</node>)";
constexpr int kAnswerWaitMs = 3000;
// Short: the program is ending.
constexpr int kUnloadWaitMs = 1000;

std::uint32_t pidOf(const char* text) {
    std::uint32_t pid = 0;
    const char* end = text + std::strlen(text);
    if (std::from_chars(text, end, pid).ec != std::errc{})
        return 0;
    return pid;
}

class KwinFocusSource final : public FocusSource {
  public:
    explicit KwinFocusSource(std::filesystem::path script) : script_(std::move(script)) {}
    ~KwinFocusSource() override {
        thread_.stop();
        if (loaded_)
            bus_.call(kKwin, "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                      g_variant_new("(s)", kPluginName), "(b)", kUnloadWaitMs);
    }

    bool start(Sink sink) override {
        sink_ = std::move(sink);
        std::error_code error;
        if (!std::filesystem::is_regular_file(script_, error)) {
            problem_ = "the KWin script " + script_.string() + " is missing.";
            return false;
        }
        if (!bus_.connect(problem_))
            return false;
        kwinOwner_ = bus_.nameOwner(kKwin);
        if (kwinOwner_.empty()) {
            problem_ = kKwinSilent;
            return false;
        }
        if (!bus_.ownName(kReceiverName) ||
            !bus_.exportObject(kReceiverPath, kReceiverXml,
                               [this](const char* sender, const char*, GVariant* arguments) {
                                   activated(sender, arguments);
                                   return nullptr;
                               })) {
            problem_ = std::string("the name ") + kReceiverName +
                       " is taken on the session bus: is another qvr running?";
            return false;
        }
        // KWin may restart within the session, without our script.
        bus_.subscribe("org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
                       "/org/freedesktop/DBus", kKwin,
                       [this](const char*, GVariant* arguments) { kwinChanged(arguments); });
        if (!loadScript(problem_))
            return false;
        return thread_.start([this] { bus_.run(thread_.stopDescriptor()); }, problem_);
    }

    const std::string& problem() const override { return problem_; }

  private:
    // Unloads what a crashed run left, then loads and runs the script.
    bool loadScript(std::string& problem) {
        std::string error;
        if (!bus_.call(kKwin, "/Scripting", "org.kde.kwin.Scripting", "unloadScript",
                       g_variant_new("(s)", kPluginName), "(b)", kAnswerWaitMs, &error))
            return refused(error, problem);
        const SessionBus::Variant id = bus_.call(
            kKwin, "/Scripting", "org.kde.kwin.Scripting", "loadScript",
            g_variant_new("(ss)", script_.c_str(), kPluginName), "(i)", kAnswerWaitMs, &error);
        if (!id)
            return refused(error, problem);
        gint32 number = -1;
        g_variant_get(id.get(), "(i)", &number);
        if (number < 0)
            return refused("loadScript gave no script", problem);
        loaded_ = true;
        // KWin 5 puts the script at /N, KWin 6 at /Scripting/ScriptN.
        std::string firstError;
        for (const std::string& path :
             {"/" + std::to_string(number), "/Scripting/Script" + std::to_string(number)}) {
            if (bus_.call(kKwin, path.c_str(), "org.kde.kwin.Script", "run", nullptr, nullptr,
                          kAnswerWaitMs, &error))
                return true;
            if (firstError.empty())
                firstError = error;
        }
        return refused(firstError, problem);
    }

    static bool refused(const std::string& error, std::string& problem) {
        problem = std::string(kKwinSilent) + " KWin said: " + error;
        return false;
    }

    void activated(const char* sender, GVariant* arguments) {
        // Only KWin's word counts, not any program's on the bus.
        if (!sender || kwinOwner_ != sender)
            return;
        const gchar* resourceClass = nullptr;
        const gchar* resourceName = nullptr;
        const gchar* pid = nullptr;
        g_variant_get(arguments, "(&s&s&s)", &resourceClass, &resourceName, &pid);
        sink_(windowNamed(resourceClass, resourceName, pidOf(pid)));
    }

    void kwinChanged(GVariant* arguments) {
        const gchar* name = nullptr;
        const gchar* before = nullptr;
        const gchar* now = nullptr;
        g_variant_get(arguments, "(&s&s&s)", &name, &before, &now);
        kwinOwner_ = now;
        std::string problem;
        if (!kwinOwner_.empty() && !loadScript(problem))
            std::fprintf(stderr, "qvr: the restarted KWin did not take the focus script: %s\n",
                         problem.c_str());
    }

    std::filesystem::path script_;
    std::string problem_;
    SessionBus bus_;
    // KWin's unique name; read and written on the source's thread once it runs.
    std::string kwinOwner_;
    bool loaded_ = false;
    Sink sink_;
    FocusThread thread_;
};

} // namespace

std::unique_ptr<FocusSource> makeKwinFocusSource(const std::filesystem::path& scriptFile) {
    return std::make_unique<KwinFocusSource>(scriptFile);
}

} // namespace qvr
