#include "platform/display/linux_pointer_desktop.h"

#include "platform/desktop_pointer_settings.h"
#include "platform/gio_library.h"

#include <cstdlib>
#include <gio/gio.h>
#include <string>
#include <xcb/xcb.h>

namespace qvr {
namespace {

// GIO's settings calls, from libgio-2.0 opened at the first use: a start
// that never touches the pointer settings neither loads GIO (with GObject,
// libmount, libselinux, ...) nor pays for it in memory. GLib itself is
// loaded anyway, by Qt.
struct GioCalls {
    decltype(&g_settings_schema_source_get_default) sourceGetDefault;
    decltype(&g_settings_schema_source_lookup) sourceLookup;
    decltype(&g_settings_schema_unref) schemaUnref;
    decltype(&g_settings_schema_has_key) schemaHasKey;
    decltype(&g_settings_schema_get_key) schemaGetKey;
    decltype(&g_settings_schema_key_unref) keyUnref;
    decltype(&g_settings_schema_key_get_value_type) keyValueType;
    decltype(&g_settings_schema_key_range_check) keyRangeCheck;
    decltype(&g_settings_new_full) settingsNew;
    decltype(&g_settings_get_value) getValue;
    decltype(&g_settings_set_value) setValue;
    decltype(&g_settings_is_writable) isWritable;
    decltype(&g_settings_sync) sync;
    decltype(&g_object_unref) objectUnref;
};

// nullptr when the library or one of its calls is not there.
const GioCalls* gioCalls() {
    static const GioCalls* const calls = []() -> const GioCalls* {
        if (!gioLibrary())
            return nullptr;
        static GioCalls found{};
        const bool all =
            findGioCall("g_settings_schema_source_get_default", found.sourceGetDefault) &&
            findGioCall("g_settings_schema_source_lookup", found.sourceLookup) &&
            findGioCall("g_settings_schema_unref", found.schemaUnref) &&
            findGioCall("g_settings_schema_has_key", found.schemaHasKey) &&
            findGioCall("g_settings_schema_get_key", found.schemaGetKey) &&
            findGioCall("g_settings_schema_key_unref", found.keyUnref) &&
            findGioCall("g_settings_schema_key_get_value_type", found.keyValueType) &&
            findGioCall("g_settings_schema_key_range_check", found.keyRangeCheck) &&
            findGioCall("g_settings_new_full", found.settingsNew) &&
            findGioCall("g_settings_get_value", found.getValue) &&
            findGioCall("g_settings_set_value", found.setValue) &&
            findGioCall("g_settings_is_writable", found.isWritable) &&
            findGioCall("g_settings_sync", found.sync) &&
            findGioCall("g_object_unref", found.objectUnref);
        return all ? &found : nullptr;
    }();
    return calls;
}

} // namespace

struct LinuxPointerDesktop::Gio {
    const GioCalls& call;
    GSettingsSchema* schema = nullptr;
    GSettings* settings = nullptr;

    ~Gio() {
        if (settings)
            call.objectUnref(settings);
        if (schema)
            call.schemaUnref(schema);
    }

    // The schema's key of that name when its values are of that type.
    using Key = std::unique_ptr<GSettingsSchemaKey, decltype(&g_settings_schema_key_unref)>;
    Key key(const std::string& name, const GVariantType* type) const {
        Key found(nullptr, call.keyUnref);
        if (call.schemaHasKey(schema, name.c_str()))
            found.reset(call.schemaGetKey(schema, name.c_str()));
        if (found && !g_variant_type_equal(call.keyValueType(found.get()), type))
            found.reset();
        return found;
    }

    // The value, or nullptr; unref it.
    GVariant* read(std::string_view key, const GVariantType* type) const {
        const std::string name(key);
        return this->key(name, type) ? call.getValue(settings, name.c_str()) : nullptr;
    }

    // Takes the floating value.
    bool write(std::string_view key, GVariant* value) const {
        g_variant_ref_sink(value);
        const std::string name(key);
        // GSettings refuses a value out of range with a warning of its own;
        // asked first, a refusal is only an answer.
        const Key found = this->key(name, g_variant_get_type(value));
        const bool written = found && call.keyRangeCheck(found.get(), value) &&
                             call.isWritable(settings, name.c_str()) &&
                             call.setValue(settings, name.c_str(), value);
        g_variant_unref(value);
        // Writes are queued in the backend: on their way before we go on.
        if (written)
            call.sync();
        return written;
    }
};

LinuxPointerDesktop::LinuxPointerDesktop() = default;
LinuxPointerDesktop::~LinuxPointerDesktop() = default;

LinuxPointerDesktop::Gio* LinuxPointerDesktop::gio() {
    if (looked_)
        return gio_.get();
    looked_ = true;
    const GioCalls* call = gioCalls();
    if (!call)
        return nullptr;
    // g_settings_new aborts the process on a schema that is not installed,
    // so it is looked up first.
    GSettingsSchemaSource* source = call->sourceGetDefault();
    GSettingsSchema* schema =
        source ? call->sourceLookup(source, DesktopPointerSettings::kSchema, TRUE) : nullptr;
    if (!schema)
        return nullptr;
    gio_.reset(new Gio{*call});
    gio_->schema = schema;
    gio_->settings = call->settingsNew(schema, nullptr, nullptr);
    return gio_.get();
}

bool LinuxPointerDesktop::hasMouseSchema() {
    return gio() != nullptr;
}

namespace {

// The number a read gave, through its type's getter; the value is let go.
template <typename Number>
std::optional<Number> takeNumber(GVariant* value, Number (*get)(GVariant*)) {
    if (!value)
        return std::nullopt;
    const Number number = get(value);
    g_variant_unref(value);
    return number;
}

} // namespace

std::optional<double> LinuxPointerDesktop::readDouble(std::string_view key) {
    const Gio* settings = gio();
    return takeNumber<double>(settings ? settings->read(key, G_VARIANT_TYPE_DOUBLE) : nullptr,
                              &g_variant_get_double);
}

std::optional<int> LinuxPointerDesktop::readInt(std::string_view key) {
    const Gio* settings = gio();
    return takeNumber<int>(settings ? settings->read(key, G_VARIANT_TYPE_INT32) : nullptr,
                           &g_variant_get_int32);
}

std::optional<std::string> LinuxPointerDesktop::readString(std::string_view key) {
    // Enumerated keys (accel-profile) hold their choice as a string.
    const Gio* settings = gio();
    GVariant* value = settings ? settings->read(key, G_VARIANT_TYPE_STRING) : nullptr;
    if (!value)
        return std::nullopt;
    std::string text = g_variant_get_string(value, nullptr);
    g_variant_unref(value);
    return text;
}

bool LinuxPointerDesktop::writeDouble(std::string_view key, double value) {
    const Gio* settings = gio();
    return settings && settings->write(key, g_variant_new_double(value));
}

bool LinuxPointerDesktop::writeInt(std::string_view key, int value) {
    const Gio* settings = gio();
    return settings && settings->write(key, g_variant_new_int32(value));
}

bool LinuxPointerDesktop::writeString(std::string_view key, std::string_view value) {
    const Gio* settings = gio();
    const std::string text(value);
    return settings && settings->write(key, g_variant_new_string(text.c_str()));
}

bool LinuxPointerDesktop::setX11Acceleration(int numerator, int denominator, int threshold) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    bool set = false;
    if (!xcb_connection_has_error(connection)) {
        xcb_generic_error_t* error = xcb_request_check(
            connection,
            xcb_change_pointer_control_checked(connection, static_cast<std::int16_t>(numerator),
                                               static_cast<std::int16_t>(denominator),
                                               static_cast<std::int16_t>(threshold), 1, 1));
        set = error == nullptr;
        std::free(error);
    }
    xcb_disconnect(connection);
    return set;
}

} // namespace qvr
