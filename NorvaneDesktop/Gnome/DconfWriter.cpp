#define G_SETTINGS_ENABLE_BACKEND
#include "DconfWriter.h"

#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Platform/SystemIdentity.h"
#include "Services/DBusCalls.h"

#include <gio/gio.h>
#include <gio/gsettingsbackend.h>
#include <memory>

namespace norvane::dconf {

namespace {

// The writer of the user's database (dconf's profile "user-db:user").
constexpr char kService[] = "ca.desrt.dconf";
constexpr char kWriterPath[] = "/ca/desrt/dconf/Writer/user";
constexpr char kWriterInterface[] = "ca.desrt.dconf.Writer";

struct ErrorDeleter {
    void operator()(GError *error) const { g_error_free(error); }
};
using Error = std::unique_ptr<GError, ErrorDeleter>;

[[noreturn]] void fail(const GError &error, int timeoutMs) {
    if (g_error_matches(&error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT))
        throw ConfigurationError::message(L10n::text(
            {"{0}'s settings service (dconf) did not answer within {1} s, so nothing was saved.",
             {currentSystem().name, dbus::secondsText(timeoutMs)}}));
    throw ConfigurationError::message(
        L10n::text({"{0}'s settings service (dconf) did not save the change: {1}",
                    {currentSystem().name, QString::fromUtf8(error.message)}}));
}

} // namespace

bool isInUse() {
    GSettingsBackend *backend = g_settings_backend_get_default();
    const bool dconf = g_strcmp0(G_OBJECT_TYPE_NAME(backend), "DConfSettingsBackend") == 0;
    g_object_unref(backend);
    return dconf;
}

void write(const QList<Write> &values, int timeoutMs) {
    GVariantBuilder changes;
    g_variant_builder_init(&changes, G_VARIANT_TYPE("a{smv}"));
    for (const auto &[path, value] : values)
        g_variant_builder_add(&changes, "{smv}", path.toUtf8().constData(), value);
    // The service takes the change as the bytes of the a{smv} value.
    GVariant *change = g_variant_ref_sink(g_variant_builder_end(&changes));
    GVariant *bytes = g_variant_new_from_data(
        G_VARIANT_TYPE_BYTESTRING, g_variant_get_data(change), g_variant_get_size(change), TRUE,
        reinterpret_cast<GDestroyNotify>(g_variant_unref), change);

    GError *raw = nullptr;
    GDBusConnection *bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw);
    if (!bus) {
        g_variant_unref(g_variant_ref_sink(bytes));
        fail(*Error(raw), timeoutMs);
    }
    GVariant *reply = g_dbus_connection_call_sync(
        bus, kService, kWriterPath, kWriterInterface, "Change", g_variant_new_tuple(&bytes, 1),
        G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, timeoutMs, nullptr, &raw);
    g_object_unref(bus);
    if (!reply) {
        const Error error(raw);
        g_dbus_error_strip_remote_error(error.get());
        fail(*error, timeoutMs);
    }
    g_variant_unref(reply);
}

} // namespace norvane::dconf
