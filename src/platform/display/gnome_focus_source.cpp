// The focused window under GNOME Shell on Wayland, which tells only its
// extensions: ours (resources/gnome-shell) owns a name on the session bus,
// answers what has the focus and signals each change.

#include "platform/display/focus_source.h"
#include "platform/session_bus.h"

namespace qvr {

namespace {

// As the extension's extension.js has them.
constexpr char kPath[] = "/io/github/qvr/ShellFocus";
constexpr char kInterface[] = "io.github.qvr.ShellFocus";
constexpr int kAnswerWaitMs = 3000;

class GnomeFocusSource final : public FocusSource {
  public:
    ~GnomeFocusSource() override { thread_.stop(); }

    bool start(Sink sink) override {
        sink_ = std::move(sink);
        if (!bus_.connect(problem_))
            return false;
        // Before the question, so that no change falls between the two.
        bus_.subscribe(kGnomeExtensionBusName, kInterface, "FocusChanged", kPath, nullptr,
                       [this](const char*, GVariant* focus) { report(focus); });
        if (bus_.nameOwner(kGnomeExtensionBusName).empty()) {
            problem_ = kGnomeExtensionMissing;
            return false;
        }
        return thread_.start(
            [this] {
                std::string error;
                if (const SessionBus::Variant focus =
                        bus_.call(kGnomeExtensionBusName, kPath, kInterface, "GetFocus", nullptr,
                                  "(ssu)", kAnswerWaitMs, &error))
                    report(focus.get());
                bus_.run(thread_.stopDescriptor());
            },
            problem_);
    }

    const std::string& problem() const override { return problem_; }

  private:
    void report(GVariant* focus) {
        // A signal of another signature is none of ours.
        if (!g_variant_is_of_type(focus, G_VARIANT_TYPE("(ssu)")))
            return;
        const gchar* windowClass = nullptr;
        const gchar* instance = nullptr;
        guint32 pid = 0;
        g_variant_get(focus, "(&s&su)", &windowClass, &instance, &pid);
        // Nothing has the focus.
        if (!*windowClass && !*instance && !pid)
            return;
        sink_(windowNamed(windowClass, instance, pid));
    }

    std::string problem_;
    SessionBus bus_;
    Sink sink_;
    FocusThread thread_;
};

} // namespace

std::unique_ptr<FocusSource> makeGnomeFocusSource() {
    return std::make_unique<GnomeFocusSource>();
}

} // namespace qvr
