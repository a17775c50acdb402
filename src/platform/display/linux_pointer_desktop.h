#pragma once

#include "platform/pointer_desktop.h"

#include <memory>

namespace qvr {

// The desktop's pointer settings in this process: GNOME's mouse keys through
// GIO's GSettings (whichever backend the session uses: dconf, or the keyfile
// of GSETTINGS_BACKEND=keyfile), and X11's acceleration through xcb on
// $DISPLAY. Nothing is looked up before the first call. Calls come from one
// thread at a time.
class LinuxPointerDesktop final : public PointerDesktop {
  public:
    LinuxPointerDesktop();
    ~LinuxPointerDesktop() override;
    LinuxPointerDesktop(const LinuxPointerDesktop&) = delete;
    LinuxPointerDesktop& operator=(const LinuxPointerDesktop&) = delete;

    bool hasMouseSchema() override;
    std::optional<double> readDouble(std::string_view key) override;
    std::optional<int> readInt(std::string_view key) override;
    std::optional<std::string> readString(std::string_view key) override;
    bool writeDouble(std::string_view key, double value) override;
    bool writeInt(std::string_view key, int value) override;
    bool writeString(std::string_view key, std::string_view value) override;
    bool setX11Acceleration(int numerator, int denominator, int threshold) override;

  private:
    struct Gio;
    Gio* gio(); // nullptr without the schema
    std::unique_ptr<Gio> gio_;
    bool looked_ = false;
};

} // namespace qvr
