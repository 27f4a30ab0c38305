#include "platform/x11/DesktopMotion.h"

#include <gio/gio.h>

namespace helm {

DesktopMotion::DesktopMotion(std::function<void()> changed) : changed_(std::move(changed)) {
    // g_settings_new aborts on a schema that is not installed: look it up first.
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) {
        return;
    }
    GSettingsSchema* schema =
        g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE);
    if (schema == nullptr) {
        return;
    }
    if (g_settings_schema_has_key(schema, "enable-animations")) {
        settings_ = g_settings_new_full(schema, nullptr, nullptr);
        off_ = !g_settings_get_boolean(settings_, "enable-animations");
        handler_ = g_signal_connect(settings_, "changed::enable-animations",
                                    G_CALLBACK(&DesktopMotion::onChanged), this);
    }
    g_settings_schema_unref(schema);
}

DesktopMotion::~DesktopMotion() {
    if (settings_ != nullptr) {
        g_signal_handler_disconnect(settings_, handler_);
        g_object_unref(settings_);
    }
}

void DesktopMotion::onChanged(GSettings* settings, const char* key, void* self) {
    auto* me = static_cast<DesktopMotion*>(self);
    me->off_ = !g_settings_get_boolean(settings, key);
    if (me->changed_) {
        me->changed_();
    }
}

} // namespace helm
